#pragma once
// The model behind the grid: the entries of one art kind that pass the
// filter, each with its id in hexadecimal and decimal, its name, and its
// thumbnail (drawn as it comes into view). Entries the client holds nothing
// for are listed only when the filter asks for them, greyed.

#include <QAbstractListModel>
#include <QHash>
#include <cstdint>
#include <vector>

#include "art_catalog.h"
#include "thumbnails.h"

namespace tilvo::viewer {

class ArtGridModel : public QAbstractListModel {
  Q_OBJECT

 public:
  // Roles beyond Qt's own.
  enum Role {
    kIdRole = Qt::UserRole,  // the entry's id (uint)
    kHeldRole,               // whether the client holds it (bool)
  };

  ArtGridModel(ThumbnailCache& thumbnails, QObject* parent = nullptr);

  // Lists the kind's entries from the control (the catalog is read anew) with the filter.
  void Load(CTilvoCtrl& ctrl, const render_tool::ArtKind& kind);
  void SetFilter(const CatalogFilter& filter);
  const CatalogFilter& Filter() const { return filter_; }
  // Recolours every thumbnail.
  void SetHue(std::int16_t hue);
  const ArtCatalog& Catalog() const { return catalog_; }

  // The id shown in a row, and the row of an id (-1 when it is not shown).
  std::uint32_t IdAt(int row) const { return ids_[static_cast<std::size_t>(row)]; }
  int RowOf(std::uint32_t id) const;
  // The ids shown, in order.
  const std::vector<std::uint32_t>& Ids() const { return ids_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  void ThumbnailReady(std::uint32_t id);

  ThumbnailCache& thumbnails_;
  ArtCatalog catalog_;
  CatalogFilter filter_;
  std::vector<std::uint32_t> ids_;
};

// "0x0B4F" and "2895": an id as the grid and the detail pane write it.
QString HexId(std::uint32_t id);

}  // namespace tilvo::viewer
