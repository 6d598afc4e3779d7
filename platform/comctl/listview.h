// The list view control ("SysListView32").
//
// Items keep a stable identity (an id of their own) besides their index, so that an
// operation that sends a notification finds its item again afterwards even when the
// parent inserted, deleted or re-sorted items while it handled the notification.
#pragma once

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// The text of a sub-item, or LPSTR_TEXTCALLBACKW: the parent keeps it.
struct ListViewCell {
  std::u16string text;
  bool callback = false;
};

struct ListViewItem {
  std::uint64_t id = 0;
  std::u16string text;
  bool textCallback = false;
  int image = 0;  // I_IMAGECALLBACK: the parent keeps it
  LPARAM param = 0;
  UINT state = 0;
  int indent = 0;
  std::vector<ListViewCell> subItems;  // sub-item 1 at index 0
  std::optional<POINT> position;       // where the program put it (LVM_SETITEMPOSITION), icon views
};

struct ListViewColumn {
  int format = LVCFMT_LEFT;
  int width = 0;
  std::u16string text;
  int subItem = 0;
  int image = 0;
  int order = 0;
};

struct ListViewState {
  std::vector<std::unique_ptr<ListViewItem>> items;
  std::vector<ListViewColumn> columns;
  HIMAGELIST imageLists[3] = {};
  DWORD extendedStyle = 0;
  int listColumnWidth = 100;  // the column width of the list view (LVS_LIST)
  POINT origin{0, 0};         // scroll position of the view in pixels
  int arrangedView = -1;      // the view the origin belongs to
  std::uint64_t nextId = 1;
  int anchor = -1;            // where a Shift-tap range starts (the selection mark)
  UINT callbackMask = 0;      // state bits the parent keeps (LVM_SETCALLBACKMASK)

  // label edit in progress
  HWND edit = nullptr;
  std::uint64_t editItem = 0;
  bool editEnding = false;

  // tap in progress
  bool buttonDown = false;
  LONG buttonDownTime = 0;

  // renaming by a tap on the selected item's label: the item the tap went down on,
  // then the item whose edit waits for the double-tap time to pass (ids, 0: none)
  std::uint64_t tapEditItem = 0;
  std::uint64_t tapEditPending = 0;

  // the column header (a child window), and whether the list view itself is changing
  // its items, which the header then tells it about
  HWND header = nullptr;
  bool syncingHeader = false;

  bool destroying = false;
  bool painting = false;  // in WM_PAINT: what the parent sends meanwhile paints nothing again
};

// Row height of the report, list and small-icon views.
inline constexpr int kListRowHeight = 18;
inline constexpr int kSmallIconCellWidth = 96;
inline constexpr int kIconCellWidth = 75;
inline constexpr int kIconCellHeight = 64;

LRESULT CALLBACK ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// For the automation layer: the state of a list view (items with their texts and
// states, in display order), or null for a window that is not one.
std::shared_ptr<ListViewState> FindListView(HWND hwnd);

}  // namespace sim
