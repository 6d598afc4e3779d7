// The list view answers as the device's control documents it: the order of what it
// tells on insertion and deletion, items the parent keeps (callbacks and owner data),
// and the layout messages. Where the desktop's control differs, the device's (CE)
// reading is the one checked, as each test says.
#include <string>
#include <vector>

#include "comctl/listview.h"
#include "comctl_test_support.h"

namespace {

using Handheld = test_support::ControlHost;

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

std::string Describe(NMHDR* header) {
  auto* list = reinterpret_cast<NMLISTVIEW*>(header);
  auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
  std::string item = std::to_string(list->iItem);
  switch (header->code) {
    case LVN_ITEMCHANGING: return "CHANGING " + item + " " + std::to_string(list->uOldState) + "->" + std::to_string(list->uNewState);
    case LVN_ITEMCHANGED: return "CHANGED " + item + " " + std::to_string(list->uOldState) + "->" + std::to_string(list->uNewState);
    case LVN_INSERTITEM: return "INSERT " + item;
    case LVN_DELETEITEM: return "DELETE " + item + " param=" + std::to_string(list->lParam);
    case LVN_DELETEALLITEMS: return "DELETEALL " + item;
    case LVN_GETDISPINFOW:
      return "GETDISPINFO " + std::to_string(info->item.iItem) + "." + std::to_string(info->item.iSubItem) + " mask=" +
             std::to_string(info->item.mask);
    case LVN_ODFINDITEMW: return "ODFINDITEM " + std::to_string(reinterpret_cast<NMLVFINDITEMW*>(header)->iStart);
    default: return "";
  }
}

void Record(std::function<LRESULT(NMHDR*)> reply = nullptr) {
  Log().clear();
  test_support::Answer() = [reply](NMHDR* header) -> LRESULT {
    std::string line = Describe(header);
    if (!line.empty()) Log().push_back(line);
    return reply ? reply(header) : 0;
  };
}

HWND MakeList(HWND host, DWORD style) {
  return CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 240, 200, host,
                         reinterpret_cast<HMENU>(100), nullptr, nullptr);
}

int Insert(HWND list, int at, const WCHAR* text, UINT state = 0, UINT stateMask = 0) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | (stateMask ? LVIF_STATE : 0);
  item.iItem = at;
  item.pszText = const_cast<WCHAR*>(text);
  item.lParam = 100 + at;
  item.state = state;
  item.stateMask = stateMask;
  return ListView_InsertItem(list, &item);
}

constexpr UINT kBoth = LVIS_SELECTED | LVIS_FOCUSED;

// The new item's change is asked for first, then the focus and a single selection
// leave the other item, then the new item's change is told, and LVN_INSERTITEM comes
// last. Only the bits of stateMask count, LVIS_CUT among them.
TEST(ListViewNotify, InsertingAFocusedSelectedItemTellsTheChangesBeforeTheInsertion) {
  Handheld handheld;
  HWND list = nullptr;
  handheld.start([&](HWND host) {
    list = MakeList(host, LVS_REPORT | LVS_SINGLESEL);
    Insert(list, 0, u"first", kBoth, kBoth);
  });
  Record();
  handheld.call([&] { EXPECT_EQ(Insert(list, 1, u"second", kBoth, kBoth), 1); });
  EXPECT_EQ(Log(), (std::vector<std::string>{"CHANGING 1 0->3", "CHANGING 0 3->0", "CHANGED 0 3->0", "CHANGED 1 0->3", "INSERT 1"}));
  handheld.call([&] {
    Insert(list, 2, u"cut", LVIS_CUT | LVIS_SELECTED, LVIS_CUT);
    EXPECT_EQ(ListView_GetItemState(list, 2, 0xFFFF), static_cast<UINT>(LVIS_CUT)) << "LVIS_SELECTED is outside the mask";
    LVITEMW set{};
    set.mask = LVIF_STATE;
    set.iItem = 2;
    set.state = LVIS_SELECTED;
    set.stateMask = LVIS_SELECTED | LVIS_CUT;
    ListView_SetItem(list, &set);
    EXPECT_EQ(ListView_GetItemState(list, 2, 0xFFFF), static_cast<UINT>(LVIS_SELECTED));
    EXPECT_EQ(ListView_GetItemState(list, 1, LVIS_SELECTED), 0u) << "a single selection moved";
  });
}

