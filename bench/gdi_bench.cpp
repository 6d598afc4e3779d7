// Drawing on the screen: a plain fill of the whole frame buffer beside a text-heavy
// paint (1,000 lines of DrawTextW into a memory context) and the PNG encoding of
// one screen, on both screen sizes. The fill is the floor a repaint cannot beat.
#include <benchmark/benchmark.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>

#include <windows.h>

#include "gdi/frame_buffer.h"
#include "gdi/png.h"
#include "kernel/device.h"
#include "scratch_device.h"

namespace {

const char16_t* const kLines[] = {u"ｼｮｰﾄｶｯﾄの貼り付けの確認", u"\\My Documents\\Brackenway\\報告書.txt",
                                  u"編集  送る  ﾏｲ ﾃﾞﾊﾞｲｽ", u"2002/04/01 09:00  12,345 ﾊﾞｲﾄ"};

void FillScreen(benchmark::State& state) {
  int scale = static_cast<int>(state.range(0));
  bench::ScratchDevice device("gdi-bench", scale);
  HDC screen = GetDC(nullptr);
  RECT all{0, 0, 240 * scale, 320 * scale};
  HBRUSH brushes[] = {GetSysColorBrush(COLOR_WINDOW), GetSysColorBrush(COLOR_BTNFACE)};
  int frame = 0;
  for (auto _ : state) FillRect(screen, &all, brushes[frame++ & 1]);
  ReleaseDC(nullptr, screen);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FillScreen)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// 1,000 lines of text into a memory context as large as the screen.
void ThousandTextLines(benchmark::State& state) {
  int scale = static_cast<int>(state.range(0));
  bench::ScratchDevice device("gdi-bench", scale);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 240 * scale, 320 * scale);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  int lineHeight = 12 * scale;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      int top = (i * lineHeight) % (320 * scale - lineHeight);
      RECT line{0, top, 240 * scale, top + lineHeight};
      DrawTextW(dc, kLines[i % 4], -1, &line, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
  }
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(ThousandTextLines)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// One screen full of text written as PNG.
void EncodeScreen(benchmark::State& state) {
  int scale = static_cast<int>(state.range(0));
  bench::ScratchDevice device("gdi-bench", scale);
  HDC screen = GetDC(nullptr);
  for (int i = 0; i < 26; ++i) {
    RECT line{0, i * 12 * scale, 240 * scale, (i + 1) * 12 * scale};
    DrawTextW(screen, kLines[i % 4], -1, &line, DT_SINGLELINE);
  }
  ReleaseDC(nullptr, screen);
  std::size_t bytes = 0;
  for (auto _ : state) bytes = sim::EncodePng(sim::FrameBuffer::get().pixels()).size();
  state.counters["png_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(EncodeScreen)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
