#pragma once
// The main window of tilvo-viewer, an art browser drawn entirely by the Tilvo
// control. The Art tab holds a grid of one art kind (items, land tiles,
// gumps, textures, lights, multis, NPC bodies) with a search field (an id or
// a part of the name), a flag filter and the switch for empty entries; the
// detail pane, where the control shows the selected entry at full size over
// its tile data (name, flags, weight, layer, height, ...); and the hue list,
// which recolours the grid and the detail pane. The Map tab holds the map
// view (map_view.h). The File menu exports the selected entry, the selection
// or the whole filtered grid as PNG files, and saves or reloads the control's
// persisted properties. The client folder, kind, selection, hue, map position
// and window geometry are remembered between runs (QSettings).

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMainWindow>
#include <QString>
#include <QTabWidget>
#include <map>
#include <vector>

#include "art_grid_model.h"
#include "artcontrol/qt/tilvo_widget.h"
#include "batch_export.h"
#include "map_view.h"
#include "thumbnails.h"
#include "viewer_options.h"

namespace tilvo::viewer {

class ViewerWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The ProgID through which the viewer creates its control.
  static constexpr const char* kProgId = "TILVO.TilvoCtrl.1";
  // Pixels per arrow key in the detail pane, and with Shift held.
  static constexpr int kScrollStep = 8;
  static constexpr int kShiftScrollStep = 64;
  // The side of a thumbnail in the grid.
  static constexpr int kThumbnailSide = 64;

  // Opens the client the options name (else the remembered one, else the
  // registry sources') at the options' kind, entry and hue (else the remembered ones).
  explicit ViewerWindow(const ViewerOptions& options);

  // The detail pane's control, created through its registration.
  qt::TilvoWidget* ArtView() const { return view_; }
  CTilvoCtrl* Control() const { return view_->Control(); }
  MapView* Map() const { return map_; }
  ArtGridModel& Grid() { return model_; }
  ThumbnailCache& Thumbnails() { return thumbnails_; }

  // Creates the controls for the folder (empty: where the registry sources
  // say): the detail pane's through its registration, or from the linked
  // library when the control is not registered; the thumbnails' and the map's
  // from the linked library. Lists the current kind again. The result of the
  // activation (S_OK when it went through the registration).
  HRESULT OpenClient(const QString& folder);
  // Shows the kind's grid (by ArtType; 8 shows the map tab).
  void ShowKind(std::int16_t type);
  const render_tool::ArtKind& Kind() const { return *kind_; }
  // Selects the entry in the grid (false when the filter does not show it) and shows it in the detail pane.
  bool SelectId(std::uint32_t id);
  // The selected entry, if any.
  std::optional<std::uint32_t> SelectedId() const;
  // Moves the selection by delta entries of the grid.
  void StepIndex(int delta);
  // Applies the search text, flag filter and empty-entries switch of the fields.
  void Search(const QString& text);
  // Recolours the grid and the detail pane with the hue (0: none).
  void SetHue(std::int16_t hue);
  std::int16_t Hue() const { return thumbnails_.Hue(); }
  // The detail pane's text for the selected entry.
  QString Details() const;
  // Copies the selected ids to the clipboard ("0x0B4F", one a line).
  void CopyIds();
  // Shifts the detail pane's picture by (dx, dy) pixels.
  void ScrollBy(int dx, int dy);

  // Writes one PNG file per entry into the folder, as tilvo-render --out-dir
  // does, in the current hue, with a progress dialog and its Cancel.
  render_tool::ExportResult ExportEntries(const std::vector<std::uint32_t>& ids, const QString& folder);
  // The ids of the selection, or of the whole filtered grid.
  std::vector<std::uint32_t> SelectedIds() const;
  // Writes the detail pane's picture as a PNG file; false with the reason in error.
  bool ExportPicture(const QString& path, QString& error);
  // Saves ArtType, ArtIndex and ArtColor to a property file, or loads them from one; false with the reason in error.
  bool SavePropertySet(const QString& path, QString& error);
  bool LoadPropertySet(const QString& path, QString& error);
  // Remembers the client folder, kind, selection, hue, map position and window geometry.
  void SaveSettings() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* BuildFolderRow(QWidget* parent);
  QWidget* BuildArtTab(QWidget* parent);
  void BuildMenus();
  void FillHues();
  void ShowSelected();
  void ApplyFilter();
  void ExportWithDialog(const std::vector<std::uint32_t>& ids);

  mutable ThumbnailCache thumbnails_{kThumbnailSide};  // the detail pane's text draws the selected entry's
  ArtGridModel model_{thumbnails_};
  const render_tool::ArtKind* kind_ = nullptr;
  std::map<std::int16_t, std::uint32_t> selections_;  // the last entry selected in each kind
  QTabWidget* tabs_ = nullptr;
  QLineEdit* folder_ = nullptr;
  QComboBox* kindBox_ = nullptr;
  QLineEdit* search_ = nullptr;
  QComboBox* flagFilter_ = nullptr;
  QCheckBox* showEmpty_ = nullptr;
  QListView* grid_ = nullptr;
  qt::TilvoWidget* view_ = nullptr;
  QLabel* details_ = nullptr;
  QListWidget* hues_ = nullptr;
  MapView* map_ = nullptr;
  QLabel* shown_ = nullptr;  // how many entries the grid shows
  QLabel* mouse_ = nullptr;
};

}  // namespace tilvo::viewer
