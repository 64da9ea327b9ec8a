// Regenerating a map preview (land, statics) at 640 x 480 (25 blocks) and
// 1920 x 1080 (169 blocks) on a generated client whose statics reuse a few
// hundred art entries, against merely reading every byte the preview needs,
// measured in the same run:
//   - ReadOnce: each file opened once, every needed range read from it;
//   - ReadOpenEach: the same ranges, each read opening and closing its file,
//     as the control's readers do.
// Two clients: 200 items with 40 land tiles (240 entries: they fit ArtCache's
// 256) and 300 items (340 entries: they do not). Each benchmark reports the
// files opened per regeneration ("opens"); the ratios close the output.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/platform/file_access.h"
#include "artcontrol/render/map_preview.h"
#include "open_counter.h"
#include "tilvo/tilvo.h"
#include "tools/tilvo-mkclient/art_formats.h"

namespace {

using namespace tilvo;
namespace mk = tilvo::mkclient;

constexpr std::uint32_t kColumns = 13;  // blocks 0 to 12 in both directions around block (6, 6)
constexpr std::uint32_t kCentre = 6 * 512 + 6;
constexpr std::uint32_t kLandTiles = 40;
constexpr int kStaticsPerBlock = 24;
constexpr std::uint16_t kFlags = 0x30;  // land and statics

struct NullSite : TilvoSite {
  void InvalidateControl(bool) override {}
  std::uint32_t ButtonFaceColor() override { return 0x00F0F0F0; }
  void CopyToScreen(const PixelBuffer&, std::int32_t, std::int32_t) override {}
};

// One byte range of one file that a regeneration reads.
struct Range {
  std::string file;
  std::uint64_t offset;
  std::uint32_t length;
};

struct Client {
  std::string dir;
  std::map<std::string, mk::Bytes> files;  // kept to work out the ranges
};

std::uint32_t U32At(const mk::Bytes& bytes, std::size_t at) {
  ByteReader reader(bytes);
  std::uint32_t value = 0;
  reader.Seek(at);
  reader.ReadU32(value);
  return value;
}

mk::ItemArt Item(std::uint32_t id) {
  const auto height = static_cast<std::uint16_t>(20 + id % 60);
  mk::ItemArt art{44, height, {}};
  for (std::uint16_t y = 0; y < height; ++y) {
    const auto colour = mk::Client(id & 31, y & 31, 9);
    art.rows.push_back({{static_cast<std::uint16_t>(y % 5), std::vector<std::uint16_t>(18, colour)},
                        {4, std::vector<std::uint16_t>(17, colour)}});
  }
  return art;
}

Client MakeClient(std::uint32_t items) {
  Client client;
  client.dir = (std::filesystem::temp_directory_path() /
                ("tilvo-bench-map-" + std::to_string(items) + "-" + std::to_string(std::random_device{}())))
                   .string();
  mk::IndexedFiles art;
  for (std::uint32_t t = 1; t <= kLandTiles; ++t) {
    art.Set(t, mk::EncodeLandTile(std::vector<std::uint16_t>(1012, mk::Client(t & 31, 20, 5))));
  }
  for (std::uint32_t id = 0; id < items; ++id) art.Set(0x4000 + id, mk::EncodeItemArt(Item(id)));
  mk::Bytes map;
  mk::IndexedFiles statics;
  for (std::uint32_t b = 0; b < kColumns * 512; ++b) {
    mk::MapBlock land{};
    for (std::uint32_t i = 0; i < land.size(); ++i) {
      land[i] = {static_cast<std::uint16_t>(1 + (b * 7 + i * 13) % kLandTiles), static_cast<std::int8_t>(static_cast<int>((i * 3 + b) % 5) - 2)};
    }
    const mk::Bytes block = mk::EncodeMapBlock(land);
    map.insert(map.end(), block.begin(), block.end());
    if (b % 512 >= kColumns) continue;  // statics only where the previews look
    std::vector<mk::StaticItem> list;
    for (int k = 0; k < kStaticsPerBlock; ++k) {
      const auto uk = static_cast<std::uint32_t>(k);
      list.push_back({static_cast<std::uint16_t>((b * 31 + uk * 17) % items), static_cast<std::uint8_t>(k % 8),
                      static_cast<std::uint8_t>((k * 3) % 8), static_cast<std::int8_t>((k % 4) * 3), 0});
    }
    statics.Set(b, mk::EncodeStatics(list));
  }
  mk::Bytes tiledata(0xFD000, 0);
  for (std::uint32_t t = 0; t < 16384; ++t) tiledata[428032 + (t / 32) * 1188 + 4 + (t % 32) * 37 + 16] = static_cast<std::uint8_t>(t % 20);
  client.files["artidx.mul"] = art.Index(0x10000);
  client.files["art.mul"] = art.Data();
  client.files["map0.mul"] = map;
  client.files["staidx0.mul"] = statics.Index(kColumns * 512);
  client.files["statics0.mul"] = statics.Data();
  client.files["tiledata.mul"] = tiledata;
  mk::ClientFolder folder{client.files};
  std::string error;
  if (!folder.Write(client.dir, error)) {
    std::cerr << "cannot write the bench client: " << error << "\n";
    std::exit(1);
  }
  return client;
}

// Every range a regeneration of the preview needs, each art entry once.
std::vector<Range> NeededRanges(const Client& client, std::int32_t w, std::int32_t h) {
  const mk::Bytes& staidx = client.files.at("staidx0.mul");
  const mk::Bytes& statics = client.files.at("statics0.mul");
  const mk::Bytes& map = client.files.at("map0.mul");
  const mk::Bytes& artidx = client.files.at("artidx.mul");
  std::vector<Range> ranges;
  std::set<std::uint32_t> entries;
  for (const DrawRequest& req : PreviewBlockRequests({kCentre, kFlags, 0, w, h, w - w % 8, h - h % 8})) {
    const std::uint32_t b = req.index;
    ranges.push_back({"map0.mul", std::uint64_t{b} * 196, 196});
    for (std::size_t i = 0; i < 64; ++i) entries.insert(map[std::size_t{b} * 196 + 4 + i * 3] | map[std::size_t{b} * 196 + 5 + i * 3] << 8);
    ranges.push_back({"staidx0.mul", std::uint64_t{b} * 12, 12});
    const std::uint32_t offset = U32At(staidx, std::size_t{b} * 12);
    const std::uint32_t length = U32At(staidx, std::size_t{b} * 12 + 4);
    if (offset == 0xFFFFFFFF || length == 0) continue;
    ranges.push_back({"statics0.mul", offset, length});
    for (std::uint32_t at = offset; at + 7 <= offset + length; at += 7) entries.insert(0x4000u + (statics[at] | statics[at + 1] << 8));
  }
  for (std::uint32_t n : entries) {
    ranges.push_back({"artidx.mul", std::uint64_t{n} * 12, 12});
    ranges.push_back({"art.mul", U32At(artidx, std::size_t{n} * 12), U32At(artidx, std::size_t{n} * 12 + 4)});
  }
  return ranges;
}

const Client& ClientOf(std::uint32_t items) {
  static std::map<std::uint32_t, Client> clients;
  auto found = clients.find(items);
  if (found == clients.end()) found = clients.emplace(items, MakeClient(items)).first;
  return found->second;
}

void ReportOpens(benchmark::State& state, std::uint64_t before) {
  state.counters["opens"] = benchmark::Counter(static_cast<double>(bench::FilesOpened() - before),
                                               benchmark::Counter::kAvgIterations);
}

void Regenerate(benchmark::State& state, std::uint32_t items, std::int32_t w, std::int32_t h) {
  NullSite site;
  CTilvoCtrl ctrl(site, ClientOf(items).dir);
  ctrl.SetObject(8, static_cast<std::int32_t>(kCentre));
  ctrl.SetDrawFlags(kFlags);
  const Rect bounds{0, 0, w, h};
  ctrl.OnDraw(bounds);  // builds the art size table and fills the cache
  // A bench that drew nothing would measure nothing.
  const std::vector<std::uint8_t>& bytes = ctrl.Picture().bytes;
  if (std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xF0; })) {
    state.SkipWithError("the preview was not drawn");
    return;
  }
  const std::uint64_t before = bench::FilesOpened();
  for (auto _ : state) {
    ctrl.RedrawControl();
    ctrl.OnDraw(bounds);
    benchmark::DoNotOptimize(ctrl.Picture().bytes.data());
  }
  ReportOpens(state, before);
  state.counters["blocks"] = static_cast<double>(PreviewBlockRequests({kCentre, kFlags, 0, w, h, w, h}).size());
}

