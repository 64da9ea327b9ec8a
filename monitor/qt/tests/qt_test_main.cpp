// Runs the window tests inside one QApplication, on the offscreen platform
// unless QT_QPA_PLATFORM names another (the test list is also read at build
// time, where no display may exist).

#include <gtest/gtest.h>

#include <QApplication>

namespace {

QtMessageHandler qt_handler = nullptr;

// The offscreen platform says, for every window, that it cannot do what only
// a real screen does; the rest of Qt's messages go through.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("This plugin does not support"))) return;
  if (qt_handler != nullptr) qt_handler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qt_handler = qInstallMessageHandler(QuietOffscreen);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("GyrionMonitorTests"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
