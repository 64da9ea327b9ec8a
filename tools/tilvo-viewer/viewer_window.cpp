#include "viewer_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "grid_delegate.h"
#include "picture_file.h"
#include "tile_flags.h"
#include "tilvo/persistence.h"

namespace tilvo::viewer {
namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The settings' keys.
constexpr const char* kClientKey = "client";
constexpr const char* kKindKey = "kind";
constexpr const char* kHueKey = "hue";
constexpr const char* kShowEmptyKey = "showEmpty";
constexpr const char* kGeometryKey = "geometry";
constexpr const char* kTabKey = "tab";
constexpr const char* kExportFolderKey = "exportFolder";
constexpr const char* kMapKey = "map";  // facet,column,row,xOffset,yOffset
constexpr const char* kMapLayersKey = "mapLayers";
QString SelectionKey(const render_tool::ArtKind& kind) { return QStringLiteral("selection/") + Text(kind.name); }

constexpr int kArtTab = 0;
constexpr int kMapTab = 1;

// The hue list's picture of a ramp: its 32 colours side by side.
QIcon RampIcon(const HueRecord& hue) {
  QImage ramp(32, 1, QImage::Format_RGB32);
  for (int i = 0; i < 32; ++i) {
    const std::uint32_t c = hue.colors[static_cast<std::size_t>(i)];
    ramp.setPixel(i, 0, qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF)));
  }
  return QIcon(QPixmap::fromImage(ramp.scaled(96, 14)));
}

}  // namespace

ViewerWindow::ViewerWindow(const ViewerOptions& options) {
  setObjectName(QStringLiteral("TilvoViewer"));
  setWindowTitle(QStringLiteral("Tilvo Viewer"));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(BuildFolderRow(central));
  tabs_ = new QTabWidget(central);
  tabs_->setObjectName(QStringLiteral("tabs"));
  tabs_->addTab(BuildArtTab(tabs_), QStringLiteral("&Art"));
  map_ = new MapView(tabs_);
  tabs_->addTab(map_, QStringLiteral("&Map"));
  layout->addWidget(tabs_, 1);
  setCentralWidget(central);
  shown_ = new QLabel(this);
  statusBar()->addPermanentWidget(shown_);
  mouse_ = new QLabel(this);
  statusBar()->addPermanentWidget(mouse_);
  BuildMenus();

  const QSettings settings;
  if (!restoreGeometry(settings.value(kGeometryKey).toByteArray())) resize(1100, 700);
  const QString client = options.client ? QString::fromStdString(*options.client) : settings.value(kClientKey).toString();
  {
    const QSignalBlocker quiet(showEmpty_);
    showEmpty_->setChecked(settings.value(kShowEmptyKey, false).toBool());
  }
  kind_ = render_tool::FindArtKind(settings.value(kKindKey).toString().toStdString());
  if (kind_ == nullptr) kind_ = &render_tool::ArtKinds().front();
  const QStringList map = settings.value(kMapKey).toString().split(QLatin1Char(','));
  if (map.size() == 5) {
    map_->SetPosition({map[0].toInt(), map[1].toInt(), map[2].toInt(), map[3].toInt(), map[4].toInt()});
  }
  map_->SetLayers(static_cast<std::uint16_t>(settings.value(kMapLayersKey, 0x30).toUInt()));
  tabs_->setCurrentIndex(settings.value(kTabKey, kArtTab).toInt());
  OpenClient(client);
  SetHue(options.color ? *options.color : static_cast<std::int16_t>(settings.value(kHueKey, 0).toInt()));

  // The command line's choice goes over the remembered one.
  if (options.type && *options.type == 8) {
    if (options.flags) map_->SetLayers(static_cast<std::uint16_t>(*options.flags));
    const auto index = static_cast<std::uint32_t>(options.index.value_or(0));
    const bool facet2 = index > 0x60000;
    const std::uint32_t block = facet2 ? index - 0x60000 : index;
    map_->SetPosition({facet2 ? 2 : 0, static_cast<std::int32_t>(block / 512), static_cast<std::int32_t>(block % 512), 0, 0});
    tabs_->setCurrentIndex(kMapTab);
  } else if (options.type || options.index) {
    ShowKind(options.type.value_or(kind_->type));
    if (options.index) SelectId(static_cast<std::uint32_t>(*options.index));
    tabs_->setCurrentIndex(kArtTab);
  }
  if (options.properties) {
    QString error;
    if (!LoadPropertySet(QString::fromStdString(*options.properties), error)) statusBar()->showMessage(error);
  }
  grid_->setFocus();
}

