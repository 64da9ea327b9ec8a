#include "artcontrol/qt/tilvo_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>

#include "artcontrol/qt/property_frame.h"
#include "artcontrol/qt/tilvo_prop_page.h"
#include "testing/tilvo/scoped_environment.h"
#include "testing/temp_folder.h"
#include "tilvo/verbs.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo::qt {
namespace {

// The picture's pixel (x, y) as 0x00RRGGBB, the layout of QImage::pixel.
QRgb PicturePixel(const PixelBuffer& p, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(p.w) + static_cast<std::size_t>(x)) * 3;
  return qRgb(p.bytes[at + 2], p.bytes[at + 1], p.bytes[at]);
}

class WidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(mkclient::StandardClient().Write(folder_.Path(), error)) << error;
    widget_.CreateControl(folder_.Path());
    ASSERT_NE(widget_.Control(), nullptr);
  }
  // What the widget shows, one image pixel per widget pixel.
  QImage Shown() { return widget_.grab().toImage().convertToFormat(QImage::Format_RGB32); }
  // Whether the image shows the control's picture at its top-left corner, pixel for pixel.
  bool ShowsPictureAtTopLeft(const QImage& shown) {
    const PixelBuffer& picture = widget_.Control()->Picture();
    if (picture.w <= 0 || shown.width() < picture.w || shown.height() < picture.h) return false;
    for (int y = 0; y < picture.h; ++y) {
      for (int x = 0; x < picture.w; ++x) {
        if ((shown.pixel(x, y) & 0xFFFFFF) != (PicturePixel(picture, x, y) & 0xFFFFFF)) return false;
      }
    }
    return true;
  }

  testing_support::TempFolder folder_;
  TilvoWidget widget_;
};

TEST_F(WidgetTest, ShowsThePictureAtItsTopLeftAndRegeneratesOnResize) {
  widget_.Control()->SetObject(0, 1);  // item 1, 20 x 30
  widget_.resize(100, 61);
  QImage shown = Shown();
  EXPECT_EQ(widget_.Control()->Picture().w, 96);
  EXPECT_EQ(widget_.Control()->Picture().h, 56);
  EXPECT_TRUE(ShowsPictureAtTopLeft(shown));
  // Beyond the picture (61 is no multiple of 8) the button face shows.
  const QColor face = widget_.palette().color(QPalette::Button);
  EXPECT_EQ(shown.pixelColor(98, 59), face);

  widget_.resize(141, 90);
  shown = Shown();
  EXPECT_EQ(widget_.Control()->Picture().w, 136);
  EXPECT_EQ(widget_.Control()->Picture().h, 88);
  EXPECT_TRUE(ShowsPictureAtTopLeft(shown));
}

TEST_F(WidgetTest, APlainRepaintOnlyCopiesThePicture) {
  widget_.resize(64, 64);
  const QImage before = Shown();
  const QColor face = widget_.palette().color(QPalette::Button);
  ASSERT_EQ(before.pixelColor(0, 0), face);  // item 0 is absent: the background alone
  // A new background shows only at the next regeneration; repainting does not regenerate.
  widget_.Control()->SetBkColor(0x000000FF, 0);
  EXPECT_EQ(Shown(), before);
  widget_.repaint();
  EXPECT_EQ(Shown().pixelColor(10, 10), face);
  // A resize does.
  widget_.resize(72, 64);
  EXPECT_EQ(Shown().pixelColor(10, 10), QColor(255, 0, 0));
  // And so does a property change.
  widget_.Control()->SetBkColor(0x00FF0000, 0);
  widget_.Control()->RedrawControl();
  EXPECT_EQ(Shown().pixelColor(10, 10), QColor(0, 0, 255));
}

TEST_F(WidgetTest, TheButtonFaceComesFromThePalette) {
  QPalette palette = widget_.palette();
  palette.setColor(QPalette::Button, QColor(10, 20, 30));
  widget_.setPalette(palette);
  EXPECT_EQ(widget_.ButtonFaceColor(), 0x001E140Au);  // 0x00BBGGRR
  widget_.resize(32, 32);
  EXPECT_EQ(Shown().pixelColor(5, 5), QColor(10, 20, 30));
}

TEST(StockCodes, FollowTheStockEvents) {
  struct Case {
    Qt::MouseButtons buttons;
    std::int16_t code;
  } buttons[] = {
      {Qt::LeftButton, 1},
      {Qt::RightButton, 2},
      {Qt::MiddleButton, 4},
      {Qt::LeftButton | Qt::RightButton | Qt::MiddleButton, 7},
      {Qt::BackButton, 0},
      {Qt::NoButton, 0},
  };
  for (const Case& c : buttons) EXPECT_EQ(StockButton(c.buttons), c.code) << c.buttons.toInt();
  struct Shift {
    Qt::KeyboardModifiers modifiers;
    std::int16_t code;
  } shifts[] = {
      {Qt::ShiftModifier, 1},
      {Qt::ControlModifier, 2},
      {Qt::AltModifier, 4},
      {Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, 7},
      {Qt::MetaModifier | Qt::KeypadModifier, 0},
  };
  for (const Shift& c : shifts) EXPECT_EQ(StockShift(c.modifiers), c.code) << c.modifiers.toInt();
}

