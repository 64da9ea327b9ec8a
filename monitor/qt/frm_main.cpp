#include "monitor/qt/frm_main.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

#include "monitor/qt/form_kit.h"
#include "monitor/qt/frm_about.h"
#include "monitor/qt/frm_configure.h"
#include "monitor/qt/text_boxes.h"

namespace monitor {
namespace {

// The console shows about this many characters and lines before the user
// resizes the window.
constexpr int kConsoleColumns = 80;
constexpr int kConsoleLines = 22;
constexpr int kIconSize = 32;

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

// The icon `name` as drawn for 100 %, 150 % and 200 % screens.
QIcon PictureIcon(const char* name) {
  QIcon icon;
  for (int size : {32, 48, 64}) {
    icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(QString::fromLatin1(name)).arg(size),
                 QSize(size, size));
  }
  return icon;
}

QToolButton* PictureButton(QWidget* parent, const char* name, const char* icon,
                           const char* tip) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setIcon(PictureIcon(icon));
  button->setIconSize(QSize(kIconSize, kIconSize));
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->setFixedSize(kIconSize + 16, kIconSize + 16);
  if (tip != nullptr) button->setToolTip(QString::fromLatin1(tip));
  return button;
}

}  // namespace

frmMain::frmMain(std::string folder, std::function<LocalStamp()> now, QWidget* parent)
    : QWidget(parent), controller_(*this, socket_, profile_, std::move(folder), std::move(now)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Gyrion Monitor  -  [ Beta Release 3 ]"));

  auto* fraConsole = new QGroupBox(QStringLiteral("Console:"), this);
  txtConsole_ = new ConsoleBox(fraConsole);
  txtConsole_->setObjectName(QStringLiteral("txtConsole"));
  txtConsole_->setFont(FormFont("Tahoma", 8.25));
  const QFontMetrics console_metrics(txtConsole_->font());
  const QSize console_size(console_metrics.averageCharWidth() * kConsoleColumns,
                           console_metrics.lineSpacing() * kConsoleLines);
  txtConsole_->setMinimumSize(console_size);
  txtCommand_ = new CommandBox(fraConsole);
  txtCommand_->setObjectName(QStringLiteral("txtCommand"));
  txtCommand_->setFont(FormFont("Verdana", 8.25));
  auto* console_layout = new QVBoxLayout(fraConsole);
  console_layout->addWidget(txtConsole_, 1);
  console_layout->addWidget(txtCommand_);

  auto* fraButtons = new QGroupBox(this);
  cmdConnect_ = PictureButton(fraButtons, "cmdConnect", "connect", nullptr);
  cmdConfigure_ = PictureButton(fraButtons, "cmdConfigure", "configure",
                                "Configure Gyrion Remote.");
  cmdAbout_ = PictureButton(fraButtons, "cmdAbout", "about", "About Box.");
  auto* button_layout = new QVBoxLayout(fraButtons);
  button_layout->addWidget(cmdConnect_);
  button_layout->addWidget(cmdConfigure_);
  button_layout->addWidget(cmdAbout_);
  button_layout->addStretch(1);

  lblConnStatus_ = new QLabel(QStringLiteral("Status: Not Connected."), this);
  lblConnStatus_->setObjectName(QStringLiteral("lblConnStatus"));
  lblConnStatus_->setFont(FormFont("Verdana", 8.25));

  auto* frames = new QHBoxLayout;
  frames->addWidget(fraConsole, 1);
  frames->addWidget(fraButtons);
  auto* window_layout = new QVBoxLayout(this);
  window_layout->addLayout(frames, 1);
  window_layout->addWidget(lblConnStatus_);

  // The window opens with the console at its full size and may shrink to half.
  resize(sizeHint());
  txtConsole_->setMinimumSize(console_size / 2);

  connect(cmdConnect_, &QToolButton::clicked, this, [this] { controller_.cmdConnect_Click(); });
  connect(cmdConfigure_, &QToolButton::clicked, this,
          [this] { controller_.cmdConfigure_Click(); });
  connect(cmdAbout_, &QToolButton::clicked, this, [this] { controller_.cmdAbout_Click(); });
  txtCommand_->on_click = [this] { controller_.txtCommand_Click(); };
  txtCommand_->on_key_down = [this](int key_code) { controller_.txtCommand_KeyDown(key_code); };
  connect(txtCommand_, &QLineEdit::returnPressed, this,
          [this] { controller_.txtCommand_KeyPress('\r'); });
  txtConsole_->on_mouse_up = [this] { controller_.txtConsole_MouseUp(); };
  connect(&socket_, &QtTelnetSocket::Connected, this,
          [this] { controller_.TelnetSocket_Connect(); });
  connect(&socket_, &QtTelnetSocket::DataArrival, this,
          [this] { controller_.TelnetSocket_DataArrival(); });
  connect(&socket_, &QtTelnetSocket::ClosedByPeer, this,
          [this] { controller_.TelnetSocket_Close(); });
  connect(&socket_, &QtTelnetSocket::Failed, this, [this] { controller_.TelnetSocket_Error(); });

  controller_.frmMain_Load();
}

