// GyrionMonitor: watches and drives a game server's remote console.
//
// The program takes no arguments. For documentation and tests, the variable
// GYRIONMONITOR_SCREENSHOT=<file.png> makes it draw its main window into that
// file (and its two dialogs into <file>-configure.png and <file>-about.png)
// once it is on screen, then quit; the exit status says whether all were saved.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "monitor/qt/frm_main.h"
#include "monitor/qt/local_clock.h"
#include "monitor/qt/monitor_folder.h"

namespace {

bool SaveScreenshots(monitor::frmMain& window, const QString& path) {
  bool ok = window.grab().save(path, "PNG");
  const QFileInfo file(path);
  const QString base = file.dir().filePath(file.completeBaseName());
  window.ShowConfigure();
  window.ShowAbout();
  for (const char* name : {"frmConfigure", "frmAbout"}) {
    auto* dialog = window.findChild<QDialog*>(QString::fromLatin1(name));
    const QString suffix = QString::fromLatin1(name).mid(3).toLower();
    ok = dialog != nullptr && dialog->grab().save(base + "-" + suffix + ".png", "PNG") && ok;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("GyrionMonitor"));

  monitor::frmMain window(QFile::encodeName(monitor::MonitorFolder()).toStdString(),
                         monitor::LocalNow);
  window.show();

  const QString screenshot = qEnvironmentVariable("GYRIONMONITOR_SCREENSHOT");
  if (!screenshot.isEmpty()) {
    QTimer::singleShot(0, &window, [&window, screenshot] {
      QCoreApplication::exit(SaveScreenshots(window, screenshot) ? 0 : 1);
    });
  }
  return QApplication::exec();
}