// The focus of a deleted item passes to the item in its place, and the parent hears
// of the deleted item when it no longer has the focus. A whole clear starts with
// LVN_DELETEALLITEMS; TRUE from it spares the single notifications.
TEST(ListViewNotify, DeletingMovesTheFocusAndAClearAnnouncesItselfFirst) {
  Handheld handheld;
  HWND list = nullptr;
  handheld.start([&](HWND host) {
    list = MakeList(host, LVS_REPORT);
    for (int i = 0; i < 3; ++i) Insert(list, i, u"row");
    ListView_SetItemState(list, 1, LVIS_FOCUSED, LVIS_FOCUSED);
  });
  UINT stateWhileDeleted = 0xFFFF;
  Record([&](NMHDR* header) -> LRESULT {
    if (header->code == LVN_DELETEITEM) stateWhileDeleted = ListView_GetItemState(list, 1, LVIS_FOCUSED);
    return 0;
  });
  handheld.call([&] {
    EXPECT_TRUE(ListView_DeleteItem(list, 1));
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 1);
  });
  EXPECT_EQ(stateWhileDeleted, 0u);
  EXPECT_EQ(Log(), (std::vector<std::string>{"DELETE 1 param=101", "CHANGING 1 0->1", "CHANGED 1 0->1"}));
  Record();
  handheld.call([&] { ListView_DeleteAllItems(list); });
  EXPECT_EQ(Log(), (std::vector<std::string>{"DELETEALL -1", "DELETE 1 param=102", "DELETE 0 param=100"}));
  handheld.call([&] {
    Insert(list, 0, u"again");
    Record([](NMHDR* header) -> LRESULT { return header->code == LVN_DELETEALLITEMS; });
    ListView_DeleteAllItems(list);
  });
  EXPECT_EQ(Log(), std::vector<std::string>{"DELETEALL -1"});

  // Destroying the list deletes its items as a clear does, so a parent frees what
  // it keeps for them.
  handheld.call([&] {
    Insert(list, 0, u"last");
    Record();
    DestroyWindow(list);
  });
  EXPECT_EQ(Log(), (std::vector<std::string>{"DELETEALL -1", "DELETE 0 param=100"}));
}

// Texts and images the parent keeps are asked for through LVN_GETDISPINFOW; with
// LVIF_NORECOMPUTE the text reads as LPSTR_TEXTCALLBACKW without asking, and sub-item
// texts may be callbacks too.
TEST(ListViewNotify, CallbacksAskTheParentUnlessTheReaderSaysNotTo) {
  Handheld handheld;
  HWND list = nullptr;
  handheld.start([&](HWND host) {
    list = MakeList(host, LVS_REPORT);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.iImage = I_IMAGECALLBACK;
    ListView_InsertItem(list, &item);
    item.mask = LVIF_TEXT;
    item.iSubItem = 1;
    ListView_SetItem(list, &item);
  });
  Record([](NMHDR* header) -> LRESULT {
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    if (header->code != LVN_GETDISPINFOW) return 0;
    if (info->item.mask & LVIF_TEXT) lstrcpynW(info->item.pszText, info->item.iSubItem ? u"sub" : u"name", info->item.cchTextMax);
    if (info->item.mask & LVIF_IMAGE) info->item.iImage = 5;
    return 0;
  });
  handheld.call([&] {
    WCHAR text[16] = {};
    LVITEMW get{};
    get.mask = LVIF_TEXT | LVIF_IMAGE;
    get.pszText = text;
    get.cchTextMax = 16;
    ASSERT_TRUE(ListView_GetItem(list, &get));
    EXPECT_EQ(std::u16string(text), u"name");
    EXPECT_EQ(get.iImage, 5);
    get.mask = LVIF_TEXT;
    get.iSubItem = 1;
    ListView_GetItem(list, &get);
    EXPECT_EQ(std::u16string(text), u"sub");
    get.mask = LVIF_TEXT | LVIF_NORECOMPUTE;
    get.iSubItem = 0;
    get.pszText = text;
    ListView_GetItem(list, &get);
    EXPECT_EQ(get.pszText, LPSTR_TEXTCALLBACKW);
  });
  EXPECT_EQ(Log(), (std::vector<std::string>{"GETDISPINFO 0.0 mask=3", "GETDISPINFO 0.1 mask=1"}));
}

// An owner-data list holds only a count and the items' states: everything else, and
// the state bits of the callback mask, come from the parent; a search is the parent's
// too, and a clear has no items of its own to announce.
TEST(ListViewNotify, AnOwnerDataListAsksItsParentForEverything) {
  Handheld handheld;
  HWND list = nullptr;
  handheld.start([&](HWND host) { list = MakeList(host, LVS_REPORT | LVS_OWNERDATA); });
  Record([](NMHDR* header) -> LRESULT {
    if (header->code == LVN_ODFINDITEMW) return 7;
    if (header->code != LVN_GETDISPINFOW) return 0;
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    if (info->item.mask & LVIF_TEXT) lstrcpynW(info->item.pszText, info->item.iItem == 41 ? u"forty-one" : u"other", info->item.cchTextMax);
    if (info->item.mask & LVIF_STATE) info->item.state = LVIS_CUT;
    return 0;
  });
  handheld.call([&] {
    EXPECT_EQ(Insert(list, 0, u"refused"), -1) << "the parent keeps the items";
    EXPECT_TRUE(ListView_SetItemCount(list, 100));
    EXPECT_EQ(ListView_GetItemCount(list), 100);
    WCHAR text[16] = {};
    LVITEMW get{};
    get.iItem = 41;
    get.mask = LVIF_TEXT;
    get.pszText = text;
    get.cchTextMax = 16;
    ListView_GetItem(list, &get);
    EXPECT_EQ(std::u16string(text), u"forty-one");
    ListView_SetItemState(list, 41, kBoth, kBoth);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 41) << "the list keeps the selection";
    EXPECT_TRUE(ListView_SetCallbackMask(list, LVIS_CUT));
    EXPECT_EQ(ListView_GetCallbackMask(list), static_cast<UINT>(LVIS_CUT));
    EXPECT_EQ(ListView_GetItemState(list, 41, 0xFFFF), kBoth | LVIS_CUT);
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = u"x";
    EXPECT_EQ(SendMessageW(list, LVM_FINDITEMW, 3, reinterpret_cast<LPARAM>(&find)), 7);
    Log().clear();
    ListView_DeleteAllItems(list);
    EXPECT_EQ(ListView_GetItemCount(list), 0);
  });
  EXPECT_EQ(Log(), std::vector<std::string>{"DELETEALL -1"});
}

