#include "monitor/qt/form_kit.h"

#include <QFont>
#include <QMessageBox>

namespace monitor {
namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kCritical:
      return QMessageBox::Critical;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void ShowMessageBox(QWidget* owner, const MessageBoxRequest& box) {
  QMessageBox message(QtIcon(box.icon), QString::fromStdString(box.title),
                      QString::fromStdString(box.text), QMessageBox::Ok, owner);
  message.setWindowModality(Qt::ApplicationModal);
  if (box.system_modal) message.setWindowFlag(Qt::WindowStaysOnTopHint);
  message.exec();
}

QFont FormFont(const char* family, double points, bool bold, bool italic) {
  QFont font(QString::fromLatin1(family));
  font.setPointSizeF(points);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

}  // namespace monitor
