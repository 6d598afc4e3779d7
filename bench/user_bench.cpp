// SendMessageW within one thread (a direct call of the procedure) and across
// threads (the sender blocks, the receiver answers at its next GetMessageW and the
// CPU changes hands twice per message): messages per second of real time; the CPU
// column is the host process's, all its host threads together, which a loaded
// machine disturbs less.
#include <benchmark/benchmark.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>

#include <windows.h>

#include "kernel/device.h"
#include "kernel/process.h"
#include "scratch_device.h"

namespace {

LRESULT CALLBACK EchoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER) return static_cast<LRESULT>(wParam + 1);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeEchoWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = EchoProc;
  wc.lpszClassName = u"Echo";
  RegisterClassW(&wc);
  return CreateWindowExW(0, u"Echo", u"echo", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr, nullptr);
}

void BM_SendMessageSameThread(benchmark::State& state) {
  bench::ScratchDevice device("user-bench");
  sim::StartFunction(*device, u"\\Windows\\bench.exe", [&state] {
    HWND hwnd = MakeEchoWindow();
    WPARAM n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(n = static_cast<WPARAM>(SendMessageW(hwnd, WM_USER, n, 0)));
    return 0;
  });
  (*device).scheduler().settle(10000, 3600 * 1000);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendMessageSameThread)->MeasureProcessCPUTime()->UseRealTime();

void BM_SendMessageAcrossThreads(benchmark::State& state) {
  bench::ScratchDevice device("user-bench");
  HWND hwnd = nullptr;
  sim::StartFunction(*device, u"\\Windows\\receiver.exe", [&hwnd] {
    hwnd = MakeEchoWindow();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
  });
  (*device).scheduler().settle(10000, 3600 * 1000);
  sim::StartFunction(*device, u"\\Windows\\sender.exe", [&state, &hwnd] {
    WPARAM n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(n = static_cast<WPARAM>(SendMessageW(hwnd, WM_USER, n, 0)));
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return 0;
  });
  (*device).scheduler().settle(10000, 3600 * 1000);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendMessageAcrossThreads)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
