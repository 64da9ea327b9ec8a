// The monitor's windows on the offscreen platform against a loopback console.

#include "monitor/qt/frm_main.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>
#include <functional>
#include <memory>
#include <ostream>

#include "monitor/qt/monitor_folder.h"
#include "monitor/qt/qt_telnet_socket.h"
#include "monitor/qt/tests/loopback_console.h"
#include "monitor/qt/tests/qt_wait.h"

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace monitor {
namespace {

using testing::LoopbackConsole;
using testing::Settle;
using testing::WaitFor;

LocalStamp Moment() { return {2024, 3, 7, "3/7/24", "9:05:01 PM"}; }

// A listener whose queue is full and that never accepts, so a connection to
// it stays in the connecting state until it is cancelled.
class StalledListener {
 public:
  StalledListener() {
    server_.setListenBacklogSize(0);
    server_.listen(QHostAddress::LocalHost, 0);
    server_.pauseAccepting();
    filler_.connectToHost(QHostAddress::LocalHost, server_.serverPort());
    filler_.waitForConnected(5000);
  }
  quint16 Port() const { return server_.serverPort(); }

 private:
  QTcpServer server_;
  QTcpSocket filler_;
};

// What a message box showed before the test closed it.
struct SeenBox {
  bool shown = false;
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool stays_on_top = false;
  QWidget* owner = nullptr;
};

// Runs `action`, closing with its Ok button the message box it opens.
SeenBox CaptureMessageBox(const std::function<void()>& action) {
  SeenBox seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen = {true, box->text(), box->windowTitle(), box->icon(),
            box->windowFlags().testFlag(Qt::WindowStaysOnTopHint), box->parentWidget()};
    box->button(QMessageBox::Ok)->click();
  });
  action();
  Settle();
  return seen;
}