void ReadOnce(benchmark::State& state, std::uint32_t items, std::int32_t w, std::int32_t h) {
  const Client& client = ClientOf(items);
  const std::vector<Range> ranges = NeededRanges(client, w, h);
  std::vector<std::uint8_t> buffer;
  std::uint64_t bytes = 0;
  const std::uint64_t before = bench::FilesOpened();
  for (auto _ : state) {
    std::map<std::string, std::unique_ptr<platform::ReadOnlyFile>> open;
    for (const Range& range : ranges) {
      auto& file = open[range.file];
      if (!file) file = std::make_unique<platform::ReadOnlyFile>(client.dir + "/" + range.file);
      buffer.resize(range.length);
      bytes += static_cast<std::uint64_t>(file->ReadAt(range.offset, buffer));
      benchmark::DoNotOptimize(buffer.data());
    }
  }
  ReportOpens(state, before);
  state.counters["bytes"] = benchmark::Counter(static_cast<double>(bytes), benchmark::Counter::kAvgIterations);
}

void ReadOpenEach(benchmark::State& state, std::uint32_t items, std::int32_t w, std::int32_t h) {
  const Client& client = ClientOf(items);
  const std::vector<Range> ranges = NeededRanges(client, w, h);
  std::vector<std::uint8_t> buffer;
  const std::uint64_t before = bench::FilesOpened();
  for (auto _ : state) {
    for (const Range& range : ranges) {
      platform::ReadFileRange(client.dir + "/" + range.file, range.offset, range.length, buffer);
      benchmark::DoNotOptimize(buffer.data());
    }
  }
  ReportOpens(state, before);
}

