// tilvo-viewer's grid on a client of 0x10000 items (tilvo-mkclient
// --all-items --tiledata-layout new), each figure beside a reference measured
// in the same run:
//   - opening the client and showing the first screen of the grid (the
//     window made, the entries listed, every thumbnail in view drawn),
//     beside reading the files it reads whole (art index, tile data, hues);
//   - one frame of a scroll through the grid, a screenful of 220 thumbnails
//     newly in view: cold (neither the thumbnails nor the art drawn before),
//     with the art cached in the control (the thumbnails drawn anew, as
//     after a change of hue), and with the thumbnails kept (scrolling back);
//     beside a plain fill of 220 pictures of a thumbnail's first size;
//   - a name search over all items, beside a plain search of the same names;
//   - the export of all items as PNG files, in items per second, beside
//     tilvo-render --all writing the same files.
// Times are wall-clock (the window's work is all on this thread).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QScrollBar>
#include <QSettings>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>

#include "art_grid_model.h"
#include "artcontrol/render/pixel_buffer.h"
#include "grid_delegate.h"
#include "testing/tilvo/synthetic_client.h"
#include "tilvo/headless_site.h"
#include "viewer_window.h"

namespace {

using namespace tilvo;
using namespace tilvo::viewer;

constexpr int kSide = ViewerWindow::kThumbnailSide;
constexpr int kFrameThumbnails = 220;

std::filesystem::path Scratch() {
  static const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tilvo-bench-viewer-" + std::to_string(std::random_device{}()));
  return dir;
}

const std::string& Client() {
  static const std::string folder = [] {
    mkclient::ClientOptions options;
    options.allItems = true;
    options.tileLayout = mkclient::TileLayout::kWideFlags;
    const std::string dir = (Scratch() / "client").string();
    std::string error;
    if (!mkclient::StandardClient(options).Write(dir, error)) {
      std::cerr << "cannot write the bench client: " << error << "\n";
      std::exit(1);
    }
    return dir;
  }();
  return folder;
}

void ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  benchmark::DoNotOptimize(bytes.data());
}

void ReadTheTables(benchmark::State& state) {
  for (auto _ : state) {
    for (const char* name : {"artidx.mul", "tiledata.mul", "hues.mul", "verdata.mul"}) ReadWhole(Client() + "/" + name);
  }
}
BENCHMARK(ReadTheTables)->Unit(benchmark::kMillisecond)->UseRealTime();

void OpenAndShowFirstScreen(benchmark::State& state) {
  ViewerOptions options;
  options.client = Client();
  options.type = 0;
  for (auto _ : state) {
    ViewerWindow window(options);
    window.Thumbnails().SetFrameBudget(0);
    window.resize(1100, 700);
    window.show();
    benchmark::DoNotOptimize(window.grab());
    state.PauseTiming();
    window.close();
    state.ResumeTiming();
  }
}
BENCHMARK(OpenAndShowFirstScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

void PlainFillOfAFrame(benchmark::State& state) {
  PixelBuffer pixels;
  for (auto _ : state) {
    for (int i = 0; i < kFrameThumbnails; ++i) {
      FillPicture(pixels, {128, 128}, 0x00030201);
      benchmark::DoNotOptimize(pixels.bytes.data());
    }
  }
}
BENCHMARK(PlainFillOfAFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// A grid of 22 x 10 cells over the model, as the window's.
struct Grid {
  explicit Grid(ThumbnailCache& thumbnails) : model(thumbnails) {
    control = std::make_unique<CTilvoCtrl>(site, Client());
    thumbnails.SetFrameBudget(0);
    model.Load(*control, *render_tool::FindArtKind(std::int16_t{0}));
    auto* cells = new GridDelegate(kSide, &view);
    view.setItemDelegate(cells);
    view.setViewMode(QListView::IconMode);
    view.setUniformItemSizes(true);
    view.setMovement(QListView::Static);
    view.setGridSize(cells->CellSize());
    view.setModel(&model);
    view.resize(cells->CellSize().width() * 22 + 30, cells->CellSize().height() * 10 + 4);
    view.show();
    view.viewport()->grab();
  }
  // Scrolls one screenful on (back to the top at the end) and paints it.
  void Frame(bool forward) {
    QScrollBar* bar = view.verticalScrollBar();
    const int next = bar->value() + (forward ? bar->pageStep() : -bar->pageStep());
    bar->setValue(next > bar->maximum() || next < 0 ? 0 : next);
    benchmark::DoNotOptimize(view.viewport()->grab());
  }
  HeadlessSite site;
  std::unique_ptr<CTilvoCtrl> control;
  ArtGridModel model;
  QListView view;
};

void ScrollFrame(benchmark::State& state, int mode) {
  ThumbnailCache thumbnails(kSide);
  thumbnails.SetClient(Client());
  Grid grid(thumbnails);
  if (mode != 0) {
    // Every thumbnail of the first 60 screens is drawn once, so their art is in the control's cache.
    for (int i = 0; i < 60; ++i) grid.Frame(true);
    grid.view.verticalScrollBar()->setValue(0);
  }
  std::int16_t hue = 0;
  for (auto _ : state) {
    if (mode == 1) {
      // Another hue: the thumbnails are drawn anew from the art the control keeps.
      state.PauseTiming();
      thumbnails.SetHue(hue = static_cast<std::int16_t>(hue == 1 ? 2 : 1));
      state.ResumeTiming();
    }
    grid.Frame(mode != 2 || grid.view.verticalScrollBar()->value() < grid.view.verticalScrollBar()->pageStep() * 59);
  }
  state.counters["thumbnails"] = kFrameThumbnails;
}
void ScrollFrameCold(benchmark::State& state) { ScrollFrame(state, 0); }
void ScrollFrameArtCached(benchmark::State& state) { ScrollFrame(state, 1); }
void ScrollFrameThumbnailsKept(benchmark::State& state) { ScrollFrame(state, 2); }
// Cold frames run out of new items after 297 screens.
BENCHMARK(ScrollFrameCold)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);
BENCHMARK(ScrollFrameArtCached)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ScrollFrameThumbnailsKept)->Unit(benchmark::kMillisecond)->UseRealTime();

