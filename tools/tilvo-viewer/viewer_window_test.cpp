#include "viewer_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "artcontrol/render/colour.h"
#include "testing/tilvo/scoped_environment.h"
#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo::viewer {
namespace {

using Ids = std::vector<std::uint32_t>;

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(mkclient::StandardClient().Write(client_.Path(), error)) << error;
    options_.client = client_.Path();
    // Each test starts from no remembered settings and leaves the user's alone.
    QCoreApplication::setOrganizationName(QStringLiteral("Gyrion"));
    QCoreApplication::setApplicationName(QStringLiteral("tilvo-viewer"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(data_.File("settings")));
    QSettings().clear();
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
  EXPECT_EQ(Field<QLineEdit>(window, "clientFolder")->text().toStdString(), client_.Dir());
  // Another folder makes a new control for it.
  testing_support::TempFolder other;
  EXPECT_EQ(window.OpenClient(QString::fromStdString(other.Path())), S_OK);
  EXPECT_EQ(window.Control()->GetMulPath(), other.Dir());
  EXPECT_EQ(window.Grid().rowCount(), 0);  // a folder without a client lists nothing
}

TEST_F(ViewerTest, TheGridListsFiltersAndSearchesEitherTileDataLayout) {
  constexpr std::uint64_t kWearable = 0x00400000;
  const struct {
    mkclient::TileLayout layout;
    std::int16_t type;
    CatalogFilter filter;
    Ids shown;
  } cases[] = {
      {mkclient::TileLayout::kClassic, 0, {}, {1, 2, 3, 6, 7, 8, 9, 16, 37, 38, 39, 40, 41, 0x4001, 0x4005, 0xFFF0}},
      {mkclient::TileLayout::kClassic, 0, {"0x0010", 0, false}, {16}},
      {mkclient::TileLayout::kClassic, 0, {" 16 ", 0, false}, {16}},
      {mkclient::TileLayout::kClassic, 0, {"0x0004", 0, false}, {}},  // the client holds nothing for it
      {mkclient::TileLayout::kClassic, 0, {"0x0004", 0, true}, {4}},
      {mkclient::TileLayout::kClassic, 0, {"Wooden", 0, false}, {1, 6, 16}},
      {mkclient::TileLayout::kClassic, 0, {"chair", 0, false}, {1}},  // 0xFFF0 has no record in this layout
      {mkclient::TileLayout::kClassic, 0, {"", kWearable, false}, {2, 6}},
      {mkclient::TileLayout::kClassic, 0, {"gloves", kWearable, false}, {2}},
      {mkclient::TileLayout::kClassic, 4, {"wat", 0, false}, {2}},
      {mkclient::TileLayout::kWideFlags, 0, {"chair", 0, false}, {1, 0xFFF0}},
      {mkclient::TileLayout::kWideFlags, 0, {"", kWearable, false}, {2, 6, 0x4005}},
      {mkclient::TileLayout::kWideFlags, 0, {"", 0x100000000, false}, {16}},  // a flag of the wide layout
      {mkclient::TileLayout::kWideFlags, 3, {"", 0, false}, {1, 2, 3, 4, 5, 6}},
  };
  // One client of each layout, its kinds listed once.
  std::map<mkclient::TileLayout, std::unique_ptr<CTilvoCtrl>> controls;
  std::map<std::pair<mkclient::TileLayout, std::int16_t>, std::unique_ptr<ArtGridModel>> models;
  testing_support::TempFolder folders;
  HeadlessSite site;
  ThumbnailCache thumbnails(64);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filter.text + " " + std::to_string(c.type));
    std::unique_ptr<CTilvoCtrl>& ctrl = controls[c.layout];
    if (!ctrl) {
      const std::string client = folders.File(std::to_string(static_cast<int>(c.layout)));
      std::string error;
      mkclient::ClientOptions layout;
      layout.tileLayout = c.layout;
      ASSERT_TRUE(mkclient::StandardClient(layout).Write(client, error)) << error;
      ctrl = std::make_unique<CTilvoCtrl>(site, client);
    }
    std::unique_ptr<ArtGridModel>& model = models[{c.layout, c.type}];
    if (!model) {
      model = std::make_unique<ArtGridModel>(thumbnails);
      model->Load(*ctrl, *render_tool::FindArtKind(c.type));
    }
    model->SetFilter(c.filter);
    EXPECT_EQ(model->Ids(), c.shown);
  }
}

