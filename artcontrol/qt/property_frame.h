#pragma once
// The frame in which the Properties verb shows the control's property page:
// a dialog with the page under its caption, and OK, Cancel and Apply.

#include <QDialog>
#include <QPointer>

class QPushButton;

namespace tilvo::qt {

class CTilvoPropPage;
class TilvoWidget;

class PropertyFrame : public QDialog {
  Q_OBJECT

 public:
  // A frame for the control hosted by widget, filled from its properties; it deletes itself when closed.
  explicit PropertyFrame(TilvoWidget* widget);

  CTilvoPropPage* Page() const { return page_; }
  // Writes the page's changes to the control: true, or false after telling the user why.
  bool Apply();

 signals:
  // The page's changes reached the control.
  void applied();

 private:
  QPointer<TilvoWidget> widget_;  // the control may go while the frame is open
  CTilvoPropPage* page_ = nullptr;
  QPushButton* apply_ = nullptr;
};

}  // namespace tilvo::qt