// The layout messages read the same arrangement the item rectangles and hit tests use.
TEST(ListViewNotify, LayoutMessagesAnswerFromTheArrangement) {
  Handheld handheld;
  HWND list = nullptr;
  handheld.start([&](HWND host) {
    list = MakeList(host, LVS_REPORT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.pszText = const_cast<WCHAR*>(u"c");
    for (int cx : {100, 60, 40}) {
      column.cx = cx;
      ListView_InsertColumn(list, 99, &column);
    }
    for (int i = 0; i < 40; ++i) Insert(list, i, u"row");
  });
  handheld.call([&] {
    RECT row{}, sub{};
    ListView_GetItemRect(list, 2, &row, LVIR_BOUNDS);
    ASSERT_TRUE(ListView_GetSubItemRect(list, 2, 0, LVIR_BOUNDS, &sub));
    EXPECT_TRUE(EqualRect(&sub, &row)) << "sub-item 0: the whole row";
    ASSERT_TRUE(ListView_GetSubItemRect(list, 2, 2, LVIR_BOUNDS, &sub));
    EXPECT_EQ(sub.left, row.left + 160);
    EXPECT_EQ(sub.right, row.left + 200);
    // the columns shown in another order move the sub-item's rectangle
    int order[3] = {2, 0, 1}, read[3] = {};
    ASSERT_TRUE(ListView_SetColumnOrderArray(list, 3, order));
    ASSERT_TRUE(ListView_GetColumnOrderArray(list, 3, read));
    EXPECT_EQ(std::vector<int>(read, read + 3), std::vector<int>(order, order + 3));
    ListView_GetSubItemRect(list, 2, 2, LVIR_BOUNDS, &sub);
    EXPECT_EQ(sub.left, row.left);
    EXPECT_FALSE(ListView_GetColumnOrderArray(list, 2, read)) << "the count must be the columns'";

    // LVM_SCROLL moves by whole rows in the report view; the origin is the icon views'
    POINT origin{5, 5};
    EXPECT_TRUE(ListView_Scroll(list, 0, 20));
    EXPECT_EQ(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 1);
    EXPECT_FALSE(ListView_GetOrigin(list, &origin));
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    RECT view{};
    EXPECT_FALSE(ListView_GetViewRect(list, &view)) << "the icon views only";
    ListView_Scroll(list, 0, 100000);
    ListView_GetItemRect(list, 39, &row, LVIR_BOUNDS);
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_EQ(row.bottom, client.bottom) << "no further than the last row";
  });

  handheld.call([&] {
    SetWindowLongW(list, GWL_STYLE, (GetWindowLongW(list, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_ICON);
    POINT at{};
    EXPECT_TRUE(ListView_GetItemPosition(list, 3, &at));
    EXPECT_EQ(at.x, 0) << "three cells a row: the second row's first";
    EXPECT_EQ(at.y, sim::kIconCellHeight);
    EXPECT_TRUE(ListView_SetItemPosition(list, 3, 10, 300));
    ListView_GetItemPosition(list, 3, &at);
    EXPECT_EQ(at.y, 300);
    RECT view{};
    EXPECT_TRUE(ListView_GetViewRect(list, &view));
    EXPECT_EQ(view.left, 0);
    EXPECT_GE(view.bottom, 300 + sim::kIconCellHeight);
    EXPECT_EQ(SendMessageW(list, LVM_ARRANGE, 0, 0), TRUE);
    ListView_GetItemPosition(list, 3, &at);
    EXPECT_EQ(at.y, sim::kIconCellHeight) << "arranged back into the grid";

    // the selection mark is where Shift extends a selection from
    EXPECT_EQ(ListView_SetSelectionMark(list, 4), -1);
    EXPECT_EQ(ListView_GetSelectionMark(list), 4);
    HWND header = ListView_GetHeader(list);
    EXPECT_EQ(GetParent(header), list) << "the header is the list view's own child";
    EXPECT_FALSE(IsWindowVisible(header)) << "and shows in the report view only";
  });
}

}  // namespace
