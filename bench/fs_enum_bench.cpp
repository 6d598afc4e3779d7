// Enumerating a folder of 10,000 files through the device's search API, beside
// the host's own directory iteration over the same folder.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "kernel/device.h"

namespace {

constexpr int kFileCount = 10000;

// The device folder with \Files holding the files; made once, removed at exit.
class BenchFolder {
 public:
  BenchFolder()
      : root_(std::filesystem::temp_directory_path() / ("fs-enum-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(root_ / "Files");
    for (int i = 0; i < kFileCount; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "File%05d.txt", (i * 7919) % kFileCount);
      std::ofstream(root_ / "Files" / name) << i;
    }
  }
  ~BenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

const BenchFolder& Folder() {
  static BenchFolder folder;
  return folder;
}

void DeviceFindFirstNext(benchmark::State& state) {
  sim::DeviceConfig config;
  config.root = Folder().root();
  sim::Device device(config);
  for (auto _ : state) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(u"\\Files\\*.*", &data);
    int count = 0;
    if (search != INVALID_HANDLE_VALUE) {
      do {
        benchmark::DoNotOptimize(data.nFileSizeLow);
        ++count;
      } while (FindNextFileW(search, &data));
      FindClose(search);
    }
    if (count != kFileCount) state.SkipWithError("the search did not see every file");
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}

void HostDirectoryIterator(benchmark::State& state) {
  auto folder = Folder().root() / "Files";
  for (auto _ : state) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      benchmark::DoNotOptimize(entry.path());
      ++count;
    }
    if (count != kFileCount) state.SkipWithError("the iteration did not see every file");
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}

// The host iteration with what a search reports of each entry: size and time.
void HostDirectoryIteratorWithDetails(benchmark::State& state) {
  auto folder = Folder().root() / "Files";
  for (auto _ : state) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      benchmark::DoNotOptimize(entry.file_size());
      benchmark::DoNotOptimize(entry.last_write_time());
      ++count;
    }
    if (count != kFileCount) state.SkipWithError("the iteration did not see every file");
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}

}  // namespace

BENCHMARK(DeviceFindFirstNext)->Unit(benchmark::kMillisecond);
BENCHMARK(HostDirectoryIterator)->Unit(benchmark::kMillisecond);
BENCHMARK(HostDirectoryIteratorWithDetails)->Unit(benchmark::kMillisecond);