QWidget* ViewerWindow::BuildFolderRow(QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  folder_ = new QLineEdit(row);
  folder_->setObjectName(QStringLiteral("clientFolder"));
  folder_->setPlaceholderText(QStringLiteral("the client folder (none found in the registry sources)"));
  auto* browse = new QPushButton(QStringLiteral("Browse..."), row);
  auto* open = new QPushButton(QStringLiteral("Open"), row);
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Client folder"), folder_->text());
    if (!chosen.isEmpty()) OpenClient(chosen);
  });
  connect(open, &QPushButton::clicked, this, [this] { OpenClient(folder_->text()); });
  connect(folder_, &QLineEdit::returnPressed, this, [this] { OpenClient(folder_->text()); });
  layout->addWidget(new QLabel(QStringLiteral("Client folder"), row));
  layout->addWidget(folder_, 1);
  layout->addWidget(browse);
  layout->addWidget(open);
  return row;
}

QWidget* ViewerWindow::BuildArtTab(QWidget* parent) {
  auto* splitter = new QSplitter(parent);
  auto* left = new QWidget(splitter);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  auto* filters = new QHBoxLayout;
  kindBox_ = new QComboBox(left);
  kindBox_->setObjectName(QStringLiteral("artType"));
  for (const render_tool::ArtKind& kind : render_tool::ArtKinds()) kindBox_->addItem(Text(kind.title), kind.type);
  search_ = new QLineEdit(left);
  search_->setObjectName(QStringLiteral("search"));
  search_->setPlaceholderText(QStringLiteral("Search: 0x0B4F, 2895 or a name"));
  search_->setClearButtonEnabled(true);
  flagFilter_ = new QComboBox(left);
  flagFilter_->setObjectName(QStringLiteral("flagFilter"));
  flagFilter_->addItem(QStringLiteral("Any flags"), QVariant::fromValue<qulonglong>(0));
  for (const TileFlag& flag : TileFlags()) flagFilter_->addItem(Text(flag.name), QVariant::fromValue<qulonglong>(flag.bit));
  showEmpty_ = new QCheckBox(QStringLiteral("Empty entries"), left);
  showEmpty_->setObjectName(QStringLiteral("showEmpty"));
  showEmpty_->setToolTip(QStringLiteral("List the ids the client holds nothing for, greyed"));
  filters->addWidget(kindBox_);
  filters->addWidget(search_, 1);
  filters->addWidget(flagFilter_);
  filters->addWidget(showEmpty_);
  leftLayout->addLayout(filters);

  grid_ = new QListView(left);
  grid_->setObjectName(QStringLiteral("grid"));
  grid_->setViewMode(QListView::IconMode);
  grid_->setMovement(QListView::Static);
  grid_->setResizeMode(QListView::Adjust);
  grid_->setUniformItemSizes(true);
  grid_->setLayoutMode(QListView::Batched);
  auto* cells = new GridDelegate(kThumbnailSide, grid_);
  grid_->setItemDelegate(cells);
  grid_->setGridSize(cells->CellSize());
  grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid_->setModel(&model_);
  grid_->installEventFilter(this);
  leftLayout->addWidget(grid_, 1);

  auto* detail = new QSplitter(Qt::Vertical, splitter);
  view_ = new qt::TilvoWidget(detail);
  view_->setObjectName(QStringLiteral("artView"));
  view_->installEventFilter(this);
  details_ = new QLabel(detail);
  details_->setObjectName(QStringLiteral("details"));
  details_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  details_->setWordWrap(true);
  detail->addWidget(view_);
  detail->addWidget(details_);
  detail->setStretchFactor(0, 3);
  detail->setStretchFactor(1, 1);

  hues_ = new QListWidget(splitter);
  hues_->setObjectName(QStringLiteral("hues"));
  hues_->setIconSize(QSize(96, 14));
  hues_->setMinimumWidth(200);
  hues_->setToolTip(QStringLiteral("The hue that recolours items and NPCs in the grid and the detail pane"));
  splitter->addWidget(left);
  splitter->addWidget(detail);
  splitter->addWidget(hues_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setStretchFactor(2, 1);

  connect(kindBox_, &QComboBox::currentIndexChanged, this, [this](int row) {
    if (row >= 0) ShowKind(static_cast<std::int16_t>(kindBox_->itemData(row).toInt()));
  });
  connect(search_, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
  connect(flagFilter_, &QComboBox::currentIndexChanged, this, [this] { ApplyFilter(); });
  connect(showEmpty_, &QCheckBox::toggled, this, [this] { ApplyFilter(); });
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { ShowSelected(); });
  connect(hues_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0 && row != Hue()) SetHue(static_cast<std::int16_t>(row));
  });
  connect(view_, &qt::TilvoWidget::mouseMove, this, [this](int, int, int x, int y) {
    mouse_->setText(QStringLiteral("x=%1 y=%2").arg(x).arg(y));
  });
  return splitter;
}

void ViewerWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Open client folder..."), this, [this] {
    const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Client folder"), folder_->text());
    if (!chosen.isEmpty()) OpenClient(chosen);
  });
  file->addSeparator();
  file->addAction(QStringLiteral("&Export selected..."), QKeySequence(QStringLiteral("Ctrl+E")), this, [this] {
    if (const std::optional<std::uint32_t> id = SelectedId()) ExportWithDialog({*id});
  });
  file->addAction(QStringLiteral("Export se&lection..."), this, [this] { ExportWithDialog(SelectedIds()); });
  file->addAction(QStringLiteral("Export &all shown..."), this, [this] { ExportWithDialog(model_.Ids()); });
  file->addAction(QStringLiteral("Export &picture..."), this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export picture"), QString(),
                                                      QStringLiteral("PNG pictures (*.png)"));
    QString error;
    if (!path.isEmpty() && !ExportPicture(path, error)) QMessageBox::warning(this, windowTitle(), error);
  });
  file->addSeparator();
  file->addAction(QStringLiteral("&Save properties..."), QKeySequence::Save, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save properties"));
    QString error;
    if (!path.isEmpty() && !SavePropertySet(path, error)) QMessageBox::warning(this, windowTitle(), error);
  });
  file->addAction(QStringLiteral("&Load properties..."), QKeySequence::Open, this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Load properties"));
    QString error;
    if (!path.isEmpty() && !LoadPropertySet(path, error)) QMessageBox::warning(this, windowTitle(), error);
  });
  file->addAction(QStringLiteral("&Reset properties"), this, [this] {
    if (Control() != nullptr) ResetProperties(*Control());
  });
  file->addSeparator();
  file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, &QWidget::close);
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->addAction(QStringLiteral("&Copy id"), QKeySequence::Copy, this, &ViewerWindow::CopyIds);
  edit->addAction(QStringLiteral("&Find"), QKeySequence::Find, this, [this] {
    tabs_->setCurrentIndex(kArtTab);
    search_->setFocus();
    search_->selectAll();
  });
  // The control's own verbs, as a container lists them.
  QMenu* control = menuBar()->addMenu(QStringLiteral("&Control"));
  control->addActions(view_->VerbActions());
  control->addSeparator();
  control->addAction(QStringLiteral("&Redraw"), this, [this] {
    if (Control() != nullptr) Control()->RedrawControl();
  });
}

HRESULT ViewerWindow::OpenClient(const QString& folder) {
  std::optional<std::string> client;
  if (!folder.trimmed().isEmpty()) client = folder.trimmed().toStdString();
  HRESULT result = view_->Activate(kProgId, client);
  if (result == S_OK) {
    statusBar()->showMessage(QStringLiteral("Control created through %1").arg(QString::fromLatin1(kProgId)));
  } else {
    // Unregistered, the viewer still works on the control it is linked with.
    view_->CreateControl(client);
    statusBar()->showMessage(
        QStringLiteral("%1 is not registered (0x%2): using the control linked into the viewer; tilvo-regsvr registers it")
            .arg(QString::fromLatin1(kProgId))
            .arg(static_cast<std::uint32_t>(result), 8, 16, QLatin1Char('0')));
  }
  const std::string mulPath = Control()->GetMulPath();
  folder_->setText(QString::fromStdString(mulPath));
  thumbnails_.SetClient(mulPath);
  map_->OpenClient(mulPath);
  FillHues();
  ShowKind(kind_->type);
  return result;
}

