// Building a dialog from a template: window, controls, WM_INITDIALOG, and taking it
// down again (dialogs per second).
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include <windows.h>

#include "kernel/device.h"
#include "kernel/process.h"

namespace {

// A classic template with a caption, a label, an edit box, three radio buttons, a
// check box and two push buttons, built as the resource compiler lays it out.
std::vector<std::uint32_t> SetupLikeTemplate() {
  std::vector<unsigned char> bytes;
  auto put16 = [&](WORD v) {
    bytes.push_back(static_cast<unsigned char>(v & 0xFF));
    bytes.push_back(static_cast<unsigned char>(v >> 8));
  };
  auto put32 = [&](DWORD v) {
    put16(static_cast<WORD>(v & 0xFFFF));
    put16(static_cast<WORD>(v >> 16));
  };
  auto text = [&](const char16_t* s) {
    for (; *s; ++s) put16(*s);
    put16(0);
  };
  struct Item {
    WORD cls;
    const char16_t* title;
    WORD id;
    DWORD style;
  };
  const Item items[] = {
      {0x82, u"名前", 10, SS_LEFT},
      {0x81, u"", 11, WS_TABSTOP | WS_BORDER},
      {0x80, u"変更しない", 1000, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP},
      {0x80, u"ルート", 1002, BS_AUTORADIOBUTTON},
      {0x80, u"プログラム", 1003, BS_AUTORADIOBUTTON},
      {0x80, u"作成", 1005, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP},
      {0x80, u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP},
      {0x80, u"キャンセル", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP},
  };
  put32(WS_POPUP | WS_CAPTION | DS_SETFONT);
  put32(0);
  put16(static_cast<WORD>(std::size(items)));
  put16(0), put16(0), put16(137), put16(155);
  put16(0), put16(0);
  text(u"設定");
  put16(9);
  text(u"System");
  for (const auto& item : items) {
    while (bytes.size() % 4) bytes.push_back(0);
    put32(item.style | WS_CHILD | WS_VISIBLE);
    put32(0);
    put16(4), put16(4), put16(60), put16(12);
    put16(item.id);
    put16(0xFFFF), put16(item.cls);
    text(item.title);
    put16(0);
  }
  std::vector<std::uint32_t> aligned((bytes.size() + 3) / 4);
  std::memcpy(aligned.data(), bytes.data(), bytes.size());
  return aligned;
}

INT_PTR CALLBACK InitOnly(HWND dialog, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG) {
    CheckRadioButton(dialog, 1000, 1003, 1000);
    return TRUE;
  }
  return FALSE;
}

void BM_DialogFromTemplate(benchmark::State& state) {
  auto root = std::filesystem::temp_directory_path() / "handheld-dialog-bench";
  std::filesystem::create_directories(root);
  {
    sim::DeviceConfig config;
    config.root = root;
    sim::Device device(config);
    auto tmpl = SetupLikeTemplate();
    // The program's thread runs the measured loop; the driver only lets it run.
    sim::StartFunction(device, u"\\Windows\\bench.exe", [&] {
      for (auto _ : state) {
        HWND dialog = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()), nullptr,
                                                 InitOnly, 0);
        benchmark::DoNotOptimize(dialog);
        DestroyWindow(dialog);
      }
      return 0;
    });
    device.scheduler().runUntilIdle();
  }
  std::filesystem::remove_all(root);
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("dialogs");
}
BENCHMARK(BM_DialogFromTemplate)->Unit(benchmark::kMicrosecond);

}  // namespace
