#pragma once
// How the grid draws one cell: the thumbnail centred in a square (as the
// model gives it: Tilvo drew it), under it the id in hexadecimal and in
// decimal; the selection as the style highlights it, entries the client
// holds nothing for greyed.

#include <QStyledItemDelegate>

namespace tilvo::viewer {

class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  // Cells of a thumbnail square of `side` pixels.
  explicit GridDelegate(int side, QObject* parent = nullptr);
  // The size of every cell.
  QSize CellSize() const;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  int side_;
};

}  // namespace tilvo::viewer
