// tilvo-viewer: a desktop program for browsing the game client's art with
// the Tilvo control. See viewer_options.h for the command line.
//
// For documentation and tests, the variable TILVO_VIEWER_SCREENSHOT=<file.png>
// makes it draw its window into that file once it is on screen, then the
// grid of items with item 1 selected in hue 3 into <file>-grid.png, the
// detail pane into <file>-detail.png, the hue list into <file>-hues.png, the
// map tab into <file>-map.png and the property page's frame into
// <file>-properties.png, then quit; the exit status says whether all were
// saved. Remembered settings are neither read nor written in that run.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <iostream>

#include "artcontrol/qt/property_frame.h"
#include "tilvo/verbs.h"
#include "viewer_options.h"
#include "viewer_window.h"

namespace {

bool SaveScreenshots(tilvo::viewer::ViewerWindow& window, const QString& path) {
  const QFileInfo file(path);
  auto named = [&file](const char* suffix) {
    return file.dir().filePath(file.completeBaseName() + QString::fromLatin1(suffix) + QStringLiteral(".png"));
  };
  bool ok = window.grab().save(path, "PNG");
  auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("tabs"));
  tabs->setCurrentIndex(0);
  window.ShowKind(0);
  window.SetHue(3);
  window.SelectId(1);
  QCoreApplication::processEvents();
  ok = window.grab().save(named("-grid"), "PNG") && ok;
  ok = window.ArtView()->parentWidget()->grab().save(named("-detail"), "PNG") && ok;
  ok = window.findChild<QWidget*>(QStringLiteral("hues"))->grab().save(named("-hues"), "PNG") && ok;
  tabs->setCurrentIndex(1);
  QCoreApplication::processEvents();
  ok = window.grab().save(named("-map"), "PNG") && ok;
  tabs->setCurrentIndex(0);
  window.ArtView()->DoVerb(tilvo::kVerbProperties);
  auto* frame = window.findChild<tilvo::qt::PropertyFrame*>();
  ok = frame != nullptr && frame->grab().save(named("-properties"), "PNG") && ok;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tilvo-viewer"));
  QApplication::setOrganizationName(QStringLiteral("Gyrion"));

  std::vector<std::string> args;
  for (const QString& arg : QApplication::arguments().mid(1)) args.push_back(arg.toStdString());
  tilvo::viewer::ViewerOptions options;
  std::string error;
  if (!tilvo::viewer::ParseViewerOptions(args, options, error)) {
    std::cerr << "tilvo-viewer: " << error << "\n";
    return 2;
  }
  const QString screenshot = qEnvironmentVariable("TILVO_VIEWER_SCREENSHOT");
  if (!screenshot.isEmpty()) {
    // The pictures show what the options ask for, not what a user's last run left.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QFileInfo(screenshot).dir().filePath(QStringLiteral("screenshot-settings")));
    QSettings().clear();
  }
  tilvo::viewer::ViewerWindow window(options);
  window.show();
  if (!screenshot.isEmpty()) {
    // Every thumbnail in view is drawn before the window is.
    window.Thumbnails().SetFrameBudget(0);
    QTimer::singleShot(0, &window, [&window, screenshot] {
      QCoreApplication::exit(SaveScreenshots(window, screenshot) ? 0 : 1);
    });
  }
  return QApplication::exec();
}
