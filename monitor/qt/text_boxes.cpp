#include "monitor/qt/text_boxes.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "monitor/core/monitor_controller.h"

namespace monitor {

ConsoleBox::ConsoleBox(QWidget* parent) : QPlainTextEdit(parent) {
  // Users read and copy the console; only the server writes to it.
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setContextMenuPolicy(Qt::NoContextMenu);
}

void ConsoleBox::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  if (on_mouse_up) on_mouse_up();
}

CommandBox::CommandBox(QWidget* parent) : QLineEdit(parent) {}

void CommandBox::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && on_click) on_click();
}

void CommandBox::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Up || key == Qt::Key_Down) && on_key_down) {
    on_key_down(key == Qt::Key_Up ? kKeyUp : kKeyDown);
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace monitor
