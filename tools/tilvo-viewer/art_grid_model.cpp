#include "art_grid_model.h"

#include <QColor>
#include <QPixmap>
#include <algorithm>

namespace tilvo::viewer {

QString HexId(std::uint32_t id) {
  return QStringLiteral("0x") + QString::number(id, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

ArtGridModel::ArtGridModel(ThumbnailCache& thumbnails, QObject* parent)
    : QAbstractListModel(parent), thumbnails_(thumbnails) {
  connect(&thumbnails_, &ThumbnailCache::thumbnailReady, this, &ArtGridModel::ThumbnailReady);
}

void ArtGridModel::Load(CTilvoCtrl& ctrl, const render_tool::ArtKind& kind) {
  beginResetModel();
  catalog_.Load(ctrl, kind);
  thumbnails_.SetKind(&kind);
  ids_ = catalog_.Filter(filter_);
  endResetModel();
}

void ArtGridModel::SetFilter(const CatalogFilter& filter) {
  beginResetModel();
  filter_ = filter;
  ids_ = catalog_.Filter(filter_);
  endResetModel();
}

void ArtGridModel::SetHue(std::int16_t hue) {
  thumbnails_.SetHue(hue);
  if (!ids_.empty()) emit dataChanged(index(0), index(static_cast<int>(ids_.size()) - 1), {Qt::DecorationRole});
}

int ArtGridModel::RowOf(std::uint32_t id) const {
  const auto found = std::lower_bound(ids_.begin(), ids_.end(), id);
  return found != ids_.end() && *found == id ? static_cast<int>(found - ids_.begin()) : -1;
}

int ArtGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

QVariant ArtGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(ids_.size())) return {};
  const CatalogEntry& entry = catalog_.Entries()[IdAt(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return QStringLiteral("%1\n%2").arg(HexId(entry.id)).arg(entry.id);
    case Qt::ToolTipRole:
      return entry.name.empty() ? HexId(entry.id) : QStringLiteral("%1 %2").arg(HexId(entry.id), QString::fromStdString(entry.name));
    case Qt::DecorationRole: {
      if (!entry.held) return {};
      const std::optional<QImage> thumbnail = thumbnails_.Thumbnail(entry.id);
      return thumbnail && !thumbnail->isNull() ? QVariant(*thumbnail) : QVariant();
    }
    case Qt::ForegroundRole:
      return entry.held ? QVariant() : QVariant(QColor(Qt::gray));
    case kIdRole:
      return entry.id;
    case kHeldRole:
      return entry.held;
    default:
      return {};
  }
}

void ArtGridModel::ThumbnailReady(std::uint32_t id) {
  const int row = RowOf(id);
  if (row >= 0) emit dataChanged(index(row), index(row), {Qt::DecorationRole});
}

}  // namespace tilvo::viewer
