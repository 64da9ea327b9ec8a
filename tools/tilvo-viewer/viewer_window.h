#pragma once
// The main window of tilvo-viewer: the client folder, the fields that choose
// what the control draws (art type, index with previous and next, colour,
// offsets, drawing flags), the control itself in a TilvoWidget, and the menu
// commands to export the picture and to save and reload the persisted
// properties. The arrow keys scroll the picture while it has the focus.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSpinBox>
#include <QString>
#include <array>

#include "artcontrol/qt/tilvo_widget.h"
#include "viewer_options.h"

namespace tilvo::viewer {

class ViewerWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The ProgID through which the viewer creates its control.
  static constexpr const char* kProgId = "TILVO.TilvoCtrl.1";
  // Pixels per arrow key, and with Shift held.
  static constexpr int kScrollStep = 8;
  static constexpr int kShiftScrollStep = 64;

  explicit ViewerWindow(const ViewerOptions& options);

  qt::TilvoWidget* ArtView() const { return view_; }
  CTilvoCtrl* Control() const { return view_->Control(); }

  // Creates the control for the folder (empty: where the registry sources
  // say) through its registration, or from the linked library when the
  // control is not registered, and gives it the fields' values. The result of
  // the activation (S_OK when it went through the registration).
  HRESULT OpenClient(const QString& folder);
  // Moves ArtIndex by delta, not below 0.
  void StepIndex(int delta);
  // Shifts the picture by (dx, dy) pixels.
  void ScrollBy(int dx, int dy);
  // Writes the control's picture as a PNG file; false with the reason in error.
  bool ExportPicture(const QString& path, QString& error);
  // Saves ArtType, ArtIndex and ArtColor to a property file, or loads them from one; false with the reason in error.
  bool SavePropertySet(const QString& path, QString& error);
  bool LoadPropertySet(const QString& path, QString& error);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildFields(QWidget* parent);
  void BuildMenus();
  // The fields show the control's properties (without writing them back).
  void ShowProperties();
  // The control takes the fields' values.
  void ApplyFields();
  std::int16_t FlagsFromBoxes() const;
  void ShowMouseEvent(const char* name, int button, int shift, int x, int y);

  qt::TilvoWidget* view_ = nullptr;
  QLineEdit* folder_ = nullptr;
  QComboBox* artType_ = nullptr;
  QSpinBox* index_ = nullptr;
  QSpinBox* color_ = nullptr;
  QSpinBox* xOffset_ = nullptr;
  QSpinBox* yOffset_ = nullptr;
  std::array<QCheckBox*, 4> flags_{};
  QLabel* mouse_ = nullptr;
  bool showing_ = false;  // the fields are being filled from the control
};

}  // namespace tilvo::viewer
