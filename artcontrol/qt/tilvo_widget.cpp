#include "artcontrol/qt/tilvo_widget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <span>

#include "artcontrol/qt/property_frame.h"
#include "tilvo/verbs.h"

namespace tilvo::qt {
namespace {

// The stock codes of the platform's events.
struct Code {
  int qt;
  std::int16_t stock;
};
constexpr Code kButtons[] = {
    {Qt::LeftButton, 1},
    {Qt::RightButton, 2},
    {Qt::MiddleButton, 4},
};
constexpr Code kModifiers[] = {
    {Qt::ShiftModifier, 1},
    {Qt::ControlModifier, 2},
    {Qt::AltModifier, 4},
};

std::int16_t StockCode(std::span<const Code> table, int flags) {
  std::int16_t code = 0;
  for (const Code& c : table) {
    if ((flags & c.qt) != 0) code = static_cast<std::int16_t>(code | c.stock);
  }
  return code;
}

}  // namespace

std::int16_t StockButton(Qt::MouseButtons buttons) { return StockCode(kButtons, static_cast<int>(buttons.toInt())); }

std::int16_t StockShift(Qt::KeyboardModifiers modifiers) {
  return StockCode(kModifiers, static_cast<int>(modifiers.toInt()));
}

TilvoWidget::TilvoWidget(QWidget* parent) : QWidget(parent) {
  // The window's mouse messages reach the control whether or not a button is held.
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  // What the picture does not cover (the bounds beyond a multiple of 8) shows the button face.
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  for (const Verb& verb : ControlVerbs()) {
    auto* action = new QAction(QString::fromUtf8(verb.menuText.data(), static_cast<qsizetype>(verb.menuText.size())), this);
    const std::int32_t number = verb.number;
    connect(action, &QAction::triggered, this, [this, number] { DoVerb(number); });
    verbActions_.append(action);
  }
}

TilvoWidget::~TilvoWidget() = default;

HRESULT TilvoWidget::Activate(std::string_view progIdOrClassId, const std::optional<std::string>& clientDirectory,
                              const std::string& registrationFile) {
  control_.reset();
  const HRESULT result = ActivateControl(progIdOrClassId, *this, control_, clientDirectory, registrationFile);
  update();
  return result;
}

void TilvoWidget::CreateControl(const std::optional<std::string>& clientDirectory) {
  control_.reset();
  control_ = ActivatedControl(clientDirectory ? std::make_unique<CTilvoCtrl>(*this, *clientDirectory)
                                              : std::make_unique<CTilvoCtrl>(*this));
  update();
}

void TilvoWidget::ReleaseControl() {
  control_.reset();
  update();
}

bool TilvoWidget::DoVerb(std::int32_t verb) {
  if (!control_) return false;
  switch (verb) {
    case kVerbEdit:
      setFocus(Qt::OtherFocusReason);
      return true;
    case kVerbProperties: {
      auto* frame = new PropertyFrame(this);
      connect(frame, &PropertyFrame::applied, this, &TilvoWidget::propertiesApplied);
      frame->open();
      return true;
    }
    default:
      return false;
  }
}

void TilvoWidget::InvalidateControl(bool erase) {
  // Qt clears the widget's background before every paint, so erase needs nothing more.
  (void)erase;
  update();
}

std::uint32_t TilvoWidget::ButtonFaceColor() {
  const QColor face = palette().color(QPalette::Button);
  return static_cast<std::uint32_t>(face.red()) | static_cast<std::uint32_t>(face.green()) << 8 |
         static_cast<std::uint32_t>(face.blue()) << 16;
}

void TilvoWidget::CopyToScreen(const PixelBuffer& pixels, std::int32_t left, std::int32_t top) {
  if (painter_ == nullptr || pixels.w <= 0 || pixels.h <= 0) return;
  // Blue, green, red per pixel, rows top-down: the layout of Format_BGR888.
  QImage image(pixels.bytes.data(), pixels.w, pixels.h, static_cast<qsizetype>(pixels.w) * 3, QImage::Format_BGR888);
  // One picture pixel per device pixel, also on a scaled screen.
  const qreal ratio = devicePixelRatioF();
  image.setDevicePixelRatio(ratio);
  painter_->drawImage(QPointF(left / ratio, top / ratio), image);
}

void TilvoWidget::ReadyStateChange(std::int32_t readyState) { emit readyStateChanged(readyState); }

void TilvoWidget::MouseDown(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  emit mouseDown(Button, Shift, x, y);
}

void TilvoWidget::MouseMove(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  emit mouseMove(Button, Shift, x, y);
}

void TilvoWidget::MouseUp(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  emit mouseUp(Button, Shift, x, y);
}

void TilvoWidget::paintEvent(QPaintEvent* event) {
  (void)event;
  if (!control_) return;
  QPainter painter(this);
  painter_ = &painter;
  // The control works in device pixels: its bounds are the widget's size on the screen.
  const qreal ratio = devicePixelRatioF();
  control_->OnDraw({0, 0, static_cast<std::int32_t>(std::lround(width() * ratio)),
                    static_cast<std::int32_t>(std::lround(height() * ratio))});
  painter_ = nullptr;
}

QPoint TilvoWidget::ControlPixels(const QMouseEvent* event) const {
  const QPointF at = event->position() * devicePixelRatioF();
  return {static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))};
}

void TilvoWidget::mousePressEvent(QMouseEvent* event) {
  const std::int16_t button = StockButton(event->button());
  // Other buttons (back, forward) raise no stock event.
  if (control_ && button != 0) {
    const QPoint at = ControlPixels(event);
    control_->OnMouseDown(button, StockShift(event->modifiers()), at.x(), at.y());
  }
  QWidget::mousePressEvent(event);
}

void TilvoWidget::mouseMoveEvent(QMouseEvent* event) {
  if (control_) {
    // A move reports every button held.
    const QPoint at = ControlPixels(event);
    control_->OnMouseMove(StockButton(event->buttons()), StockShift(event->modifiers()), at.x(), at.y());
  }
  QWidget::mouseMoveEvent(event);
}

void TilvoWidget::mouseReleaseEvent(QMouseEvent* event) {
  const std::int16_t button = StockButton(event->button());
  if (control_ && button != 0) {
    const QPoint at = ControlPixels(event);
    control_->OnMouseUp(button, StockShift(event->modifiers()), at.x(), at.y());
  }
  QWidget::mouseReleaseEvent(event);
}

}  // namespace tilvo::qt