void ViewerWindow::FillHues() {
  const QSignalBlocker quiet(hues_);
  hues_->clear();
  hues_->addItem(QStringLiteral("0  no hue"));
  for (std::uint32_t hue = 1; hue <= Control()->GetHueCount(); ++hue) {
    const std::optional<HueRecord> record = Control()->GetHueRecord(static_cast<std::uint16_t>(hue));
    const QString name = record ? QString::fromLatin1(record->name) : QString();
    auto* item = new QListWidgetItem(QStringLiteral("%1  %2").arg(hue).arg(name), hues_);
    if (record) item->setIcon(RampIcon(*record));
  }
  hues_->setCurrentRow(std::min<int>(Hue(), hues_->count() - 1));
}

void ViewerWindow::ShowKind(std::int16_t type) {
  if (type == 8) {
    tabs_->setCurrentIndex(kMapTab);
    return;
  }
  // NPCs of the second and third animation set are NPCs.
  const render_tool::ArtKind* kind = render_tool::FindArtKind(type == 9 || type == 10 ? std::int16_t{1} : type);
  if (kind == nullptr || Control() == nullptr) return;
  kind_ = kind;
  {
    const QSignalBlocker quiet(kindBox_);
    kindBox_->setCurrentIndex(kindBox_->findData(kind->type));
  }
  // Only items and land tiles have tile data to filter by.
  flagFilter_->setEnabled(kind->tileData);
  // Back at a kind, its last selection again: from this run, else from the last.
  const auto chosen = selections_.find(kind->type);
  const QVariant remembered = chosen != selections_.end() ? QVariant(chosen->second) : QSettings().value(SelectionKey(*kind));
  model_.Load(*Control(), *kind);
  ApplyFilter();
  if (!remembered.isValid() || !SelectId(remembered.toUInt())) StepIndex(0);
}

void ViewerWindow::Search(const QString& text) { search_->setText(text); }

void ViewerWindow::ApplyFilter() {
  const std::optional<std::uint32_t> selected = SelectedId();
  CatalogFilter filter;
  filter.text = search_->text().toStdString();
  filter.flags = kind_ != nullptr && kind_->tileData ? flagFilter_->currentData().toULongLong() : 0;
  filter.showEmpty = showEmpty_->isChecked();
  model_.SetFilter(filter);
  // The selection stays where the filter still shows it; otherwise the first hit is shown.
  if (!selected || !SelectId(*selected)) StepIndex(0);
  shown_->setText(QStringLiteral("%1 of %2 entries shown").arg(model_.rowCount()).arg(model_.Catalog().Entries().size()));
}

bool ViewerWindow::SelectId(std::uint32_t id) {
  const int row = model_.RowOf(id);
  if (row < 0) return false;
  const QModelIndex index = model_.index(row);
  grid_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  grid_->scrollTo(index);
  ShowSelected();
  return true;
}

std::optional<std::uint32_t> ViewerWindow::SelectedId() const {
  const QModelIndex current = grid_->selectionModel()->currentIndex();
  if (!current.isValid()) return std::nullopt;
  return model_.IdAt(current.row());
}

std::vector<std::uint32_t> ViewerWindow::SelectedIds() const {
  std::vector<std::uint32_t> ids;
  for (const QModelIndex& index : grid_->selectionModel()->selectedIndexes()) ids.push_back(model_.IdAt(index.row()));
  std::sort(ids.begin(), ids.end());
  return ids;
}

void ViewerWindow::StepIndex(int delta) {
  if (model_.rowCount() == 0) {
    ShowSelected();
    return;
  }
  const QModelIndex current = grid_->selectionModel()->currentIndex();
  const int row = std::clamp((current.isValid() ? current.row() : 0) + delta, 0, model_.rowCount() - 1);
  SelectId(model_.IdAt(row));
}

void ViewerWindow::ShowSelected() {
  const std::optional<std::uint32_t> id = SelectedId();
  if (Control() == nullptr) return;
  if (!id) {
    // Nothing to show: a type without a row draws the background alone.
    Control()->SetObject(-1, 0);
    details_->setText(QStringLiteral("No entry matches."));
    return;
  }
  selections_[kind_->type] = *id;
  Control()->SetOffset(0, 0);
  Control()->SetObject(kind_->type, static_cast<std::int32_t>(*id));
  Control()->SetArtColor(Hue());
  details_->setText(Details());
}