TEST_F(WidgetTest, MouseMessagesBecomeTheStockEvents) {
  widget_.resize(100, 100);
  QSignalSpy down(&widget_, &TilvoWidget::mouseDown);
  QSignalSpy move(&widget_, &TilvoWidget::mouseMove);
  QSignalSpy up(&widget_, &TilvoWidget::mouseUp);
  struct Case {
    QEvent::Type type;
    Qt::MouseButton button;
    Qt::MouseButtons held;
    Qt::KeyboardModifiers modifiers;
    QPoint at;
    QSignalSpy* spy;  // null: no event
    QList<QVariant> expected;
  } cases[] = {
      {QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier, {10, 20}, &down, {1, 1, 10, 20}},
      {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton, Qt::ControlModifier, {11, 21}, &move,
       {3, 2, 11, 21}},
      {QEvent::MouseButtonRelease, Qt::LeftButton, Qt::RightButton, Qt::NoModifier, {12, 22}, &up, {1, 0, 12, 22}},
      {QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, Qt::AltModifier, {0, 0}, &down, {2, 4, 0, 0}},
      {QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, Qt::ControlModifier | Qt::AltModifier, {99, 99},
       &up, {4, 6, 99, 99}},
      {QEvent::MouseMove, Qt::NoButton, Qt::NoButton, Qt::NoModifier, {50, 60}, &move, {0, 0, 50, 60}},
      {QEvent::MouseButtonPress, Qt::BackButton, Qt::BackButton, Qt::NoModifier, {5, 5}, nullptr, {}},
  };
  for (const Case& c : cases) {
    const int counts[] = {static_cast<int>(down.count()), static_cast<int>(move.count()), static_cast<int>(up.count())};
    QMouseEvent event(c.type, QPointF(c.at), widget_.mapToGlobal(QPointF(c.at)), c.button, c.held, c.modifiers);
    QApplication::sendEvent(&widget_, &event);
    QSignalSpy* spies[] = {&down, &move, &up};
    for (int i = 0; i < 3; ++i) {
      const int added = static_cast<int>(spies[i]->count()) - counts[i];
      EXPECT_EQ(added, spies[i] == c.spy ? 1 : 0) << "event " << c.type << " spy " << i;
    }
    if (c.spy != nullptr && !c.spy->isEmpty()) {
      EXPECT_EQ(c.spy->last(), c.expected) << "event " << c.type;
    }
  }
}

TEST_F(WidgetTest, OffersEditAndProperties) {
  const QList<QAction*> actions = widget_.VerbActions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_EQ(actions[0]->text(), QStringLiteral("&Edit"));
  EXPECT_EQ(actions[1]->text(), QStringLiteral("&Properties..."));
  EXPECT_TRUE(widget_.DoVerb(kVerbEdit));
  EXPECT_FALSE(widget_.DoVerb(1));
  EXPECT_EQ(widget_.findChild<PropertyFrame*>(), nullptr);

  widget_.Control()->SetObject(5, 12);
  actions[1]->trigger();
  auto* frame = widget_.findChild<PropertyFrame*>();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->isVisible());
  auto* type = qobject_cast<QComboBox*>(frame->Page()->ControlById(202));
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->currentText(), QStringLiteral("Textures"));
  frame->close();

  widget_.ReleaseControl();
  EXPECT_FALSE(widget_.DoVerb(kVerbProperties));
  EXPECT_FALSE(widget_.DoVerb(kVerbEdit));
}

TEST(WidgetActivation, CreatesTheControlThroughItsRegistration) {
  testing_support::TempFolder folder;
  testing::ScopedEnvironment data("XDG_DATA_HOME", folder.Path() + "/share");
  TilvoWidget widget;
  QSignalSpy ready(&widget, &TilvoWidget::readyStateChanged);
  EXPECT_EQ(widget.Activate("TILVO.TilvoCtrl.1", folder.Path()), CO_E_CLASSSTRING);
  EXPECT_EQ(widget.Control(), nullptr);
  ASSERT_EQ(DllRegisterServer(), S_OK);
  ASSERT_EQ(widget.Activate("TILVO.TilvoCtrl.1", folder.Path()), S_OK);
  ASSERT_NE(widget.Control(), nullptr);
  EXPECT_EQ(widget.Control()->GetMulPath(), folder.Dir());
  ASSERT_EQ(ready.count(), 1);
  EXPECT_EQ(ready.first().first().toInt(), 2);
  // A failed activation leaves no control behind.
  EXPECT_EQ(widget.Activate("{00000000-0000-0000-0000-000000000001}"), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(widget.Control(), nullptr);
}

}  // namespace
}  // namespace tilvo::qt
