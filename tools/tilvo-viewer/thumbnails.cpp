#include "thumbnails.h"

#include <QTimer>
#include <algorithm>

#include "art_fit.h"

namespace tilvo::viewer {
namespace {

// Thumbnails grow their picture up to this side while the art reaches its edge.
constexpr std::int32_t kThumbnailMaxSide = 1024;
// Memory the kept thumbnails may take, in bytes.
constexpr qsizetype kKeptBytes = 96 * 1024 * 1024;
// Queued ids beyond this many are dropped, the oldest first: they have scrolled out of view.
constexpr std::size_t kQueueLimit = 1024;

QImage ToImage(const render_tool::FittedArt& art) {
  QImage image(art.w, art.h, QImage::Format_ARGB32);
  for (std::int32_t y = 0; y < art.h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (std::int32_t x = 0; x < art.w; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(art.w) + static_cast<std::size_t>(x);
      const std::uint8_t* bgr = &art.bgr[at * 3];
      line[x] = art.covered[at] != 0 ? qRgb(bgr[2], bgr[1], bgr[0]) : qRgba(0, 0, 0, 0);
    }
  }
  return image;
}

}  // namespace

ThumbnailCache::ThumbnailCache(int side, QObject* parent) : QObject(parent), side_(side), kept_(kKeptBytes) {}

ThumbnailCache::~ThumbnailCache() = default;

void ThumbnailCache::SetClient(const std::string& folder) {
  control_ = std::make_unique<CTilvoCtrl>(site_, folder);
  Clear();
}

void ThumbnailCache::SetKind(const render_tool::ArtKind* kind) {
  kind_ = kind;
  queue_.clear();
}

void ThumbnailCache::SetHue(std::int16_t hue) {
  hue_ = hue;
  queue_.clear();
}

void ThumbnailCache::Clear() {
  kept_.clear();
  queue_.clear();
}

std::uint64_t ThumbnailCache::Key(std::uint32_t id) const {
  const auto type = static_cast<std::uint64_t>(static_cast<std::uint16_t>(kind_ != nullptr ? kind_->type : 0));
  return type << 48 | static_cast<std::uint64_t>(static_cast<std::uint16_t>(hue_)) << 32 | id;
}

QImage ThumbnailCache::Draw(std::uint32_t id) {
  if (control_ == nullptr || kind_ == nullptr) return {};
  if (const Kept* kept = kept_.object(Key(id))) return kept->image;
  const render_tool::FittedArt art =
      render_tool::FitArt(*control_, kind_->type, static_cast<std::int32_t>(id), hue_, kind_->fitStart, kThumbnailMaxSide);
  auto* kept = new Kept;
  if (!art.Empty()) {
    kept->artSize = QSize(art.w, art.h);
    kept->image = ToImage(art);
    if (art.w > side_ || art.h > side_) {
      kept->image = kept->image.scaled(side_, side_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
  }
  const QImage image = kept->image;
  kept_.insert(Key(id), kept, std::max<qsizetype>(image.sizeInBytes(), 64));
  return image;
}

QSize ThumbnailCache::ArtSize(std::uint32_t id) const {
  const Kept* kept = kept_.object(Key(id));
  return kept != nullptr ? kept->artSize : QSize();
}

std::optional<QImage> ThumbnailCache::Thumbnail(std::uint32_t id) {
  if (const Kept* kept = kept_.object(Key(id))) return kept->image;
  if (!turn_.isValid()) {
    // A new turn of the event loop: its budget starts now and ends when the loop comes round.
    turn_.start();
    QTimer::singleShot(0, this, [this] { turn_.invalidate(); });
  }
  if (budgetMs_ == 0 || turn_.elapsed() < budgetMs_) return Draw(id);
  queue_.push_back(id);
  if (queue_.size() > kQueueLimit) queue_.pop_front();
  if (!drawScheduled_) {
    drawScheduled_ = true;
    QTimer::singleShot(0, this, &ThumbnailCache::DrawQueued);
  }
  return std::nullopt;
}

void ThumbnailCache::DrawQueued() {
  drawScheduled_ = false;
  QElapsedTimer turn;
  turn.start();
  // The most recently asked are the ones in view now.
  while (!queue_.empty() && (budgetMs_ == 0 || turn.elapsed() < budgetMs_)) {
    const std::uint32_t id = queue_.back();
    queue_.pop_back();
    Draw(id);
    emit thumbnailReady(id);
  }
  if (!queue_.empty()) {
    drawScheduled_ = true;
    QTimer::singleShot(0, this, &ThumbnailCache::DrawQueued);
  }
}

}  // namespace tilvo::viewer
