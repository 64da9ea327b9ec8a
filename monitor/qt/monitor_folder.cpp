#include "monitor/qt/monitor_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace monitor {
namespace {

// Creating a file is the only test that also covers read-only mounts and
// access lists, which permission bits do not show.
bool CanCreateFileIn(const QString& folder) {
  if (!QDir(folder).exists()) return false;
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".GyrionMonitor-XXXXXX")));
  return probe.open();
}

}  // namespace

QString ChooseMonitorFolder(const QString& program_folder, const QString& user_folder) {
  if (CanCreateFileIn(program_folder)) return program_folder;
  QDir().mkpath(user_folder);
  return user_folder;
}

QString MonitorFolder() {
  const QString user = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                           .filePath(QStringLiteral("GyrionMonitor"));
  QString folder = ChooseMonitorFolder(QCoreApplication::applicationDirPath(), user);
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

}  // namespace monitor
