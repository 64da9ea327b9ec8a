#pragma once
// A Qt widget that hosts the Tilvo control: it is the control's site (it
// repaints on request, gives the palette's button colour, shows the picture
// at its top-left corner unscaled), turns Qt's mouse events into the stock
// MouseDown, MouseMove and MouseUp events, and offers the control's two
// verbs, Edit and Properties (which opens the property page).

#include <QAction>
#include <QList>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tilvo/activation.h"
#include "tilvo/site.h"

class QPainter;

namespace tilvo::qt {

// The stock event code of one button (1 left, 2 right, 4 middle; 0 for any
// other), or of the buttons held together.
std::int16_t StockButton(Qt::MouseButtons buttons);
// The stock shift code of the modifier keys (1 Shift, 2 Ctrl, 4 Alt, added).
std::int16_t StockShift(Qt::KeyboardModifiers modifiers);

class TilvoWidget : public QWidget, public TilvoSite {
  Q_OBJECT

 public:
  explicit TilvoWidget(QWidget* parent = nullptr);
  ~TilvoWidget() override;

  // Creates the control through its registration, by ProgID or class id (see
  // ActivateControl), replacing any control hosted before: S_OK or the
  // activation's failure code (the widget then hosts none).
  HRESULT Activate(std::string_view progIdOrClassId, const std::optional<std::string>& clientDirectory = std::nullopt,
                   const std::string& registrationFile = {});
  // Creates the control from the library this program is linked with, replacing any hosted before.
  void CreateControl(const std::optional<std::string>& clientDirectory = std::nullopt);
  // Destroys the hosted control.
  void ReleaseControl();
  // The hosted control, or null.
  CTilvoCtrl* Control() const { return control_.get(); }

  // Runs a verb of the control: Edit gives the control the focus, Properties
  // opens the property page. False for another verb or without a control.
  bool DoVerb(std::int32_t verb);
  // One action per verb, in the control's order, for a host's menus.
  QList<QAction*> VerbActions() const { return verbActions_; }

  // The site.
  void InvalidateControl(bool erase) override;
  std::uint32_t ButtonFaceColor() override;
  void CopyToScreen(const PixelBuffer& pixels, std::int32_t left, std::int32_t top) override;
  void ReadyStateChange(std::int32_t readyState) override;
  void MouseDown(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) override;
  void MouseMove(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) override;
  void MouseUp(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) override;

  QSize sizeHint() const override { return {320, 240}; }

 signals:
  // The control's events, as it fired them.
  void readyStateChanged(int readyState);
  void mouseDown(int button, int shift, int x, int y);
  void mouseMove(int button, int shift, int x, int y);
  void mouseUp(int button, int shift, int x, int y);
  // The property page wrote its values to the control.
  void propertiesApplied();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // A position of the event in the control's pixels.
  QPoint ControlPixels(const QMouseEvent* event) const;

  ActivatedControl control_;
  QPainter* painter_ = nullptr;  // set while the control paints
  QList<QAction*> verbActions_;
};

}  // namespace tilvo::qt