// Prints, per client and size, the regeneration's CPU time as a multiple of each reading baseline.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.aggregate_name.empty() || run.aggregate_name == "median") times_[run.run_name.str()] = run.GetAdjustedCPUTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [name, time] : times_) {
      if (name.rfind("Regenerate/", 0) != 0) continue;
      const std::string rest = name.substr(std::string("Regenerate").size());
      const double once = times_["ReadOnce" + rest];
      const double each = times_["ReadOpenEach" + rest];
      if (once > 0 && each > 0) {
        std::printf("%-32s %7.1f x ReadOnce   %6.2f x ReadOpenEach\n", name.c_str(), time / once, time / each);
      }
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  struct Size {
    const char* name;
    std::int32_t w, h;
  };
  for (std::uint32_t items : {200u, 300u}) {
    for (const Size size : {Size{"640x480", 640, 480}, Size{"1920x1080", 1920, 1080}}) {
      const std::string suffix = "/" + std::to_string(items) + "items/" + size.name;
      benchmark::RegisterBenchmark(("Regenerate" + suffix).c_str(), Regenerate, items, size.w, size.h)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("ReadOnce" + suffix).c_str(), ReadOnce, items, size.w, size.h)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("ReadOpenEach" + suffix).c_str(), ReadOpenEach, items, size.w, size.h)
          ->Unit(benchmark::kMillisecond);
    }
  }
  if (bench::FilesOpened() == 0) {
    // Make sure the count works before trusting it.
    platform::ReadOnlyFile probe("/proc/self/stat");
    if (bench::FilesOpened() == 0) std::cerr << "note: file opens are not being counted\n";
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (std::uint32_t items : {200u, 300u}) std::filesystem::remove_all(ClientOf(items).dir);
  return 0;
}
