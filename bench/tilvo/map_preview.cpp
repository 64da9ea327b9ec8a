// Regenerating a map preview (land, statics and the host's preview items,
// less its hidden statics) at 640 x 480 (25 blocks) and 1920 x 1080 (169
// blocks) on a generated client whose statics reuse a few hundred art
// entries, against two references measured in the same run:
//   - PlainFill: filling the same picture with the background alone;
//   - ReadOnce: each file opened once, every byte range the preview needs read
//     from it.
// Two clients: 200 items with 40 land tiles (240 distinct entries) and 300
// items (340), each also as its container twin (art and map in containers,
// as current clients store them), which RegenerateContainers draws and the
// closing figures set beside the index-file client's. Each benchmark reports
// the files opened per regeneration ("opens").

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
#include "artcontrol/render/pixel_buffer.h"
#include "testing/tilvo/container_writer.h"
#include "testing/tilvo/map_client.h"

namespace {

using namespace tilvo;
namespace mk = tilvo::mkclient;

constexpr std::uint32_t kCentre = mk::kMapClientCentre;
constexpr std::uint16_t kFlags = 0x70;  // land, statics and preview items

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
  mk::ClientFolder folder;  // kept to work out the ranges
};

std::uint32_t U32At(const mk::Bytes& bytes, std::size_t at) {
  ByteReader reader(bytes);
  std::uint32_t value = 0;
  reader.Seek(at);
  reader.ReadU32(value);
  return value;
}

Client MakeClient(std::uint32_t items, bool containers) {
  Client client{(std::filesystem::temp_directory_path() / ("tilvo-bench-map-" + std::to_string(items) +
                                                           (containers ? "-containers-" : "-") +
                                                           std::to_string(std::random_device{}())))
                    .string(),
                containers ? mk::ContainerTwin(mk::MapClient(items)) : mk::MapClient(items)};
  std::string error;
  if (!client.folder.Write(client.dir, error)) {
    std::cerr << "cannot write the bench client: " << error << "\n";
    std::exit(1);
  }
  return client;
}

// Every range a regeneration of the preview needs, each art entry once.
std::vector<Range> NeededRanges(const Client& client, std::int32_t w, std::int32_t h) {
  const mk::Bytes& staidx = client.folder.files.at("staidx0.mul");
  const mk::Bytes& statics = client.folder.files.at("statics0.mul");
  const mk::Bytes& map = client.folder.files.at("map0.mul");
  const mk::Bytes& artidx = client.folder.files.at("artidx.mul");
  std::vector<Range> ranges;
  std::set<std::uint32_t> entries;
  for (const DrawRequest& req : PreviewBlockRequests({kCentre, kFlags, 0, w, h, w - w % 8, h - h % 8, kMapColumns})) {
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

std::map<std::pair<std::uint32_t, bool>, Client>& Clients() {
  static std::map<std::pair<std::uint32_t, bool>, Client> clients;
  return clients;
}

const Client& ClientOf(std::uint32_t items, bool containers = false) {
  auto found = Clients().find({items, containers});
  if (found == Clients().end()) found = Clients().emplace(std::pair(items, containers), MakeClient(items, containers)).first;
  return found->second;
}

void ReportOpens(benchmark::State& state, std::uint64_t before) {
  state.counters["opens"] = benchmark::Counter(static_cast<double>(bench::FilesOpened() - before),
                                               benchmark::Counter::kAvgIterations);
}

void Regenerate(benchmark::State& state, std::uint32_t items, std::int32_t w, std::int32_t h, bool containers) {
  NullSite site;
  CTilvoCtrl ctrl(site, ClientOf(items, containers).dir);
  for (const mk::MapPreviewItem& p : mk::MapClientPreviewItems(items)) ctrl.AddPreviewItem(p.id, p.x, p.y, p.z, p.color);
  for (const mk::MapHiddenStatic& s : mk::MapClientHiddenStatics(items)) {
    ctrl.AddHideStatic(s.id, static_cast<std::int32_t>(s.block), s.x, s.y, s.z, s.color);
  }
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
  state.counters["blocks"] = static_cast<double>(PreviewBlockRequests({kCentre, kFlags, 0, w, h, w, h, kMapColumns}).size());
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

void PlainFill(benchmark::State& state, std::int32_t w, std::int32_t h) {
  PixelBuffer pixels;
  for (auto _ : state) {
    FillPicture(pixels, {w - w % 8, h - h % 8}, 0x00F0F0F0);
    benchmark::DoNotOptimize(pixels.bytes.data());
  }
}

// Prints each regeneration's CPU time beside the plain fill of the same
// picture and the reading baseline, with the files it opened.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
      times_[run.run_name.str()] = run.GetAdjustedCPUTime();
      auto opens = run.counters.find("opens");
      if (opens != run.counters.end()) opens_[run.run_name.str()] = opens->second;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [name, time] : times_) {
      if (name.rfind("Regenerate/", 0) != 0) continue;
      const std::string rest = name.substr(std::string("Regenerate").size());
      const std::string size = rest.substr(rest.rfind('/'));
      const double fill = times_["PlainFill" + size];
      const double once = times_["ReadOnce" + rest];
      if (fill > 0 && once > 0) {
        std::printf("%-30s %7.2f ms  plain fill %5.2f ms (%5.1f x)  ReadOnce %5.2f ms (%5.1f x)  %5.0f opens\n",
                    name.c_str(), time, fill, time / fill, once, time / once, opens_[name]);
      }
      const std::string twin = "RegenerateContainers" + rest;
      if (times_[twin] > 0 && fill > 0) {
        std::printf("%-30s %7.2f ms  plain fill %5.2f ms (%5.1f x)  index files %5.2f ms (%5.2f x)  %5.0f opens\n",
                    twin.c_str(), times_[twin], fill, times_[twin] / fill, time, times_[twin] / time, opens_[twin]);
      }
    }
  }

 private:
  std::map<std::string, double> times_;
  std::map<std::string, double> opens_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  struct Size {
    const char* name;
    std::int32_t w, h;
  };
  for (const Size size : {Size{"640x480", 640, 480}, Size{"1920x1080", 1920, 1080}}) {
    benchmark::RegisterBenchmark((std::string("PlainFill/") + size.name).c_str(), PlainFill, size.w, size.h)
        ->Unit(benchmark::kMillisecond);
  }
  for (std::uint32_t items : {200u, 300u}) {
    for (const Size size : {Size{"640x480", 640, 480}, Size{"1920x1080", 1920, 1080}}) {
      const std::string suffix = "/" + std::to_string(items) + "items/" + size.name;
      benchmark::RegisterBenchmark(("Regenerate" + suffix).c_str(), Regenerate, items, size.w, size.h, false)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("RegenerateContainers" + suffix).c_str(), Regenerate, items, size.w, size.h, true)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("ReadOnce" + suffix).c_str(), ReadOnce, items, size.w, size.h)
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
  for (const auto& [key, client] : Clients()) std::filesystem::remove_all(client.dir);
  return 0;
}
