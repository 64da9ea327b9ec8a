#include "viewer_window.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "testing/tilvo/scoped_environment.h"
#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo::viewer {
namespace {

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(mkclient::StandardClient().Write(client_.Path(), error)) << error;
    options_.client = client_.Path();
  }
  template <class T>
  T* Field(ViewerWindow& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
  }

  testing_support::TempFolder client_;
  testing_support::TempFolder data_;
  testing::ScopedEnvironment xdg_{"XDG_DATA_HOME", data_.Path()};
  ViewerOptions options_;
};

TEST_F(ViewerTest, CreatesTheControlByItsProgIdOnceRegistered) {
  {
    ViewerWindow unregistered(options_);
    ASSERT_NE(unregistered.Control(), nullptr);  // the linked control stands in
    EXPECT_TRUE(unregistered.statusBar()->currentMessage().contains(QStringLiteral("not registered")));
  }
  ASSERT_EQ(DllRegisterServer(), S_OK);
  ViewerWindow window(options_);
  ASSERT_NE(window.Control(), nullptr);
  EXPECT_EQ(window.statusBar()->currentMessage(), QStringLiteral("Control created through TILVO.TilvoCtrl.1"));
  EXPECT_EQ(Field<QLineEdit>(window, "clientFolder")->text().toStdString(), client_.Dir());
  // Another folder makes a new control for it.
  testing_support::TempFolder other;
  EXPECT_EQ(window.OpenClient(QString::fromStdString(other.Path())), S_OK);
  EXPECT_EQ(window.Control()->GetMulPath(), other.Dir());
}

TEST_F(ViewerTest, TheFieldsDriveTheControl) {
  options_.type = 4;
  options_.index = 2;
  options_.color = 3;
  options_.flags = 0x30;
  ViewerWindow window(options_);
  CTilvoCtrl* control = window.Control();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->GetArtType(), 4);
  EXPECT_EQ(control->GetArtIndex(), 2);
  EXPECT_EQ(control->GetArtColor(), 3);
  EXPECT_EQ(control->GetDrawFlags(), 0x30);

  Field<QComboBox>(window, "artType")->setCurrentIndex(8);
  EXPECT_EQ(control->GetArtType(), 8);
  Field<QSpinBox>(window, "artIndex")->setValue(0x10);
  EXPECT_EQ(control->GetArtIndex(), 0x10);
  Field<QSpinBox>(window, "xOffset")->setValue(-12);
  EXPECT_EQ(control->GetxOffset(), -12);
  Field<QToolButton>(window, "next")->click();
  EXPECT_EQ(control->GetArtIndex(), 0x11);
  for (int i = 0; i < 20; ++i) Field<QToolButton>(window, "previous")->click();
  EXPECT_EQ(control->GetArtIndex(), 0);  // not below 0
}

TEST_F(ViewerTest, ArrowKeysScrollThePicture) {
  ViewerWindow window(options_);
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::int32_t x, y;
  } cases[] = {
      {Qt::Key_Right, Qt::NoModifier, -8, 0},   {Qt::Key_Right, Qt::ShiftModifier, -72, 0},
      {Qt::Key_Down, Qt::NoModifier, -72, -8},  {Qt::Key_Left, Qt::NoModifier, -64, -8},
      {Qt::Key_Up, Qt::ShiftModifier, -64, 56},
  };
  for (const Case& c : cases) {
    QTest::keyClick(window.ArtView(), c.key, c.modifiers);
    EXPECT_EQ(window.Control()->GetxOffset(), c.x);
    EXPECT_EQ(window.Control()->GetyOffset(), c.y);
  }
  EXPECT_EQ(Field<QSpinBox>(window, "yOffset")->value(), 56);
  QTest::keyClick(window.ArtView(), Qt::Key_PageDown);
  EXPECT_EQ(window.Control()->GetArtIndex(), 1);
}

TEST_F(ViewerTest, SavesAndReloadsTheThreePersistedProperties) {
  ViewerWindow window(options_);
  window.Control()->SetObject(2, 15);
  window.Control()->SetArtColor(33);
  window.Control()->SetOffset(5, 6);
  const QString path = QString::fromStdString(data_.File("viewer.properties"));
  QString error;
  ASSERT_TRUE(window.SavePropertySet(path, error)) << error.toStdString();

  window.Control()->SetObject(0, 1);
  window.Control()->SetArtColor(0);
  ASSERT_TRUE(window.LoadPropertySet(path, error)) << error.toStdString();
  EXPECT_EQ(window.Control()->GetArtType(), 2);
  EXPECT_EQ(window.Control()->GetArtIndex(), 15);
  EXPECT_EQ(window.Control()->GetArtColor(), 33);
  EXPECT_EQ(window.Control()->GetxOffset(), 5);  // not persisted: as it was
  EXPECT_EQ(Field<QComboBox>(window, "artType")->currentText(), QStringLiteral("Multis"));
  EXPECT_EQ(Field<QSpinBox>(window, "artIndex")->value(), 15);

  EXPECT_FALSE(window.LoadPropertySet(QString::fromStdString(data_.File("missing")), error));
  EXPECT_TRUE(error.contains(QStringLiteral("could not be read")));
  const std::string blocker = data_.WriteText("plain", "x");
  EXPECT_FALSE(window.SavePropertySet(QString::fromStdString(blocker + "/inside"), error));
  EXPECT_TRUE(error.contains(QStringLiteral("could not be saved")));
}

TEST_F(ViewerTest, ExportsThePictureAsPng) {
  ViewerWindow window(options_);
  window.Control()->SetObject(0, 1);
  QString error;
  const QString path = QString::fromStdString(data_.File("item.png"));
  EXPECT_FALSE(window.ExportPicture(path, error));  // nothing painted yet
  window.ArtView()->resize(100, 61);
  window.ArtView()->grab();
  ASSERT_TRUE(window.ExportPicture(path, error)) << error.toStdString();
  QImage image(path);
  const PixelBuffer& picture = window.Control()->Picture();
  ASSERT_EQ(image.width(), picture.w);
  ASSERT_EQ(image.height(), picture.h);
  for (int y = 0; y < picture.h; ++y) {
    for (int x = 0; x < picture.w; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.w) + static_cast<std::size_t>(x)) * 3;
      ASSERT_EQ(image.pixelColor(x, y), QColor(picture.bytes[at + 2], picture.bytes[at + 1], picture.bytes[at]))
          << x << "," << y;
    }
  }
  // A name without the extension gets it.
  ASSERT_TRUE(window.ExportPicture(QString::fromStdString(data_.File("plain-name")), error));
  EXPECT_FALSE(QImage(QString::fromStdString(data_.File("plain-name.png"))).isNull());
}

}  // namespace
}  // namespace tilvo::viewer