TEST_F(ViewerTest, CellsShowTheIdAndTheThumbnailInTheHue) {
  HeadlessSite site;
  CTilvoCtrl ctrl(site, client_.Path());
  ThumbnailCache thumbnails(64);
  thumbnails.SetClient(client_.Path());
  thumbnails.SetFrameBudget(0);
  ArtGridModel model(thumbnails);
  model.Load(ctrl, *render_tool::FindArtKind(std::int16_t{0}));
  model.SetFilter({"", 0, true});
  const QModelIndex item3 = model.index(model.RowOf(3));
  EXPECT_EQ(model.data(model.index(model.RowOf(0x0B4F)), Qt::DisplayRole).toString(), QStringLiteral("0x0B4F\n2895"));
  EXPECT_FALSE(model.data(model.index(0), ArtGridModel::kHeldRole).toBool());
  EXPECT_FALSE(model.data(model.index(0), Qt::DecorationRole).isValid());  // nothing is drawn for an empty entry
  // Item 3 is a solid 4 x 4 green (its first patch); hue 3 recolours it through shade 10 of its ramp.
  const struct {
    std::int16_t hue;
    std::uint32_t colour;
  } hues[] = {{0, ToColorRef(mkclient::Client(0, 31, 0))}, {3, ToColorRef(mkclient::StandardHueRamp(3)[10])}};
  for (const auto& h : hues) {
    model.SetHue(h.hue);
    const QImage thumbnail = model.data(item3, Qt::DecorationRole).value<QImage>();
    ASSERT_EQ(thumbnail.size(), QSize(4, 4)) << h.hue;
    const QColor pixel = thumbnail.pixelColor(2, 2);
    EXPECT_EQ(static_cast<std::uint32_t>(pixel.red() | pixel.green() << 8 | pixel.blue() << 16), h.colour) << h.hue;
  }
  // A thumbnail larger than the cell is scaled to fit it; the detail pane still knows its size.
  const QImage gump = [&] {
    thumbnails.SetKind(render_tool::FindArtKind(std::int16_t{3}));
    return thumbnails.Draw(2);
  }();
  EXPECT_EQ(gump.size(), QSize(64, 32));
  EXPECT_EQ(thumbnails.ArtSize(2), QSize(200, 100));
}

TEST_F(ViewerTest, ThumbnailsBeyondTheFrameBudgetFollowOnLaterTurns) {
  ThumbnailCache thumbnails(64);
  thumbnails.SetClient(client_.Path());
  thumbnails.SetKind(render_tool::FindArtKind(std::int16_t{0}));
  thumbnails.SetFrameBudget(1);
  std::vector<std::uint32_t> ready;
  QObject::connect(&thumbnails, &ThumbnailCache::thumbnailReady, [&ready](std::uint32_t id) { ready.push_back(id); });
  // Within one turn of the event loop: the first is drawn, and once the budget is spent the rest wait.
  EXPECT_TRUE(thumbnails.Thumbnail(1));
  QThread::msleep(2);
  for (std::uint32_t id : {2, 3, 6}) EXPECT_FALSE(thumbnails.Thumbnail(id)) << id;
  ASSERT_TRUE(QTest::qWaitFor([&] { return ready.size() == 3; }, 10000));
  EXPECT_EQ(ready, (Ids{6, 3, 2}));  // the most recently asked first
  for (std::uint32_t id : ready) EXPECT_TRUE(thumbnails.Thumbnail(id)) << id;  // kept now
}

