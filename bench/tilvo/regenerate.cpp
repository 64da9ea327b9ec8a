// Regenerating a 640 x 480 picture of item art, against a plain fill of the
// same buffer in the same run:
//   - one item already in ArtCache (the cost of drawing it);
//   - 257 distinct items in turn, all cached (each the least recently used
//     when it comes round again);
//   - 257 distinct items in turn with the cache limited to nothing, so that
//     every one is read from the files and decoded again (for comparison).
// Each runs on the index-file client and on its container twin (the art in
// "artLegacyMUL.uop", as current clients store it; the names end in
// "Containers"). After the runs it prints each regeneration's CPU time as a
// multiple of the fill's, and the twin's as a multiple of the index-file
// client's (CPU time, so that other work on a shared machine does not skew
// the ratios).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>

#include "artcontrol/render/art_cache.h"
#include "artcontrol/render/pixel_buffer.h"
#include "tilvo/tilvo.h"
#include "testing/tilvo/container_writer.h"
#include "testing/tilvo/synthetic_client.h"

namespace {

using namespace tilvo;

constexpr Rect kBounds{0, 0, 640, 480};
constexpr int kItems = 257;

// A site without a screen: the copies cost nothing.
struct NullSite : TilvoSite {
  void InvalidateControl(bool) override {}
  std::uint32_t ButtonFaceColor() override { return 0x00F0F0F0; }
  void CopyToScreen(const PixelBuffer&, std::int32_t, std::int32_t) override {}
};

// A client folder whose items 0 to 256 are 60 x 90 pictures of two runs per
// row, each item coloured differently, like the usual furniture and walls.
const std::string& ClientFolder(bool containers) {
  static const auto make = [](bool twin) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("tilvo-bench-" + std::string(twin ? "containers-" : "") +
                                 std::to_string(std::random_device{}()));
    mkclient::IndexedFiles art;
    for (int item = 0; item < kItems; ++item) {
      mkclient::ItemArt picture{60, 90, {}};
      for (int y = 0; y < 90; ++y) {
        auto colour = [&](int x) { return mkclient::Client(static_cast<unsigned>(x + item), static_cast<unsigned>(y), 9); };
        mkclient::ArtRun left{static_cast<std::uint16_t>(y % 7), {}};
        for (int x = y % 7; x < 28; ++x) left.colors.push_back(colour(x));
        mkclient::ArtRun right{4, {}};
        for (int x = 32; x < 60 - y % 5; ++x) right.colors.push_back(colour(x));
        picture.rows.push_back({left, right});
      }
      art.Set(0x4000 + static_cast<std::uint32_t>(item), mkclient::EncodeItemArt(picture));
    }
    mkclient::ClientFolder client;
    client.files["artidx.mul"] = art.Index(0x4000 + kItems);
    client.files["art.mul"] = art.Data();
    if (twin) client = mkclient::ContainerTwin(client);
    std::string error;
    if (!client.Write(dir.string(), error)) {
      std::cerr << "cannot write the bench client: " << error << "\n";
      std::exit(1);
    }
    return dir.string();
  };
  static const std::string files = make(false);
  static const std::string twin = make(true);
  return containers ? twin : files;
}

void PlainFill(benchmark::State& state) {
  PixelBuffer pixels;
  for (auto _ : state) {
    FillPicture(pixels, {640, 480}, 0x00F0F0F0);
    benchmark::DoNotOptimize(pixels.bytes.data());
  }
}
BENCHMARK(PlainFill);

// Paints items first to count - 1 in turn, one regeneration per iteration.
void Regenerate(benchmark::State& state, int count, std::size_t cacheLimit, bool containers) {
  NullSite site;
  CTilvoCtrl ctrl(site, ClientFolder(containers));
  ctrl.SetArtCacheLimit(cacheLimit);
  for (int i = 0; i < count; ++i) {  // warm the cache
    ctrl.SetObject(0, i);
    ctrl.OnDraw(kBounds);
  }
  // A bench that drew nothing would measure nothing.
  const PixelBuffer& picture = ctrl.Picture();
  if (picture.bytes.size() < 3 || picture.bytes[(240 * 640 + 300) * 3] == 0xF0) {
    state.SkipWithError("the item was not drawn");
    return;
  }
  int item = 0;
  for (auto _ : state) {
    ctrl.SetObject(0, item);
    ctrl.OnDraw(kBounds);
    benchmark::DoNotOptimize(ctrl.Picture().bytes.data());
    if (++item == count) item = 0;
  }
}
void CachedItem(benchmark::State& state) { Regenerate(state, 1, kDefaultArtCacheBytes, false); }
void Cached257Distinct(benchmark::State& state) { Regenerate(state, 257, kDefaultArtCacheBytes, false); }
void Uncached257Distinct(benchmark::State& state) { Regenerate(state, 257, 0, false); }
void CachedItemContainers(benchmark::State& state) { Regenerate(state, 1, kDefaultArtCacheBytes, true); }
void Cached257DistinctContainers(benchmark::State& state) { Regenerate(state, 257, kDefaultArtCacheBytes, true); }
void Uncached257DistinctContainers(benchmark::State& state) { Regenerate(state, 257, 0, true); }
BENCHMARK(CachedItem);
BENCHMARK(Cached257Distinct);
BENCHMARK(Uncached257Distinct);
BENCHMARK(CachedItemContainers);
BENCHMARK(Cached257DistinctContainers);
BENCHMARK(Uncached257DistinctContainers);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // Single runs, or the median of repetitions.
    for (const Run& run : runs) {
      if (run.aggregate_name.empty() || run.aggregate_name == "median") {
        times_[run.run_name.str()] = run.GetAdjustedCPUTime();
      }
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    auto fill = times_.find("PlainFill");
    if (fill == times_.end() || fill->second <= 0) return;
    for (const auto& [name, time] : times_) {
      if (name == "PlainFill" || time <= 0) continue;
      std::printf("%-30s %8.2f x the plain fill", name.c_str(), time / fill->second);
      const std::size_t twin = name.rfind("Containers");
      const auto files = twin == std::string::npos ? times_.end() : times_.find(name.substr(0, twin));
      if (files != times_.end() && files->second > 0) std::printf("  %6.2f x the index-file client", time / files->second);
      std::printf("\n");
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::filesystem::remove_all(ClientFolder(false));
  std::filesystem::remove_all(ClientFolder(true));
  return 0;
}
