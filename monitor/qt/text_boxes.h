// The main window's two text boxes, which report the mouse events the
// handlers need and plain Qt widgets do not signal.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>

namespace monitor {

// The console box: read-only text with a caret that clicks move and that
// arriving data is inserted at.
class ConsoleBox : public QPlainTextEdit {
 public:
  explicit ConsoleBox(QWidget* parent = nullptr);
  // Called after any mouse button is released over the text, once the box
  // has settled the selection.
  std::function<void()> on_mouse_up;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// The one-line command box.
class CommandBox : public QLineEdit {
 public:
  explicit CommandBox(QWidget* parent = nullptr);
  // Called when the left button is released over the box.
  std::function<void()> on_click;
  // Called with kKeyUp or kKeyDown when Up or Down is pressed in the box.
  std::function<void(int)> on_key_down;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace monitor
