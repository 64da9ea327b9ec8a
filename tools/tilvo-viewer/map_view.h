#pragma once
// The map tab of tilvo-viewer: the control's map preview in a view that the
// mouse drags and the arrow keys step by blocks (Shift: eight blocks), with
// the facet, the layers, a "go to x,y" field and a readout of the tile under
// the mouse (its x and y, block number, column and row). The control draws
// the blocks around its centre block; after each drag the view is centred
// again on the block in its middle, keeping the picture where it was.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "artcontrol/qt/tilvo_widget.h"
#include "map_geometry.h"

namespace tilvo::viewer {

class MapView : public QWidget {
  Q_OBJECT

 public:
  explicit MapView(QWidget* parent = nullptr);

  qt::TilvoWidget* ArtView() const { return view_; }
  CTilvoCtrl* Control() const { return view_->Control(); }

  // Creates the map's control for the client folder (empty: the registry sources') and shows the position.
  void OpenClient(const std::optional<std::string>& client);
  const MapPosition& Position() const { return position_; }
  // Shows that position (the column and row kept on the facet's map).
  void SetPosition(const MapPosition& position);
  // Centres the view on the tile typed as "x,y"; false (nothing moves) for text that names no tile of the facet.
  bool GoTo(const QString& text);
  // Moves the centre by whole blocks.
  void StepBlocks(int columns, int rows);
  // The layers drawn: DrawFlags 0x10 land, 0x20 statics, 0x40 the preview items.
  void SetLayers(std::uint16_t flags);
  std::uint16_t Layers() const;
  // The readout: the tile under the mouse, or the view's middle.
  QString Readout() const { return readout_->text(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Apply();
  void ShowTileAt(int x, int y);
  QSize PictureSize() const;

  qt::TilvoWidget* view_ = nullptr;
  QComboBox* facet_ = nullptr;
  std::array<QCheckBox*, 3> layers_{};
  QLineEdit* goTo_ = nullptr;
  QLabel* readout_ = nullptr;
  MapPosition position_;
  std::optional<QPoint> dragFrom_;  // where the last mouse move of a drag was
};

}  // namespace tilvo::viewer