TEST_F(ViewerTest, TheMapIsDraggedSteppedAndGoneTo) {
  ViewerWindow window(options_);
  MapView& map = *window.Map();
  map.SetPosition({0, 5, 16, 0, 0});
  CTilvoCtrl& control = *map.Control();
  // Dragging by one block step east and up re-centres on the block east of the old centre.
  control.OnMouseDown(1, 0, 300, 300);
  control.OnMouseMove(1, 0, 250, 250);
  EXPECT_EQ(control.GetxOffset(), -50);
  control.OnMouseMove(1, 0, 124, 124);
  control.OnMouseUp(1, 0, 124, 124);
  EXPECT_EQ(map.Position(), (MapPosition{0, 6, 16, 0, 0}));
  EXPECT_EQ(control.GetArtIndex(), 6 * 512 + 16);
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::int32_t column, row;
  } keys[] = {{Qt::Key_Right, Qt::NoModifier, 7, 16}, {Qt::Key_Down, Qt::ShiftModifier, 7, 24},
              {Qt::Key_Left, Qt::ShiftModifier, 0, 24}, {Qt::Key_Left, Qt::NoModifier, 0, 24}};
  for (const auto& k : keys) {
    QTest::keyClick(map.ArtView(), k.key, k.modifiers);
    EXPECT_EQ(map.Position().column, k.column);
    EXPECT_EQ(map.Position().row, k.row);
  }
  EXPECT_TRUE(map.GoTo(QStringLiteral("1443, 1678")));
  EXPECT_EQ(map.Position(), *CentredOn(0, {1443, 1678}));
  EXPECT_EQ(map.Readout(), QStringLiteral("x 1443, y 1678, block 92369 (column 180, row 209)"));
  EXPECT_FALSE(map.GoTo(QStringLiteral("99999,1")));
  EXPECT_EQ(map.Position(), *CentredOn(0, {1443, 1678}));
}

TEST_F(ViewerTest, TheDetailPaneShowsTheSelectedEntryAndItsTileData) {
  const struct {
    std::int16_t type;
    std::uint32_t id;
    std::int16_t hue;
    QStringList lines;
  } cases[] = {
      {0, 2, 0, {"Items 0x0002 (2)", "Name: leather gloves", "Flags: wearable (0x400000)", "Picture: 32 x 1 pixels"}},
      {0, 16, 5, {"Name: wooden chest", "Flags: container (0x200000)", "Height: 113", "Hue: 5"}},
      {4, 2, 0, {"Land tiles 0x0002 (2)", "Name: water", "Flags: impassable, wet (0xc0)", "Texture: 0"}},
      {3, 2, 0, {"Gumps 0x0002 (2)", "Picture: 200 x 100 pixels"}},
  };
  ViewerWindow window(options_);
  for (const auto& c : cases) {
    window.ShowKind(c.type);
    window.SetHue(c.hue);
    ASSERT_TRUE(window.SelectId(c.id));
    EXPECT_EQ(window.Control()->GetArtType(), c.type);
    EXPECT_EQ(window.Control()->GetArtIndex(), static_cast<std::int32_t>(c.id));
    for (const QString& line : c.lines) EXPECT_TRUE(window.Details().contains(line)) << window.Details().toStdString();
  }
  // Page Down steps through the grid; Ctrl+C copies the selected ids.
  window.ShowKind(0);
  ASSERT_TRUE(window.SelectId(3));
  QTest::keyClick(window.ArtView(), Qt::Key_PageDown);
  EXPECT_EQ(window.SelectedId(), 6u);
  QTest::keyClick(Field<QListView>(window, "grid"), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("0x0006"));
  // Searching keeps the selection where it is still shown, else shows the first hit.
  window.Search(QStringLiteral("wooden"));
  EXPECT_EQ(window.SelectedId(), 6u);
  window.Search(QStringLiteral("lantern"));
  EXPECT_EQ(window.SelectedId(), 7u);
  window.Search(QStringLiteral("no such thing"));
  EXPECT_FALSE(window.SelectedId());
}

TEST_F(ViewerTest, ArrowKeysScrollTheDetailPicture) {
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
}