QString ViewerWindow::Details() const {
  const std::optional<std::uint32_t> id = SelectedId();
  if (!id || Control() == nullptr) return {};
  QStringList lines;
  lines << QStringLiteral("%1 %2 (%3)").arg(Text(kind_->title), HexId(*id)).arg(*id);
  const CatalogEntry& entry = model_.Catalog().Entries()[*id];
  if (!entry.held) lines << QStringLiteral("The client holds nothing for this id.");
  const QSize size = thumbnails_.Draw(*id).isNull() ? QSize() : thumbnails_.ArtSize(*id);
  if (size.isValid()) lines << QStringLiteral("Picture: %1 x %2 pixels").arg(size.width()).arg(size.height());
  if (kind_->type == 4) {
    if (const std::optional<LandTileRecord> land = Control()->GetLandTileRecord(*id)) {
      lines << QStringLiteral("Name: %1").arg(QString::fromLatin1(land->name));
      lines << QStringLiteral("Flags: %1 (0x%2)").arg(QString::fromStdString(DescribeFlags(land->flags))).arg(land->flags, 0, 16);
      lines << QStringLiteral("Texture: %1").arg(land->texture);
    }
  } else if (kind_->type == 0) {
    if (const std::optional<ItemTileRecord> item = Control()->GetItemTileRecord(*id)) {
      lines << QStringLiteral("Name: %1").arg(QString::fromLatin1(item->name));
      lines << QStringLiteral("Flags: %1 (0x%2)").arg(QString::fromStdString(DescribeFlags(item->flags))).arg(item->flags, 0, 16);
      lines << QStringLiteral("Weight: %1%2").arg(item->weight).arg(item->weight == 255 ? QStringLiteral(" (cannot be moved)") : QString());
      lines << QStringLiteral("Quality (layer, light): %1   Quantity: %2   Value: %3")
                   .arg(item->quality).arg(item->quantity).arg(item->value);
      lines << QStringLiteral("Height: %1   Stacking offset: %2   Hue: %3")
                   .arg(item->height).arg(item->stackingOffset).arg(item->hue);
      lines << QStringLiteral("Animation: %1   Misc: %2").arg(item->animation).arg(item->miscData);
    } else {
      lines << QStringLiteral("The client's tile data has no record for this id.");
    }
  }
  if (Hue() != 0) lines << QStringLiteral("Hue: %1").arg(Hue());
  return lines.join(QLatin1Char('\n'));
}

void ViewerWindow::SetHue(std::int16_t hue) {
  if (hue < 0 || static_cast<std::uint32_t>(hue) > (Control() != nullptr ? Control()->GetHueCount() : 0)) hue = 0;
  model_.SetHue(hue);
  {
    const QSignalBlocker quiet(hues_);
    hues_->setCurrentRow(hue);
  }
  if (Control() != nullptr && SelectedId()) {
    Control()->SetArtColor(hue);
    details_->setText(Details());
  }
}

void ViewerWindow::CopyIds() {
  QStringList ids;
  for (std::uint32_t id : SelectedIds()) ids << HexId(id);
  if (!ids.isEmpty()) QApplication::clipboard()->setText(ids.join(QLatin1Char('\n')));
}

void ViewerWindow::ScrollBy(int dx, int dy) {
  if (Control() != nullptr) Control()->Scroll(dx, dy);
}

render_tool::ExportResult ViewerWindow::ExportEntries(const std::vector<std::uint32_t>& ids, const QString& folder) {
  // A control of the export's own, so that the detail pane keeps its picture.
  HeadlessSite site;
  CTilvoCtrl control(site, Control()->GetMulPath());
  QProgressDialog progress(QStringLiteral("Exporting %1 pictures...").arg(ids.size()), QStringLiteral("Cancel"), 0,
                           static_cast<int>(ids.size()), this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  return render_tool::ExportEntries(control, *kind_, ids, Hue(), std::nullopt, folder.toStdString(),
                                    [&progress](std::size_t done, std::size_t) {
                                      progress.setValue(static_cast<int>(done));
                                      return !progress.wasCanceled();
                                    });
}

void ViewerWindow::ExportWithDialog(const std::vector<std::uint32_t>& ids) {
  if (ids.empty() || Control() == nullptr) return;
  QSettings settings;
  const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Export %1 pictures to").arg(ids.size()),
                                                           settings.value(kExportFolderKey).toString());
  if (folder.isEmpty()) return;
  settings.setValue(kExportFolderKey, folder);
  const render_tool::ExportResult result = ExportEntries(ids, folder);
  if (!result.error.empty()) {
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(result.error));
    return;
  }
  statusBar()->showMessage(QStringLiteral("%1 pictures written to %2%3 (%4 entries drew nothing)")
                               .arg(result.written)
                               .arg(folder)
                               .arg(result.cancelled ? QStringLiteral(", then cancelled") : QString())
                               .arg(result.empty));
}

