#include "map_view.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tilvo::viewer {
namespace {

struct Layer {
  std::uint16_t bit;
  const char* label;
};
constexpr Layer kLayers[] = {{0x0010, "Land"}, {0x0020, "Statics"}, {0x0040, "Preview items"}};
constexpr std::uint16_t kDefaultLayers = 0x0030;
// Blocks an arrow key moves with Shift held.
constexpr int kShiftBlocks = 8;

}  // namespace

MapView::MapView(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  facet_ = new QComboBox(this);
  facet_->setObjectName(QStringLiteral("facet"));
  facet_->addItem(QStringLiteral("Facet 0"), 0);
  facet_->addItem(QStringLiteral("Facet 2"), 2);
  row->addWidget(facet_);
  for (std::size_t i = 0; i < layers_.size(); ++i) {
    layers_[i] = new QCheckBox(QString::fromLatin1(kLayers[i].label), this);
    layers_[i]->setChecked((kDefaultLayers & kLayers[i].bit) != 0);
    connect(layers_[i], &QCheckBox::toggled, this, [this] { Apply(); });
    row->addWidget(layers_[i]);
  }
  row->addStretch(1);
  goTo_ = new QLineEdit(this);
  goTo_->setObjectName(QStringLiteral("goTo"));
  goTo_->setPlaceholderText(QStringLiteral("x,y"));
  goTo_->setMaximumWidth(140);
  auto* go = new QPushButton(QStringLiteral("Go to"), this);
  connect(go, &QPushButton::clicked, this, [this] { GoTo(goTo_->text()); });
  connect(goTo_, &QLineEdit::returnPressed, this, [this] { GoTo(goTo_->text()); });
  row->addWidget(goTo_);
  row->addWidget(go);
  layout->addLayout(row);
  view_ = new qt::TilvoWidget(this);
  view_->setObjectName(QStringLiteral("mapView"));
  view_->setCursor(Qt::OpenHandCursor);
  view_->installEventFilter(this);
  layout->addWidget(view_, 1);
  readout_ = new QLabel(this);
  readout_->setObjectName(QStringLiteral("mapReadout"));
  readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(readout_);

  connect(facet_, &QComboBox::currentIndexChanged, this, [this] {
    MapPosition at = position_;
    at.facet = facet_->currentData().toInt();
    SetPosition(at);
  });
  connect(view_, &qt::TilvoWidget::mouseDown, this, [this](int button, int, int x, int y) {
    if (button == 1) dragFrom_ = QPoint(x, y);
  });
  connect(view_, &qt::TilvoWidget::mouseMove, this, [this](int button, int, int x, int y) {
    if (dragFrom_ && (button & 1) != 0) {
      // The map follows the mouse.
      position_.xOffset += x - dragFrom_->x();
      position_.yOffset += y - dragFrom_->y();
      dragFrom_ = QPoint(x, y);
      if (Control() != nullptr) Control()->SetOffset(position_.xOffset, position_.yOffset);
    }
    ShowTileAt(x, y);
  });
  connect(view_, &qt::TilvoWidget::mouseUp, this, [this](int button, int, int, int) {
    if (button != 1 || !dragFrom_) return;
    dragFrom_.reset();
    SetPosition(Recentred(position_));
  });
}

void MapView::OpenClient(const std::optional<std::string>& client) {
  view_->CreateControl(client);
  Apply();
}

void MapView::SetPosition(const MapPosition& position) {
  position_ = position;
  position_.facet = position.facet == 2 ? 2 : 0;
  position_.column = std::clamp(position.column, 0, MapColumns(position_.facet) - 1);
  position_.row = std::clamp(position.row, 0, kMapRows - 1);
  const int facetRow = facet_->findData(position_.facet);
  if (facet_->currentIndex() != facetRow) {
    const QSignalBlocker quiet(facet_);
    facet_->setCurrentIndex(facetRow);
  }
  Apply();
}

bool MapView::GoTo(const QString& text) {
  const std::optional<MapTile> tile = ParseTile(text.toStdString());
  const std::optional<MapPosition> at = tile ? CentredOn(position_.facet, *tile) : std::nullopt;
  if (!at) {
    readout_->setText(QStringLiteral("No tile %1 on this facet: type x,y").arg(text));
    return false;
  }
  SetPosition(*at);
  readout_->setText(QString::fromStdString(DescribeTile(*tile)));
  return true;
}

void MapView::StepBlocks(int columns, int rows) {
  MapPosition at = position_;
  at.column += columns;
  at.row += rows;
  SetPosition(at);
}

void MapView::SetLayers(std::uint16_t flags) {
  for (std::size_t i = 0; i < layers_.size(); ++i) {
    const QSignalBlocker quiet(layers_[i]);
    layers_[i]->setChecked((flags & kLayers[i].bit) != 0);
  }
  Apply();
}

std::uint16_t MapView::Layers() const {
  std::uint16_t flags = 0;
  for (std::size_t i = 0; i < layers_.size(); ++i) {
    if (layers_[i]->isChecked()) flags = static_cast<std::uint16_t>(flags | kLayers[i].bit);
  }
  return flags;
}

void MapView::Apply() {
  if (Control() == nullptr) return;
  Control()->SetDrawFlags(static_cast<std::int16_t>(Layers()));
  Control()->SetMapCentre(position_.facet, position_.column, position_.row);
  Control()->SetOffset(position_.xOffset, position_.yOffset);
  const QSize size = PictureSize();
  ShowTileAt(size.width() / 2, size.height() / 2);
}

QSize MapView::PictureSize() const {
  // The control's picture is the widget's size in device pixels, rounded down to a multiple of 8.
  const qreal ratio = view_->devicePixelRatioF();
  const int w = static_cast<int>(view_->width() * ratio);
  const int h = static_cast<int>(view_->height() * ratio);
  return {w - w % 8, h - h % 8};
}

void MapView::ShowTileAt(int x, int y) {
  const QSize size = PictureSize();
  readout_->setText(QString::fromStdString(DescribeTile(TileAt(position_, size.width(), size.height(), x, y))));
}

bool MapView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != view_ || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const int step = key->modifiers().testFlag(Qt::ShiftModifier) ? kShiftBlocks : 1;
  switch (key->key()) {
    case Qt::Key_Left:
      StepBlocks(-step, 0);
      return true;
    case Qt::Key_Right:
      StepBlocks(step, 0);
      return true;
    case Qt::Key_Up:
      StepBlocks(0, -step);
      return true;
    case Qt::Key_Down:
      StepBlocks(0, step);
      return true;
    default:
      return QWidget::eventFilter(watched, event);
  }
}

}  // namespace tilvo::viewer
