// The File Explorer on the screen, on both screen sizes: a full repaint of its
// window listing 1,000 files (every window invalidated, the device run until each
// has painted: the navigation bar, the folder button, the list view's rows in sight
// with their icons, the menu bar), and the PNG encoding of that screen as the
// scenario runner writes it after a step. FillScreen (gdi_bench.cpp), one plain
// fill of the frame buffer, is the floor to read them against in the same run.
#include <benchmark/benchmark.h>
#include <time.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "gdi/png.h"
#include "handheld.h"
#include "kernel/process.h"
#include "user.h"
#include "scratch_device.h"

namespace {

using bench::ProcessCpuSeconds;

constexpr int kFiles = 1000;

// A handheld of that screen scale with the File Explorer open on a folder of 1,000
// files (written on the host before the File Explorer first lists it).
class ExplorerScreen {
 public:
  explicit ExplorerScreen(int scale) : handheld_(Options(scale)), user_(handheld_) {
    auto folder = handheld_.folder() / "Temp" / "Bench";
    std::filesystem::create_directories(folder);
    for (int i = 0; i < kFiles; ++i)
      std::ofstream(folder / ("報告書" + std::to_string(1000 + i) + (i % 3 ? ".txt" : ".lnk"))) << "x";
    started_ = sim::StartProgram(handheld_.device(), u"\\Windows\\fexplore.exe", u"\\Temp\\Bench\\") != nullptr;
    user_.settle();
  }
  bool ready() const { return started_ && user_.listItems().size() == kFiles; }
  sim::Device& device() { return handheld_.device(); }
  sim::User& user() { return user_; }

 private:
  static sim::HandheldOptions Options(int scale) {
    sim::HandheldOptions options;
    options.device.screenWidth = 240 * scale;
    options.device.screenHeight = 320 * scale;
    return options;
  }
  sim::Handheld handheld_;
  sim::User user_;
  bool started_ = false;
};

void RepaintFileExplorer(benchmark::State& state) {
  ExplorerScreen screen(static_cast<int>(state.range(0)));
  if (!screen.ready()) {
    state.SkipWithError("the File Explorer did not list the 1,000 files");
    return;
  }
  const double cpuBefore = ProcessCpuSeconds();
  for (auto _ : state) {
    InvalidateRect(nullptr, nullptr, TRUE);
    screen.device().scheduler().runUntilIdle();
  }
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  state.counters["cpu_ms_per_frame"] = 1000.0 * cpu / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RepaintFileExplorer)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void EncodeFileExplorerScreen(benchmark::State& state) {
  ExplorerScreen screen(static_cast<int>(state.range(0)));
  if (!screen.ready()) {
    state.SkipWithError("the File Explorer did not list the 1,000 files");
    return;
  }
  const sim::PixelBuffer& pixels = screen.user().screen();
  std::size_t bytes = 0;
  for (auto _ : state) bytes = sim::EncodePng(pixels).size();
  state.counters["png_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(EncodeFileExplorerScreen)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
