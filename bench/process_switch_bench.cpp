// The cost of a process switch: two processes ping-pong through a pair of events, so
// every wait hands the CPU to the other process. Once with images that carry no data,
// once with two processes of one image that carries the companion's and the dialog
// library's data (what a process of the companion holds), whose bytes are swapped at
// every switch.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include <windows.h>

#include "kernel/device.h"
#include "kernel/image_registry.h"
#include "kernel/process.h"

std::vector<std::span<std::byte>> brackenway_image_data();
std::vector<std::span<std::byte>> vornkit_image_data();

namespace {

constexpr int kRoundTrips = 2000;

std::vector<std::span<std::byte>> SuiteData() {
  auto data = brackenway_image_data();
  for (auto section : vornkit_image_data()) data.push_back(section);
  return data;
}

std::size_t Bytes(const std::vector<std::span<std::byte>>& data) {
  std::size_t bytes = 0;
  for (auto section : data) bytes += section.size();
  return bytes;
}

// One side of the ping-pong: signals `give`, waits for `take`, `kRoundTrips` times.
sim::ProgramImage Player(std::u16string path, std::vector<std::span<std::byte>> data, bool serves) {
  sim::ProgramImage image;
  image.path = std::move(path);
  image.data = std::move(data);
  image.main = [serves](HINSTANCE, HINSTANCE, LPWSTR, int) {
    HANDLE ping = CreateEventW(nullptr, FALSE, FALSE, u"ping");
    HANDLE pong = CreateEventW(nullptr, FALSE, FALSE, u"pong");
    for (int i = 0; i < kRoundTrips; ++i) {
      if (serves) {
        SetEvent(ping);
        WaitForSingleObject(pong, INFINITE);
      } else {
        WaitForSingleObject(ping, INFINITE);
        SetEvent(pong);
      }
    }
    CloseHandle(ping);
    CloseHandle(pong);
    return 0;
  };
  return image;
}

// Seconds for kRoundTrips round trips (two switches each) between two processes.
double PingPong(const std::vector<std::span<std::byte>>& data) {
  auto root = std::filesystem::temp_directory_path() / ("handheld-switch-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root);
  double seconds = 0;
  {
    sim::DeviceConfig config;
    config.root = root;
    sim::Device device(config);
    auto& registry = device.service<sim::ImageRegistry>();
    registry.install(Player(u"\\Windows\\server.exe", data, true));
    registry.install(Player(u"\\Windows\\client.exe", data, false));
    sim::StartProgram(device, u"\\Windows\\client.exe", u"");
    sim::StartProgram(device, u"\\Windows\\server.exe", u"");
    auto start = std::chrono::steady_clock::now();
    device.scheduler().runUntilIdle();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return seconds;
}

// An iteration is one ping-pong; "per_switch" is the time of one switch.
void Switch(benchmark::State& state, const std::vector<std::span<std::byte>>& data) {
  for (auto _ : state) state.SetIterationTime(PingPong(data));
  state.counters["per_switch"] =
      benchmark::Counter(2.0 * kRoundTrips, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["bytes_swapped"] = static_cast<double>(Bytes(data));
}

void BM_ProcessSwitchWithoutData(benchmark::State& state) { Switch(state, {}); }
void BM_ProcessSwitchSwappingData(benchmark::State& state) { Switch(state, SuiteData()); }

BENCHMARK(BM_ProcessSwitchWithoutData)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessSwitchSwappingData)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
