#pragma once
// The property page `CTilvoPropPage` as a Qt dialog page: dialog 200 with
// its five labels and controls placed by the template's dialog units, scaled
// to the page's font as a dialog's are. It reads the control's properties
// into its controls and writes back what the user changed.

#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <array>

#include "tilvo/prop_page.h"
#include "tilvo/tilvo.h"

namespace tilvo::qt {

class CTilvoPropPage : public QWidget {
  Q_OBJECT

 public:
  explicit CTilvoPropPage(QWidget* parent = nullptr);

  // The page's caption: "General".
  static QString Caption();

  // Shows the control's properties; false when the control refuses a read (the page then unchanged).
  bool LoadFrom(CTilvoCtrl& control);
  // Writes the fields the user changed. False when a changed edit box holds
  // no integer or the control refuses a value: error then says why, that
  // field has the focus, and it and later fields stay pending.
  bool ApplyTo(CTilvoCtrl& control, QString& error);
  // Whether the user changed anything that is not written yet.
  bool IsDirty() const;

  // The control with the template's id (202 to 206), or null.
  QWidget* ControlById(int id) const;

 signals:
  // The user changed a field.
  void changed();

 private:
  void Place();

  TilvoPropPageCore core_;
  QComboBox* artType_ = nullptr;
  std::array<QLineEdit*, TilvoPropPageCore::kFieldCount> edits_{};  // index 0 unused: the drop-down
  std::array<bool, TilvoPropPageCore::kFieldCount> typed_{};         // edited since the last load or apply
};

}  // namespace tilvo::qt