frmMain::~frmMain() = default;

void frmMain::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    controller_.frmMain_Activate();
  }
}

void frmMain::closeEvent(QCloseEvent* event) {
  controller_.frmMain_Unload();
  QWidget::closeEvent(event);
}

void frmMain::SetConnectToolTip(const std::string& text) { cmdConnect_->setToolTip(ToQt(text)); }

void frmMain::SetConnectPicture(ConnectPicture picture) {
  cmdConnect_->setIcon(PictureIcon(picture == ConnectPicture::kConnect ? "connect" : "disconnect"));
}

void frmMain::SetStatus(const std::string& text) { lblConnStatus_->setText(ToQt(text)); }

std::string frmMain::ConsoleText() const { return txtConsole_->toPlainText().toStdString(); }

void frmMain::SetConsoleText(const std::string& text) { txtConsole_->setPlainText(ToQt(text)); }

size_t frmMain::ConsoleLength() const {
  // The document counts one more character than its text holds.
  return static_cast<size_t>(txtConsole_->document()->characterCount() - 1);
}

// A line end of the head is one paragraph break of the document, so the
// head's length in characters is its length in document positions.
void frmMain::RemoveConsoleHead(const std::string& head) {
  QTextCursor cursor(txtConsole_->document());
  cursor.setPosition(static_cast<int>(ToQt(head).size()), QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
}

std::string frmMain::ConsoleSelection() const {
  // The document marks line ends inside a selection with U+2029.
  QString selected = txtConsole_->textCursor().selectedText();
  selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return selected.toStdString();
}

void frmMain::InsertConsoleText(const std::string& text) {
  QTextCursor caret = txtConsole_->textCursor();
  caret.insertText(ToQt(text));
  txtConsole_->setTextCursor(caret);
  txtConsole_->ensureCursorVisible();
}

std::string frmMain::CommandText() const { return txtCommand_->text().toStdString(); }

void frmMain::SetCommandText(const std::string& text) { txtCommand_->setText(ToQt(text)); }

void frmMain::FocusCommand() { txtCommand_->setFocus(Qt::OtherFocusReason); }

void frmMain::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(ToQt(text));
}

void frmMain::ShowMessage(const MessageBoxRequest& box) { ShowMessageBox(this, box); }

void frmMain::ShowConfigure() {
  if (configure_ == nullptr) configure_ = new frmConfigure(controller_, this);
  if (!configure_->isVisible()) controller_.frmConfigure_Load(*configure_);
  configure_->show();
  configure_->raise();
  configure_->activateWindow();
}

void frmMain::ShowAbout() {
  if (about_ == nullptr) about_ = new frmAbout(this);
  about_->show();
  about_->raise();
  about_->activateWindow();
}

}  // namespace monitor