// The items' catalog, read once.
const ArtCatalog& Items() {
  static const ArtCatalog catalog = [] {
    HeadlessSite site;
    CTilvoCtrl control(site, Client());
    ArtCatalog items;
    items.Load(control, *render_tool::FindArtKind(std::int16_t{0}));
    return items;
  }();
  return catalog;
}

void PlainNameSearch(benchmark::State& state) {
  for (auto _ : state) {
    std::size_t hits = 0;
    for (const CatalogEntry& entry : Items().Entries()) hits += entry.name.find("wooden chair") != std::string::npos;
    benchmark::DoNotOptimize(hits);
  }
}
BENCHMARK(PlainNameSearch)->Unit(benchmark::kMillisecond)->UseRealTime();

void NameSearch(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Items().Filter({"Wooden Chair", 0, false}));
  state.counters["hits"] = static_cast<double>(Items().Filter({"Wooden Chair", 0, false}).size());
}
BENCHMARK(NameSearch)->Unit(benchmark::kMillisecond)->UseRealTime();

void ExportAllItems(benchmark::State& state) {
  ViewerOptions options;
  options.client = Client();
  ViewerWindow window(options);
  window.ShowKind(0);
  const std::vector<std::uint32_t> ids = window.Grid().Ids();
  const std::string out = (Scratch() / "viewer-export").string();
  for (auto _ : state) {
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    benchmark::DoNotOptimize(window.ExportEntries(ids, QString::fromStdString(out)).written);
  }
  state.counters["items/s"] = benchmark::Counter(static_cast<double>(ids.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(ExportAllItems)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void TilvoRenderExportsAllItems(benchmark::State& state) {
  const std::string out = (Scratch() / "render-export").string();
  const std::string command = std::string(TILVO_RENDER_BINARY) + " --client " + Client() +
                              " --type items --all --out-dir " + out + " > /dev/null 2>&1";
  HeadlessSite site;
  CTilvoCtrl control(site, Client());
  const std::size_t items = control.GetHeldEntries(0).size();
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(out);
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("tilvo-render failed");
  }
  state.counters["items/s"] = benchmark::Counter(static_cast<double>(items), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(TilvoRenderExportsAllItems)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Keeps each benchmark's time for the comparisons printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // The name without its "/iterations:1/real_time".
      const std::string name = run.run_name.function_name;
      if (run.aggregate_name.empty() || run.aggregate_name == "median") times_[name] = run.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const struct {
      const char* name;
      const char* reference;
      const char* goal;
    } rows[] = {
        {"OpenAndShowFirstScreen", "ReadTheTables", "under 200 ms"},
        {"ScrollFrameCold", "PlainFillOfAFrame", "under 50 ms"},
        {"ScrollFrameArtCached", "PlainFillOfAFrame", "under 16 ms"},
        {"ScrollFrameThumbnailsKept", "PlainFillOfAFrame", "under 16 ms"},
        {"NameSearch", "PlainNameSearch", "under 10 ms"},
        {"ExportAllItems", "TilvoRenderExportsAllItems", "as fast as tilvo-render"},
    };
    std::printf("\n%-28s %10s   %-28s %10s %8s   %s\n", "case", "ms", "reference", "ms", "ratio", "goal");
    for (const auto& row : rows) {
      const auto time = times_.find(row.name);
      const auto reference = times_.find(row.reference);
      if (time == times_.end() || reference == times_.end() || reference->second <= 0) continue;
      std::printf("%-28s %10.2f   %-28s %10.2f %8.2f   %s\n", row.name, time->second, row.reference, reference->second,
                  time->second / reference->second, row.goal);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The offscreen platform's note on every window shown would bury the table.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
    if (!message.contains(QStringLiteral("propagateSizeHints"))) std::fprintf(stderr, "%s\n", qPrintable(message));
  });
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Gyrion"));
  QCoreApplication::setApplicationName(QStringLiteral("tilvo-viewer-bench"));
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString((Scratch() / "settings").string()));
  benchmark::Initialize(&argc, argv);
  Client();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::filesystem::remove_all(Scratch());
  return 0;
}