class FrmMainTest : public ::testing::Test {
 protected:
  // Opens the main window with the settings file holding `host` and `port`
  // (no file when `host` is null).
  void Open(const char* host, const QString& port, const QByteArray& more_settings = {}) {
    if (host != nullptr) {
      QFile ini(folder_.filePath("Configuration.ini"));
      ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
      ini.write("[Settings]\r\nHOST=" + QByteArray(host) + "\r\nPORT=" + port.toUtf8() + "\r\n" +
                more_settings);
    }
    window_ = std::make_unique<frmMain>(QFile::encodeName(folder_.path() + QLatin1Char('/')).toStdString(), Moment);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  void OpenOnConsole() { Open("127.0.0.1", QString::number(console_.Port())); }

  // Opens the window and connects it to the loopback console.
  void Connect(const QByteArray& more_settings = {}) {
    Open("127.0.0.1", QString::number(console_.Port()), more_settings);
    Click(Connect_());
    ASSERT_TRUE(WaitFor([&] { return Status().startsWith("Status: Connected"); }));
    ASSERT_TRUE(WaitFor([&] { return console_.Received().size() == 1; }));
  }

  template <class T>
  T* Find(const char* name) const {
    T* child = window_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QToolButton* Connect_() const { return Find<QToolButton>("cmdConnect"); }
  QPlainTextEdit* Console() const { return Find<QPlainTextEdit>("txtConsole"); }
  QLineEdit* Command() const { return Find<QLineEdit>("txtCommand"); }
  QString Status() const { return Find<QLabel>("lblConnStatus")->text(); }
  QString Tip() const { return Connect_()->toolTip(); }
  QString Expected(const char* lead, const char* separator = ":") const {
    return QString::fromLatin1(lead) + "127.0.0.1" + separator + QString::number(console_.Port());
  }
  static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
  void Type(const QString& text) {
    QTest::keyClicks(Command(), text);
    QTest::keyClick(Command(), Qt::Key_Return);
  }
  // The point in the console's viewport at character `position`.
  QPoint ConsolePoint(int position) const {
    QTextCursor cursor(Console()->document());
    cursor.setPosition(position);
    return Console()->cursorRect(cursor).center();
  }

  QTemporaryDir folder_;
  LoopbackConsole console_;
  std::unique_ptr<frmMain> window_;
};

// --- Window texts -----------------------------------------------------------

TEST_F(FrmMainTest, CaptionsAndTipsAreAsWritten) {
  OpenOnConsole();
  EXPECT_EQ(window_->windowTitle(), "Gyrion Monitor  -  [ Beta Release 3 ]");
  EXPECT_EQ(Find<QToolButton>("cmdConfigure")->toolTip(), "Configure Gyrion Remote.");
  EXPECT_EQ(Find<QToolButton>("cmdAbout")->toolTip(), "About Box.");
  EXPECT_EQ(Status(), "Status: Not Connected.");
  EXPECT_EQ(Tip(), Expected("Connect to: ", " @ port "));
  bool console_frame = false;
  for (auto* frame : window_->findChildren<QGroupBox*>()) {
    console_frame = console_frame || frame->title() == "Console:";
  }
  EXPECT_TRUE(console_frame);
  for (const char* name : {"cmdConnect", "cmdConfigure", "cmdAbout"}) {
    EXPECT_FALSE(Find<QToolButton>(name)->icon().isNull()) << name;
  }
}

TEST_F(FrmMainTest, ActivationPutsTheFocusInTheCommandBox) {
  OpenOnConsole();
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  EXPECT_EQ(QApplication::focusWidget(), Command());
}

// --- First start and configuring --------------------------------------------

TEST_F(FrmMainTest, FirstStartAsksForSettings) {
  Open(nullptr, {});
  EXPECT_EQ(Tip(), "Configure Gyrion Monitor first!");
  const SeenBox box = CaptureMessageBox([&] { Click(Connect_()); });
  EXPECT_TRUE(box.shown);
  EXPECT_EQ(box.text, "Please configure Gyrion Monitor before trying to connect.");
  EXPECT_EQ(box.title, "Error!");
  EXPECT_EQ(box.icon, QMessageBox::Critical);
  EXPECT_EQ(Status(), "Status: Not Connected.");
  Settle();
  EXPECT_EQ(console_.Accepted(), 0);
}

TEST_F(FrmMainTest, ConfiguringSavesAndRetitlesAtOnce) {
  Open(nullptr, {});
  Click(Find<QToolButton>("cmdConfigure"));
  auto* dialog = Find<QDialog>("frmConfigure");
  ASSERT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(dialog->windowTitle(), "");
  EXPECT_EQ(dialog->parentWidget(), window_.get());
  auto* host = Find<QLineEdit>("txtHost");
  auto* port = Find<QLineEdit>("txtPort");
  EXPECT_EQ(host->text(), "");

  // One box left empty: the dialog asks again and stays.
  QTest::keyClicks(host, "127.0.0.1");
  auto* ok = dialog->findChild<QPushButton*>("cmdOk");
  const SeenBox box = CaptureMessageBox([&] { Click(ok); });
  EXPECT_EQ(box.text, "Please enter both Host and IP into correct boxes.");
  EXPECT_EQ(box.title, "Information!");
  EXPECT_EQ(box.icon, QMessageBox::Information);
  EXPECT_EQ(box.owner, dialog);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(QFile::exists(folder_.filePath("Configuration.ini")));

  QTest::keyClicks(port, QString::number(console_.Port()));
  Click(ok);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(Tip(), Expected("Connect to: ", " @ port "));
  QFile ini(folder_.filePath("Configuration.ini"));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_EQ(ini.readAll(),
            "[Settings]\nHOST=127.0.0.1\nPORT=" + QByteArray::number(console_.Port()) + "\n");

  // Opened again, the dialog shows the settings in memory.
  Click(Find<QToolButton>("cmdConfigure"));
  EXPECT_EQ(host->text(), "127.0.0.1");
  EXPECT_EQ(port->text(), QString::number(console_.Port()));
}

TEST_F(FrmMainTest, CancelKeepsTheOldSettings) {
  OpenOnConsole();
  Click(Find<QToolButton>("cmdConfigure"));
  auto* dialog = Find<QDialog>("frmConfigure");
  Find<QLineEdit>("txtHost")->setText("elsewhere");
  Click(dialog->findChild<QPushButton*>("cmdCancel"));
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(Tip(), Expected("Connect to: ", " @ port "));
  Click(Find<QToolButton>("cmdConfigure"));
  EXPECT_EQ(Find<QLineEdit>("txtHost")->text(), "127.0.0.1");
}

TEST_F(FrmMainTest, AboutShowsWithoutBlockingAndOkayCloses) {
  OpenOnConsole();
  Click(Find<QToolButton>("cmdAbout"));
  auto* about = Find<QDialog>("frmAbout");
  ASSERT_TRUE(about->isVisible());
  EXPECT_FALSE(about->isModal());
  EXPECT_EQ(about->windowTitle(), "");
  QStringList texts;
  for (auto* label : about->findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("About Gyrion Monitor"));
  EXPECT_TRUE(texts.contains("Beta Release 3"));
  EXPECT_TRUE(texts.contains("TSOC: 30 Minutes."));
  EXPECT_EQ(about->findChild<QLabel*>("lblTSOC")->toolTip(), "Time Spent On Coding (TSOC)");
  // The main window still takes clicks while the dialog is open.
  Click(Connect_());
  EXPECT_TRUE(Status().startsWith("Status: Connecting to") || Status().startsWith("Status: Connected"));
  auto* okay = about->findChild<QPushButton*>("cmdOk");
  EXPECT_EQ(okay->text(), "Okay.");
  Click(okay);
  EXPECT_FALSE(about->isVisible());
}

// --- Connecting and sending -------------------------------------------------

TEST_F(FrmMainTest, ConnectEmptiesTheConsoleAndSendsOneBlank) {
  OpenOnConsole();
  window_->SetConsoleText("left from before");
  Click(Connect_());
  EXPECT_EQ(Console()->toPlainText(), "");
  EXPECT_EQ(Status(), Expected("Status: Connecting to "));
  EXPECT_EQ(Tip(), Expected("Disconnect from: "));
  ASSERT_TRUE(WaitFor([&] { return Status() == Expected("Status: Connected to "); }));
  EXPECT_EQ(Command()->text(), "Enter Password!");
  Click(Command());
  EXPECT_EQ(Command()->text(), "");
  // The next line shows that the blank came alone.
  Type("help");
  ASSERT_TRUE(WaitFor([&] { return console_.Received().endsWith("\r\n"); }));
  EXPECT_EQ(console_.Received(), " help\r\n");
  EXPECT_EQ(Command()->text(), "");
}

TEST_F(FrmMainTest, EnterWhileClosedWarnsAndDiscards) {
  OpenOnConsole();
  QTest::keyClicks(Command(), "help");
  const SeenBox box =
      CaptureMessageBox([&] { QTest::keyClick(Command(), Qt::Key_Return); });
  EXPECT_TRUE(box.shown);
  EXPECT_EQ(box.text, "Connect before trying to send a command.");
  EXPECT_EQ(box.title, "Error!");
  EXPECT_EQ(box.icon, QMessageBox::NoIcon);
  EXPECT_TRUE(box.stays_on_top);
  EXPECT_EQ(Command()->text(), "");
}

TEST_F(FrmMainTest, WhileConnectingEnterWaitsAndConnectCancels) {
  StalledListener stalled;
  Open("127.0.0.1", QString::number(stalled.Port()));
  Click(Connect_());
  Settle();
  ASSERT_EQ(Status(), "Status: Connecting to 127.0.0.1:" + QString::number(stalled.Port()));
  const SeenBox box = CaptureMessageBox([&] { Type("help"); });
  EXPECT_FALSE(box.shown);
  EXPECT_EQ(Command()->text(), "help");

  Click(Connect_());
  EXPECT_EQ(Status(), "Status: Cancelled Connection to 127.0.0.1:" + QString::number(stalled.Port()));
  EXPECT_EQ(Tip(), "Connect to: 127.0.0.1 @ port " + QString::number(stalled.Port()));
  // Nothing of the dropped attempt reaches the window later.
  Settle();
  EXPECT_TRUE(Status().startsWith("Status: Cancelled"));
}

// --- Receiving --------------------------------------------------------------

TEST_F(FrmMainTest, DataGrowsAtTheEndThenAtTheClickedPlace) {
  Connect();
  console_.Send("first line\r\nsecond");
  ASSERT_TRUE(WaitFor([&] { return Console()->toPlainText().endsWith("second"); }));
  console_.Send(" line\r\n");
  ASSERT_TRUE(WaitFor([&] { return Console()->toPlainText().endsWith("line\n"); }));
  EXPECT_EQ(Console()->toPlainText(), "first line\nsecond line\n");

  QTest::mouseClick(Console()->viewport(), Qt::LeftButton, {}, ConsolePoint(6));
  console_.Send("NEW ");
  ASSERT_TRUE(WaitFor([&] { return Console()->toPlainText().contains("NEW"); }));
  EXPECT_EQ(Console()->toPlainText(), "first NEW line\nsecond line\n");
}

TEST_F(FrmMainTest, MouseUpCopiesTheSelectionOrEmptiesTheClipboard) {
  Connect();
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  console_.Send("alpha beta gamma");
  ASSERT_TRUE(WaitFor([&] { return Console()->toPlainText() == "alpha beta gamma"; }));

  QTest::mousePress(Console()->viewport(), Qt::LeftButton, {}, ConsolePoint(6));
  QTest::mouseMove(Console()->viewport(), ConsolePoint(10));
  QTest::mouseRelease(Console()->viewport(), Qt::LeftButton, {}, ConsolePoint(10));
  EXPECT_EQ(QApplication::clipboard()->text(), "beta");
  EXPECT_EQ(QApplication::focusWidget(), Command());

  QTest::mouseClick(Console()->viewport(), Qt::LeftButton, {}, ConsolePoint(2));
  EXPECT_EQ(QApplication::clipboard()->text(), "");
  EXPECT_EQ(QApplication::focusWidget(), Command());
}

TEST_F(FrmMainTest, UpAndDownRecallTheLinesSent) {
  Connect();
  for (const char* line : {"password", "help", "who"}) Type(line);
  ASSERT_TRUE(WaitFor([&] { return console_.Received().endsWith("who\r\n"); }));
  QTest::keyClicks(Command(), "draft");
  for (const char* shown : {"who", "help", "help"}) {
    QTest::keyClick(Command(), Qt::Key_Up);
    EXPECT_EQ(Command()->text(), shown);
  }
  for (const char* shown : {"who", "draft"}) {
    QTest::keyClick(Command(), Qt::Key_Down);
    EXPECT_EQ(Command()->text(), shown);
  }
}

TEST_F(FrmMainTest, ConnectButtonShowsWhatAClickDoes) {
  const auto picture = [&] { return Connect_()->icon().pixmap(32).toImage(); };
  OpenOnConsole();
  const QImage connect_picture = picture();
  Click(Connect_());
  EXPECT_NE(picture(), connect_picture);
  ASSERT_TRUE(WaitFor([&] { return Status().startsWith("Status: Connected"); }));
  EXPECT_NE(picture(), connect_picture);
  Click(Connect_());
  EXPECT_EQ(picture(), connect_picture);
}

TEST_F(FrmMainTest, LongSessionKeepsTheBoxSmallAndTheLogWhole) {
  Connect("MAXCONSOLEKB=1\r\n");
  QByteArray all;
  for (int i = 0; i < 100; ++i) all += "line " + QByteArray::number(i) + " caf\xE9\r\n";
  console_.Send(all);
  ASSERT_TRUE(WaitFor([&] { return Console()->toPlainText().endsWith("line 99 caf\u00E9\n"); }));
  EXPECT_LE(Console()->toPlainText().size(), 1024);
  EXPECT_TRUE(Console()->toPlainText().startsWith("line "));
  Click(Connect_());
  QFile log(folder_.filePath("GX-2024-03-07.log"));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_EQ(log.readAll(), "[ 3/7/24 9:05:01 PM ]\r\n" + all + "\r\n\r\n");
}

// --- Losing the connection --------------------------------------------------

TEST_F(FrmMainTest, PeerCloseKeepsTheConsole) {
  Connect();
  console_.Send("goodbye\r\n");
  ASSERT_TRUE(WaitFor([&] { return Console()->toPlainText() == "goodbye\n"; }));
  console_.ClosePeer();
  ASSERT_TRUE(WaitFor([&] { return Status() == Expected("Status: Disconnected from "); }));
  EXPECT_EQ(Console()->toPlainText(), "goodbye\n");
  EXPECT_EQ(Tip(), Expected("Connect to: ", " @ port "));
  EXPECT_FALSE(QFile::exists(folder_.filePath("GX-2024-03-07.log")));
  // The closed socket connects again on the next click.
  Click(Connect_());
  ASSERT_TRUE(WaitFor([&] { return Status() == Expected("Status: Connected to "); }));
  EXPECT_EQ(console_.Accepted(), 2);
  EXPECT_EQ(Console()->toPlainText(), "");
}

TEST_F(FrmMainTest, RefusedOrImpossibleConnectionShowsTheFailedStatus) {
  quint16 closed_port = 0;
  {
    QTcpServer gone;
    ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
    closed_port = gone.serverPort();
  }
  for (const QString& port : {QString::number(closed_port), QStringLiteral("not a port")}) {
    Open("127.0.0.1", port);
    Click(Connect_());
    ASSERT_TRUE(WaitFor([&] { return Status().startsWith("Status: Failed"); })) << port.toStdString();
    EXPECT_EQ(Status(), "Status: Failed to connect to 127.0.0.1:" + port);
    EXPECT_EQ(Tip(), "Connect to: 127.0.0.1 @ port " + port);
  }
}

TEST_F(FrmMainTest, UserDisconnectSavesTheConsoleAndSaysWhere) {
  Connect();
  console_.Send("Welcome\r\nready");
  ASSERT_TRUE(WaitFor([&] { return Console()->toPlainText().endsWith("ready"); }));
  Click(Connect_());
  EXPECT_EQ(Console()->toPlainText(),
            "Disconnected from: 127.0.0.1\nSaved console to: GX-2024-03-07.log");
  EXPECT_EQ(Status(), "Status: Not Connected.");
  EXPECT_EQ(Tip(), Expected("Connect to: ", " @ port "));
  QFile log(folder_.filePath("GX-2024-03-07.log"));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_EQ(log.readAll(), "[ 3/7/24 9:05:01 PM ]\r\nWelcome\r\nready\r\n\r\n");
  // The console sees the close; the window hears nothing more of it.
  ASSERT_TRUE(WaitFor([&] { return !console_.HasPeer(); }));
  Settle();
  EXPECT_EQ(Status(), "Status: Not Connected.");
}

TEST_F(FrmMainTest, NewHostIsNamedByTheOpenConnectionsStatus) {
  Connect();
  Click(Find<QToolButton>("cmdConfigure"));
  auto* host = Find<QLineEdit>("txtHost");
  host->setText("localhost");
  Click(Find<QDialog>("frmConfigure")->findChild<QPushButton*>("cmdOk"));
  console_.ClosePeer();
  ASSERT_TRUE(WaitFor([&] { return Status().startsWith("Status: Disconnected"); }));
  EXPECT_EQ(Status(), "Status: Disconnected from localhost:" + QString::number(console_.Port()));
}

// --- The Qt seam ------------------------------------------------------------

TEST(QtTelnetSocket, QtStatesMapOntoTheStateNumbers) {
  struct Row {
    QAbstractSocket::SocketState qt;
    int number;
  };
  const Row rows[] = {
      {QAbstractSocket::UnconnectedState, 0}, {QAbstractSocket::HostLookupState, 4},
      {QAbstractSocket::ConnectingState, 6},  {QAbstractSocket::ConnectedState, 7},
      {QAbstractSocket::ClosingState, 8},     {QAbstractSocket::BoundState, 1},
      {QAbstractSocket::ListeningState, 2},
  };
  for (const Row& row : rows) EXPECT_EQ(StateNumber(row.qt), row.number) << row.qt;
}

TEST(MonitorFolder, ProgramFolderWhenWritableElseTheUsersFolder) {
  QTemporaryDir program;
  QTemporaryDir home;
  const QString user = home.filePath("config/GyrionMonitor");
  EXPECT_EQ(ChooseMonitorFolder(program.path(), user), program.path());
  EXPECT_FALSE(QDir(user).exists());
  EXPECT_EQ(ChooseMonitorFolder(program.filePath("not there"), user), user);
  EXPECT_TRUE(QDir(user).exists());
  // The probe leaves nothing behind.
  EXPECT_TRUE(QDir(program.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

}  // namespace
}  // namespace monitor
