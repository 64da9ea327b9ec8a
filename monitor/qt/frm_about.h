// The about dialog `frmAbout`.
#pragma once

#include <QDialog>

namespace monitor {

class frmAbout : public QDialog {
 public:
  // A dialog owned by `owner`; its one button closes it.
  explicit frmAbout(QWidget* owner);
};

}  // namespace monitor
