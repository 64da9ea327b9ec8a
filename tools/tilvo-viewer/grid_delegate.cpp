#include "grid_delegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "art_grid_model.h"

namespace tilvo::viewer {
namespace {

constexpr int kMargin = 4;
constexpr int kTextLines = 2;

}  // namespace

GridDelegate::GridDelegate(int side, QObject* parent) : QStyledItemDelegate(parent), side_(side) {}

QSize GridDelegate::CellSize() const {
  const int line = QFontMetrics(QApplication::font()).height();
  return {side_ + 4 * kMargin, side_ + 3 * kMargin + kTextLines * line};
}

QSize GridDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const { return CellSize(); }

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const bool selected = (option.state & QStyle::State_Selected) != 0;
  if (selected) painter->fillRect(option.rect, option.palette.highlight());
  const QRect cell = option.rect;
  const QRect square(cell.left() + (cell.width() - side_) / 2, cell.top() + kMargin, side_, side_);
  const QVariant thumbnail = index.data(Qt::DecorationRole);
  if (thumbnail.canConvert<QImage>()) {
    const QImage image = thumbnail.value<QImage>();
    const QPoint at(square.left() + (side_ - image.width()) / 2, square.top() + (side_ - image.height()) / 2);
    painter->drawImage(at, image);
  }
  const bool held = index.data(ArtGridModel::kHeldRole).toBool();
  painter->setPen(selected ? option.palette.color(QPalette::HighlightedText)
                           : held ? option.palette.color(QPalette::Text) : option.palette.color(QPalette::Disabled, QPalette::Text));
  const QRect text(cell.left(), square.bottom() + kMargin, cell.width(), cell.bottom() - square.bottom() - kMargin);
  painter->drawText(text, Qt::AlignHCenter | Qt::AlignTop, index.data(Qt::DisplayRole).toString());
}

}  // namespace tilvo::viewer