bool ViewerWindow::ExportPicture(const QString& path, QString& error) {
  if (Control() == nullptr || Control()->Picture().w <= 0 || Control()->Picture().h <= 0) {
    error = QStringLiteral("There is no picture to export yet.");
    return false;
  }
  std::string reason;
  std::string file = path.toStdString();
  if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) file += ".png";
  if (!render_tool::WritePicture(Control()->Picture(), file, reason)) {
    error = QString::fromStdString(reason);
    return false;
  }
  return true;
}

bool ViewerWindow::SavePropertySet(const QString& path, QString& error) {
  if (Control() == nullptr) return false;
  TextFilePropertyBag bag;
  if (SaveProperties(*Control(), bag) != 0 || bag.SaveFile(path.toStdString()) != TextFilePropertyBag::kOk) {
    error = QStringLiteral("The properties could not be saved to %1.").arg(path);
    return false;
  }
  statusBar()->showMessage(QStringLiteral("Properties saved to %1").arg(path));
  return true;
}

bool ViewerWindow::LoadPropertySet(const QString& path, QString& error) {
  if (Control() == nullptr) return false;
  TextFilePropertyBag bag;
  if (bag.LoadFile(path.toStdString()) != TextFilePropertyBag::kOk) {
    error = QStringLiteral("The properties could not be read from %1.").arg(path);
    return false;
  }
  LoadProperties(*Control(), bag);
  // The grid follows the loaded kind, entry and hue.
  const std::int16_t type = Control()->GetArtType();
  const std::uint32_t index = static_cast<std::uint32_t>(Control()->GetArtIndex());
  const std::int16_t hue = Control()->GetArtColor();
  ShowKind(type);
  SelectId(index);
  SetHue(hue);
  statusBar()->showMessage(QStringLiteral("Properties loaded from %1").arg(path));
  return true;
}

void ViewerWindow::SaveSettings() const {
  QSettings settings;
  settings.setValue(kClientKey, folder_->text());
  settings.setValue(kKindKey, Text(kind_->name));
  for (const auto& [type, id] : selections_) settings.setValue(SelectionKey(*render_tool::FindArtKind(type)), id);
  settings.setValue(kHueKey, Hue());
  settings.setValue(kShowEmptyKey, showEmpty_->isChecked());
  settings.setValue(kGeometryKey, saveGeometry());
  settings.setValue(kTabKey, tabs_->currentIndex());
  const MapPosition& at = map_->Position();
  settings.setValue(kMapKey, QStringLiteral("%1,%2,%3,%4,%5").arg(at.facet).arg(at.column).arg(at.row).arg(at.xOffset).arg(at.yOffset));
  settings.setValue(kMapLayersKey, map_->Layers());
}

void ViewerWindow::closeEvent(QCloseEvent* event) {
  SaveSettings();
  QMainWindow::closeEvent(event);
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (watched == grid_ && key->matches(QKeySequence::Copy)) {
    CopyIds();
    return true;
  }
  if (watched != view_) return QMainWindow::eventFilter(watched, event);
  const int step = key->modifiers().testFlag(Qt::ShiftModifier) ? kShiftScrollStep : kScrollStep;
  // The arrows move the view over the art, so the picture moves the other way.
  switch (key->key()) {
    case Qt::Key_Left:
      ScrollBy(step, 0);
      return true;
    case Qt::Key_Right:
      ScrollBy(-step, 0);
      return true;
    case Qt::Key_Up:
      ScrollBy(0, step);
      return true;
    case Qt::Key_Down:
      ScrollBy(0, -step);
      return true;
    case Qt::Key_PageUp:
      StepIndex(-1);
      return true;
    case Qt::Key_PageDown:
      StepIndex(1);
      return true;
    default:
      return QMainWindow::eventFilter(watched, event);
  }
}

}  // namespace tilvo::viewer