TEST_F(ViewerTest, ExportsTheSameFilesAsTilvoRender) {
  ViewerWindow window(options_);
  window.ShowKind(0);
  window.SetHue(3);
  const std::string viewer = data_.File("viewer");
  const std::string render = data_.File("render");
  std::filesystem::create_directories(viewer);
  const render_tool::ExportResult result = window.ExportEntries({1, 2, 3, 8}, QString::fromStdString(viewer));
  EXPECT_EQ(result.written, 3u);
  EXPECT_EQ(result.empty, 1u);  // item 8 draws nothing
  const std::string command = std::string(TILVO_RENDER_BINARY) + " --client " + client_.Path() +
                              " --type items --range 1-8 --color 3 --out-dir " + render + " > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : {"item_0x0001.png", "item_0x0002.png", "item_0x0003.png"}) {
    const QImage mine(QString::fromStdString(viewer + "/" + name));
    ASSERT_FALSE(mine.isNull()) << name;
    EXPECT_EQ(mine, QImage(QString::fromStdString(render + "/" + name))) << name;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(viewer), {}), 3);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(render), {}), 5);  // 6 and 7 are in its range too
}

TEST_F(ViewerTest, RemembersWhereTheUserWas) {
  {
    ViewerWindow window(options_);
    window.ShowKind(4);
    ASSERT_TRUE(window.SelectId(2));
    window.SetHue(5);
    window.Map()->SetPosition({2, 1, 7, -44, 22});
    window.SaveSettings();
  }
  ViewerWindow again(ViewerOptions{});  // the client folder is remembered too
  EXPECT_EQ(again.Control()->GetMulPath(), client_.Dir());
  EXPECT_EQ(again.Kind().type, 4);
  EXPECT_EQ(again.SelectedId(), 2u);
  EXPECT_EQ(again.Hue(), 5);
  EXPECT_EQ(again.Map()->Position(), (MapPosition{2, 1, 7, -44, 22}));
  // The command line goes over what is remembered.
  ViewerOptions items = options_;
  items.type = 0;
  items.index = 0x10;
  ViewerWindow chosen(items);
  EXPECT_EQ(chosen.Kind().type, 0);
  EXPECT_EQ(chosen.SelectedId(), 0x10u);
  ViewerOptions map = options_;
  map.type = 8;
  map.index = 0x60201;
  ViewerWindow preview(map);
  EXPECT_EQ(preview.Map()->Position(), (MapPosition{2, 1, 1, 0, 0}));
  EXPECT_EQ(preview.Map()->Control()->GetArtIndex(), 0x60201);
}

TEST_F(ViewerTest, SavesAndReloadsThePersistedProperties) {
  ViewerWindow window(options_);
  window.ShowKind(2);
  ASSERT_TRUE(window.SelectId(3));
  window.Control()->SetArtColor(0);
  const QString path = QString::fromStdString(data_.File("viewer.properties"));
  QString error;
  ASSERT_TRUE(window.SavePropertySet(path, error)) << error.toStdString();
  window.ShowKind(0);
  ASSERT_TRUE(window.LoadPropertySet(path, error)) << error.toStdString();
  EXPECT_EQ(window.Kind().type, 2);  // the grid follows the loaded kind and entry
  EXPECT_EQ(window.SelectedId(), 3u);
  EXPECT_EQ(Field<QComboBox>(window, "artType")->currentText(), QStringLiteral("Multis"));

  EXPECT_FALSE(window.LoadPropertySet(QString::fromStdString(data_.File("missing")), error));
  EXPECT_TRUE(error.contains(QStringLiteral("could not be read")));
  const std::string blocker = data_.WriteText("plain", "x");
  EXPECT_FALSE(window.SavePropertySet(QString::fromStdString(blocker + "/inside"), error));
  EXPECT_TRUE(error.contains(QStringLiteral("could not be saved")));
}

TEST_F(ViewerTest, ExportsThePictureAsPng) {
  ViewerWindow window(options_);
  window.ShowKind(0);
  ASSERT_TRUE(window.SelectId(1));
  QString error;
  const QString path = QString::fromStdString(data_.File("item.png"));
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
