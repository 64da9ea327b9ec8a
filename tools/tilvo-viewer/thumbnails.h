#pragma once
// The grid's thumbnails, drawn by a control of their own (off-screen, on a
// site without a window) as they come into view, and kept: each is the
// entry cut to its art (FitArt), scaled down to fit the grid's cell, with a
// transparent background. Drawing is paced so that the window stays
// responsive: within one turn of the event loop thumbnails are drawn while
// the frame budget lasts; the rest are queued, most recently asked first,
// drawn on the next turns, and announced with thumbnailReady.

#include <QCache>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QSize>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "art_kinds.h"
#include "tilvo/headless_site.h"
#include "tilvo/tilvo.h"

namespace tilvo::viewer {

class ThumbnailCache : public QObject {
  Q_OBJECT

 public:
  // Thumbnails fit a square of `side` pixels.
  explicit ThumbnailCache(int side, QObject* parent = nullptr);
  ~ThumbnailCache() override;

  // Draws from the client in that folder from now on (forgetting every thumbnail).
  void SetClient(const std::string& folder);
  // The kind and hue the thumbnails show.
  void SetKind(const render_tool::ArtKind* kind);
  void SetHue(std::int16_t hue);
  std::int16_t Hue() const { return hue_; }
  int Side() const { return side_; }
  // How long one turn of the event loop may spend drawing (0: no limit).
  void SetFrameBudget(int milliseconds) { budgetMs_ = milliseconds; }

  // The thumbnail of id when it is kept or can be drawn within this turn's
  // budget (a null image when the entry draws nothing); otherwise none, and
  // the id is queued (thumbnailReady follows).
  std::optional<QImage> Thumbnail(std::uint32_t id);
  // The thumbnail of id, drawn now when it is not kept (a null image when the entry draws nothing).
  QImage Draw(std::uint32_t id);
  // The size of the entry's art before scaling (0 x 0 when it draws nothing or is not drawn yet).
  QSize ArtSize(std::uint32_t id) const;
  // Forgets every thumbnail.
  void Clear();

 signals:
  void thumbnailReady(std::uint32_t id);

 private:
  struct Kept {
    QImage image;
    QSize artSize;
  };
  std::uint64_t Key(std::uint32_t id) const;
  void DrawQueued();

  int side_;
  HeadlessSite site_;
  std::unique_ptr<CTilvoCtrl> control_;
  const render_tool::ArtKind* kind_ = nullptr;
  std::int16_t hue_ = 0;
  QCache<std::uint64_t, Kept> kept_;
  std::deque<std::uint32_t> queue_;
  bool drawScheduled_ = false;
  int budgetMs_ = 8;
  QElapsedTimer turn_;  // started by the first drawing of a turn of the event loop
};

}  // namespace tilvo::viewer
