// A full repaint of a dialog-heavy screen on both screen sizes: every window is
// invalidated and the device runs until each has painted through WM_PAINT (the
// frames, the navigation bar and the desktop drawn by the system, the controls
// through BeginPaint with their WM_CTLCOLOR* questions). FillScreen (gdi_bench.cpp)
// in the same run is the floor: one plain fill of the frame buffer.
#include <benchmark/benchmark.h>

#include <aygshell.h>
#include <commctrl.h>

#include <time.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>

#include <windows.h>

#include "kernel/device.h"
#include "kernel/process.h"
#include "scratch_device.h"

namespace {

using bench::ProcessCpuSeconds;

HWND Control(HWND dialog, LPCWSTR cls, LPCWSTR text, DWORD style, int x, int y, int cx, int cy, int id) {
  const int s = GetSystemMetrics(SM_CXSCREEN) / 240;
  return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x * s, y * s, cx * s, cy * s, dialog,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

// A settings dialog over the work area: 26 controls of every kind the window part
// draws, with Japanese labels.
void MakeDialogScreen() {
  HWND dialog = CreateWindowExW(0, u"Dialog", u"詳細設定", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 26, 240, 268,
                                nullptr, nullptr, nullptr, nullptr);
  SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
  SHInitDialog(&init);
  int id = 100;
  for (int row = 0; row < 4; ++row) {
    Control(dialog, u"STATIC", u"ﾌｧｲﾙ名:", SS_LEFT, 4, 4 + row * 18, 50, 12, id++);
    HWND edit = Control(dialog, u"EDIT", u"\\My Documents\\報告書.txt", WS_BORDER | ES_AUTOHSCROLL, 56, 2 + row * 18,
                        180, 16, id++);
    if (row == 0) SendMessageW(edit, EM_SETSEL, 0, 5);
  }
  Control(dialog, u"BUTTON", u"表示", BS_GROUPBOX, 4, 76, 232, 70, id++);
  for (int i = 0; i < 3; ++i) {
    Control(dialog, u"BUTTON", u"一覧で表示", BS_AUTORADIOBUTTON, 10, 90 + i * 18, 100, 14, id++);
    Control(dialog, u"BUTTON", u"隠しﾌｧｲﾙ", BS_AUTOCHECKBOX, 120, 90 + i * 18, 100, 14, id++);
  }
  Control(dialog, u"STATIC", u"変更はすぐに使われます。ﾌｫﾙﾀﾞを開き直すと新しい表示になります。", SS_LEFT, 4, 150,
          232, 36, id++);
  for (int i = 0; i < 4; ++i)
    Control(dialog, u"BUTTON", i == 0 ? u"OK" : u"ｷｬﾝｾﾙ", i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 4 + i * 58,
            194, 54, 20, id++);
}

// Starts a program that makes a screen with `make` and then waits for messages, and
// repaints the whole screen once per iteration. The painting runs on the program's
// host thread: the process's CPU time counts it, whatever else the machine is doing
// meanwhile.
void RepaintScreen(benchmark::State& state, const char16_t* program, void (*make)()) {
  bench::ScratchDevice device("paint-bench", static_cast<int>(state.range(0)));
  sim::StartFunction(*device, program, [make] {
    make();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
  });
  (*device).scheduler().runUntilIdle();
  const double cpuBefore = ProcessCpuSeconds();
  for (auto _ : state) {
    InvalidateRect(nullptr, nullptr, TRUE);
    (*device).scheduler().runUntilIdle();
  }
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  state.counters["cpu_ms_per_frame"] = 1000.0 * cpu / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations());
}

void RepaintDialogScreen(benchmark::State& state) { RepaintScreen(state, u"\\Windows\\settings.exe", MakeDialogScreen); }
BENCHMARK(RepaintDialogScreen)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A file list of 1,000 entries in the detail view with its header and small icons,
// filling the work area: the list view paints the rows in sight.
void MakeFileListScreen() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, u"", WS_POPUP | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, work.left,
                              work.top, work.right - work.left, work.bottom - work.top, nullptr, nullptr, nullptr, nullptr);
  const int s = GetSystemMetrics(SM_CXSCREEN) / 240;
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  const char16_t* headers[] = {u"名前", u"ｻｲｽﾞ", u"更新日時"};
  const int widths[] = {110, 50, 80};
  for (int i = 0; i < 3; ++i) {
    column.pszText = const_cast<WCHAR*>(headers[i]);
    column.cx = widths[i] * s;
    ListView_InsertColumn(list, i, &column);
  }
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR | ILC_MASK, 2, 0);
  ListView_SetImageList(list, images, LVSIL_SMALL);
  for (int i = 0; i < 1000; ++i) {
    std::u16string name = u"報告書" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u".txt";
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = name.data();
    int at = ListView_InsertItem(list, &item);
    const char16_t* columns[] = {u"12KB", u"03/04/01 9:00"};
    for (int c = 1; c <= 2; ++c) {
      LVITEMW sub{};
      sub.iSubItem = c;
      sub.pszText = const_cast<WCHAR*>(columns[c - 1]);
      SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&sub));
    }
  }
  ListView_SetItemState(list, 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SetFocus(list);
}

void RepaintFileList(benchmark::State& state) { RepaintScreen(state, u"\\Windows\\files.exe", MakeFileListScreen); }
BENCHMARK(RepaintFileList)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
