#include "monitor/qt/text_boxes.h"

#include <QMouseEvent>

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

}  // namespace monitor
