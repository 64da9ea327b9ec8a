#include "artcontrol/qt/tilvo_prop_page.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "artcontrol/qt/property_frame.h"
#include "artcontrol/qt/tilvo_widget.h"
#include "testing/temp_folder.h"
#include "tilvo/headless_site.h"
#include "tilvo/verbs.h"

namespace tilvo::qt {
namespace {

class PropPageTest : public ::testing::Test {
 protected:
  QComboBox* ArtType() { return qobject_cast<QComboBox*>(page_.ControlById(202)); }
  QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(page_.ControlById(id)); }
  // Types text over an edit box's contents, as a user would.
  void Type(int id, const QString& text) {
    QLineEdit* edit = Edit(id);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
  }
  void Choose(int index) {
    ArtType()->setCurrentIndex(index);
    emit ArtType()->activated(index);
  }

  testing_support::TempFolder folder_;
  HeadlessSite site_;
  CTilvoCtrl control_{site_, folder_.Path()};
  CTilvoPropPage page_;
};

TEST_F(PropPageTest, HoldsTheTemplatesLabelsAndControls) {
  EXPECT_EQ(CTilvoPropPage::Caption(), QStringLiteral("General"));
  struct Row {
    int id;
    const char* label;
  } rows[] = {{202, "Art Type"}, {203, "Art Index"}, {204, "Color"}, {205, "X Offset"}, {206, "Y Offset"}};
  for (const Row& row : rows) {
    QWidget* control = page_.ControlById(row.id);
    ASSERT_NE(control, nullptr) << row.id;
    auto* label = page_.findChild<QLabel*>(QStringLiteral("label%1").arg(row.id));
    ASSERT_NE(label, nullptr) << row.id;
    EXPECT_EQ(label->text(), QString::fromLatin1(row.label));
    EXPECT_EQ(label->buddy(), control);
    // The label sits to the left of its control, on its row.
    EXPECT_LT(label->geometry().right(), control->geometry().left()) << row.id;
    EXPECT_LE(std::abs(label->geometry().center().y() - control->geometry().center().y()), control->height() / 2 + 2)
        << row.id;
  }
  // The list holds the art type names in their order (the names themselves are the template's).
  ASSERT_NE(ArtType(), nullptr);
  ASSERT_EQ(ArtType()->count(), static_cast<int>(ArtTypeNames().size()));
  for (int i = 0; i < ArtType()->count(); ++i) {
    EXPECT_EQ(ArtType()->itemText(i).toStdString(), ArtTypeNames()[static_cast<std::size_t>(i)]);
  }
  EXPECT_EQ(ArtType()->currentIndex(), -1);
  EXPECT_EQ(Edit(203)->text(), QStringLiteral("0"));

  // Two columns that do not overlap; three rows going down; the page holds them all.
  EXPECT_LT(Edit(203)->geometry().right(), page_.findChild<QLabel*>(QStringLiteral("label205"))->geometry().left());
  EXPECT_EQ(Edit(203)->geometry().top(), Edit(205)->geometry().top());
  EXPECT_LT(ArtType()->geometry().top(), Edit(203)->geometry().top());
  EXPECT_LT(Edit(203)->geometry().bottom(), Edit(204)->geometry().top());
  EXPECT_EQ(Edit(203)->width(), Edit(206)->width());
  for (int id = 202; id <= 206; ++id) EXPECT_TRUE(page_.rect().contains(page_.ControlById(id)->geometry())) << id;
}

TEST_F(PropPageTest, ShowsTheControlsProperties) {
  control_.SetObject(3, 1234);
  control_.SetArtColor(33);
  control_.SetOffset(-5, 7);
  ASSERT_TRUE(page_.LoadFrom(control_));
  EXPECT_EQ(ArtType()->currentText(), QStringLiteral("Gumps"));
  EXPECT_EQ(Edit(203)->text(), QStringLiteral("1234"));
  EXPECT_EQ(Edit(204)->text(), QStringLiteral("33"));
  EXPECT_EQ(Edit(205)->text(), QStringLiteral("-5"));
  EXPECT_EQ(Edit(206)->text(), QStringLiteral("7"));
  EXPECT_FALSE(page_.IsDirty());

  control_.SetObject(10, 400);  // a third-set NPC: no entry names it
  ASSERT_TRUE(page_.LoadFrom(control_));
  EXPECT_EQ(ArtType()->currentIndex(), -1);
}

TEST_F(PropPageTest, WritesWhatTheUserChanged) {
  ASSERT_TRUE(page_.LoadFrom(control_));
  QSignalSpy changed(&page_, &CTilvoPropPage::changed);
  Choose(7);
  Type(203, QStringLiteral("42"));
  Type(206, QStringLiteral("-16"));
  EXPECT_EQ(changed.count(), 1 + 3 + 4);  // one choice, then a signal per key typed
  EXPECT_TRUE(page_.IsDirty());
  control_.SetxOffset(99);  // untouched on the page, so not overwritten
  QString error;
  ASSERT_TRUE(page_.ApplyTo(control_, error)) << error.toStdString();
  EXPECT_EQ(control_.GetArtType(), 7);
  EXPECT_EQ(control_.GetArtIndex(), 42);
  EXPECT_EQ(control_.GetyOffset(), -16);
  EXPECT_EQ(control_.GetxOffset(), 99);
  EXPECT_FALSE(page_.IsDirty());
}

TEST_F(PropPageTest, RefusesTextThatIsNoIntegerAndValuesTheControlRefuses) {
  control_.SetObject(0, 5);
  control_.SetArtColor(3);
  ASSERT_TRUE(page_.LoadFrom(control_));
  struct Case {
    int id;
    const char* text;
    const char* error;
  } cases[] = {
      {203, "12x", "Please enter an integer."},
      {203, "", "Please enter an integer."},
      {203, "4294967296", "Please enter an integer."},  // beyond 32 bits
      {204, "70000", "Invalid property value."},        // ArtColor is 16-bit
  };
  for (const Case& c : cases) {
    Type(c.id, QString::fromLatin1(c.text));
    QString error;
    EXPECT_FALSE(page_.ApplyTo(control_, error)) << c.text;
    EXPECT_EQ(error.toStdString(), c.error) << c.text;
    EXPECT_TRUE(page_.IsDirty()) << c.text;
    EXPECT_EQ(control_.GetArtIndex(), 5) << c.text;
    EXPECT_EQ(control_.GetArtColor(), 3) << c.text;
    ASSERT_TRUE(page_.LoadFrom(control_));
  }
  Type(204, QStringLiteral(" 65 "));
  QString error;
  EXPECT_TRUE(page_.ApplyTo(control_, error));
  EXPECT_EQ(control_.GetArtColor(), 65);
}

TEST(PropertyFrame, AppliesThePageToTheHostedControl) {
  testing_support::TempFolder folder;
  TilvoWidget widget;
  widget.CreateControl(folder.Path());
  QSignalSpy applied(&widget, &TilvoWidget::propertiesApplied);
  ASSERT_TRUE(widget.DoVerb(kVerbProperties));
  auto* frame = widget.findChild<PropertyFrame*>();
  ASSERT_NE(frame, nullptr);
  auto* apply = frame->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply);
  EXPECT_FALSE(apply->isEnabled());
  auto* index = qobject_cast<QLineEdit*>(frame->Page()->ControlById(203));
  index->selectAll();
  QTest::keyClicks(index, QStringLiteral("77"));
  EXPECT_TRUE(apply->isEnabled());
  apply->click();
  EXPECT_EQ(widget.Control()->GetArtIndex(), 77);
  EXPECT_EQ(applied.count(), 1);
  EXPECT_FALSE(apply->isEnabled());
  // With the control gone, the open frame writes nothing.
  widget.ReleaseControl();
  EXPECT_FALSE(frame->Apply());
}

}  // namespace
}  // namespace tilvo::qt
