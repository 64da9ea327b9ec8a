// tilvo-viewer: a desktop program for browsing the game client's art with
// the Tilvo control. See viewer_options.h for the command line.
//
// For documentation and tests, the variable TILVO_VIEWER_SCREENSHOT=<file.png>
// makes it draw its window into that file (and the property page's frame into
// <file>-properties.png) once it is on screen, then quit; the exit status says
// whether both were saved.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <iostream>

#include "artcontrol/qt/property_frame.h"
#include "tilvo/verbs.h"
#include "viewer_options.h"
#include "viewer_window.h"

namespace {

bool SaveScreenshots(tilvo::viewer::ViewerWindow& window, const QString& path) {
  bool ok = window.grab().save(path, "PNG");
  window.ArtView()->DoVerb(tilvo::kVerbProperties);
  auto* frame = window.findChild<tilvo::qt::PropertyFrame*>();
  const QFileInfo file(path);
  const QString framePath = file.dir().filePath(file.completeBaseName() + QStringLiteral("-properties.png"));
  ok = frame != nullptr && frame->grab().save(framePath, "PNG") && ok;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tilvo-viewer"));

  std::vector<std::string> args;
  for (const QString& arg : QApplication::arguments().mid(1)) args.push_back(arg.toStdString());
  tilvo::viewer::ViewerOptions options;
  std::string error;
  if (!tilvo::viewer::ParseViewerOptions(args, options, error)) {
    std::cerr << "tilvo-viewer: " << error << "\n";
    return 2;
  }
  tilvo::viewer::ViewerWindow window(options);
  window.resize(720, 560);
  window.show();

  const QString screenshot = qEnvironmentVariable("TILVO_VIEWER_SCREENSHOT");
  if (!screenshot.isEmpty()) {
    QTimer::singleShot(0, &window, [&window, screenshot] {
      QCoreApplication::exit(SaveScreenshots(window, screenshot) ? 0 : 1);
    });
  }
  return QApplication::exec();
}
