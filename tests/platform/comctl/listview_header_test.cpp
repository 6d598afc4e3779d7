// The list view's column header: a header control of its own (LVM_GETHEADER) that
// shows the columns as the program sets them, only in the report view, and whose
// taps reach the list view's parent as LVN_COLUMNCLICK.
#include <string>
#include <vector>

#include "comctl/header.h"
#include "comctl_test_support.h"
#include "user/input.h"

namespace {

using Handheld = test_support::ControlHost;

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// Everything the list view's parent hears of a tap on the header.
void Record() {
  Log().clear();
  test_support::Answer() = [](NMHDR* note) -> LRESULT {
    const auto* list = reinterpret_cast<const NMLISTVIEW*>(note);
    if (note->code == LVN_COLUMNCLICK)
      Log().push_back("LVN_COLUMNCLICK " + std::to_string(list->iItem) + " " + std::to_string(list->iSubItem));
    else if (note->code == NM_CLICK || note->code == LVN_ITEMCHANGING || note->code == LVN_ITEMCHANGED)
      Log().push_back(test_support::NotificationName(note->code));
    else if (note->code >= HDN_GETDISPINFOW && note->code <= HDN_FIRST)
      Log().push_back("header notification " + std::to_string(note->code));
    return 0;
  };
}

HWND MakeList(HWND host, DWORD style) {
  return CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 240, 200, host,
                         reinterpret_cast<HMENU>(100), nullptr, nullptr);
}

void AddColumn(HWND list, int at, const WCHAR* title, int width, int format, int order = -1) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | (order >= 0 ? LVCF_ORDER : 0);
  column.pszText = const_cast<WCHAR*>(title);
  column.cx = width;
  column.fmt = format;
  column.iOrder = order;
  ListView_InsertColumn(list, at, &column);
}

// The header's items from left to right: "title width alignment".
std::vector<std::string> HeaderItems(HWND header) {
  std::vector<std::string> items;
  for (int order = 0; order < Header_GetItemCount(header); ++order) {
    WCHAR text[32] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = 32;
    Header_GetItem(header, Header_OrderToIndex(header, order), &item);
    const char* align[] = {"left", "right", "center", "?"};
    items.push_back(test_support::Narrow(text) + " " + std::to_string(item.cxy) + " " +
                    align[item.fmt & HDF_JUSTIFYMASK]);
  }
  return items;
}

// Where the header window stands in the list view's client area.
RECT Placed(HWND header) {
  RECT rect{};
  GetWindowRect(header, &rect);
  MapWindowPoints(nullptr, GetParent(header), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void SetStyle(HWND list, LONG clear, LONG set) {
  SetWindowLongW(list, GWL_STYLE, (GetWindowLongW(list, GWL_STYLE) & ~clear) | set);
}

TEST(ListViewHeader, TheHeaderIsAChildThatShowsTheColumnsAsTheProgramSetsThem) {
  Handheld handheld;
  handheld.start([](HWND host) {
    HWND list = MakeList(host, LVS_REPORT);
    HWND header = ListView_GetHeader(list);
    WCHAR name[32] = {};
    GetClassNameW(header, name, 32);
    EXPECT_EQ(std::u16string(name), WC_HEADERW);
    EXPECT_EQ(GetParent(header), list);
    EXPECT_TRUE(IsWindowVisible(header));
    EXPECT_TRUE(GetWindowLongW(header, GWL_STYLE) & HDS_BUTTONS);
    RECT client{}, placed = Placed(header);
    GetClientRect(list, &client);
    EXPECT_EQ((std::vector<LONG>{placed.left, placed.top, placed.right, placed.bottom}),
              (std::vector<LONG>{0, 0, client.right, sim::HeaderHeight()}));

    AddColumn(list, 0, u"name", 100, LVCFMT_RIGHT);
    AddColumn(list, 1, u"size", 60, LVCFMT_RIGHT);
    AddColumn(list, 2, u"date", 50, LVCFMT_CENTER, 0);
    EXPECT_EQ(HeaderItems(header), (std::vector<std::string>{"date 50 center", "name 100 left", "size 60 right"}))
        << "the first column is always left-aligned; LVCF_ORDER places a column";
    int order[3] = {};
    ASSERT_TRUE(ListView_GetColumnOrderArray(list, 3, order));
    EXPECT_EQ(std::vector<int>(order, order + 3), (std::vector<int>{2, 0, 1}));

    LVCOLUMNW rename{};
    rename.mask = LVCF_TEXT;
    rename.pszText = const_cast<WCHAR*>(u"bytes");
    SendMessageW(list, LVM_SETCOLUMNW, 1, reinterpret_cast<LPARAM>(&rename));
    ListView_SetColumnWidth(list, 2, 70);
    const int natural[3] = {0, 1, 2};
    ListView_SetColumnOrderArray(list, 3, natural);
    EXPECT_EQ(HeaderItems(header), (std::vector<std::string>{"name 100 left", "bytes 60 right", "date 70 center"}));
    SendMessageW(list, LVM_DELETECOLUMN, 0, 0);
    EXPECT_EQ(HeaderItems(header), (std::vector<std::string>{"bytes 60 right", "date 70 center"}));

    // A program that widens a column through the header itself widens the column.
    HDITEMW wider{};
    wider.mask = HDI_WIDTH;
    wider.cxy = 90;
    Header_SetItem(header, 0, &wider);
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), 90);

    // A program may destroy the header: the columns go on without one.
    DestroyWindow(header);
    EXPECT_EQ(ListView_GetHeader(list), nullptr);
    AddColumn(list, 0, u"kind", 40, LVCFMT_LEFT);
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), 40);
  });
}

TEST(ListViewHeader, TheHeaderShowsInTheReportViewOnlyAndScrollsSidewaysWithIt) {
  Handheld handheld;
  HWND list = nullptr, header = nullptr;
  handheld.start([&](HWND host) {
    list = MakeList(host, LVS_LIST);
    header = ListView_GetHeader(list);
    ASSERT_NE(header, nullptr) << "made with the list view, whatever its view";
    EXPECT_FALSE(IsWindowVisible(header));
    AddColumn(list, 0, u"name", 200, LVCFMT_LEFT);
    AddColumn(list, 1, u"size", 100, LVCFMT_LEFT);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<WCHAR*>(u"row");
    ListView_InsertItem(list, &item);

    SetStyle(list, LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(IsWindowVisible(header));
    RECT row{};
    ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
    EXPECT_EQ(row.top, sim::HeaderHeight()) << "the rows start below the header";
  });
  handheld.call([&] {
    SendMessageW(list, WM_HSCROLL, SB_LINEDOWN, 0);
    RECT scrolled{}, placed = Placed(header);
    ListView_GetItemRect(list, 0, &scrolled, LVIR_BOUNDS);
    EXPECT_EQ(placed.left, scrolled.left) << "the header moves sideways with the columns";
    EXPECT_LT(placed.left, 0);

    SetStyle(list, 0, LVS_NOSORTHEADER);
    EXPECT_FALSE(GetWindowLongW(header, GWL_STYLE) & HDS_BUTTONS) << "titles that are not buttons";
    SetStyle(list, 0, LVS_NOCOLUMNHEADER);
    RECT row{};
    EXPECT_FALSE(IsWindowVisible(header));
    ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
    EXPECT_EQ(row.top, 0);
    SetStyle(list, LVS_NOCOLUMNHEADER | LVS_TYPEMASK, LVS_SMALLICON);
    EXPECT_FALSE(IsWindowVisible(header));
  });
}

// The tap goes through the screen, as a person's would: the header window takes it,
// and the list view's parent hears LVN_COLUMNCLICK for the column tapped and nothing
// else; the selection stays.
TEST(ListViewHeader, ATapOnAColumnTitleReachesTheParentAsAColumnClick) {
  Handheld handheld;
  HWND list = nullptr, header = nullptr;
  handheld.start([&](HWND host) {
    list = MakeList(host, LVS_REPORT);
    header = ListView_GetHeader(list);
    AddColumn(list, 0, u"name", 100, LVCFMT_LEFT);
    AddColumn(list, 1, u"size", 60, LVCFMT_LEFT);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_STATE;
    item.pszText = const_cast<WCHAR*>(u"row");
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_InsertItem(list, &item);
  });
  auto tapColumn = [&](int column) {
    RECT rect{};
    Header_GetItemRect(header, column, &rect);
    POINT at = test_support::Middle(rect);
    ClientToScreen(header, &at);
    Record();
    ASSERT_TRUE(sim::Input::get().tap(at));
    handheld.settle();
  };
  tapColumn(1);
  EXPECT_EQ(Log(), std::vector<std::string>{"LVN_COLUMNCLICK -1 1"});
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0);

  handheld.call([&] {
    const int swapped[2] = {1, 0};
    ListView_SetColumnOrderArray(list, 2, swapped);
    RECT title{}, label{};
    Header_GetItemRect(header, 0, &title);
    ListView_GetItemRect(list, 0, &label, LVIR_LABEL);
    EXPECT_EQ(title.left, 60);
    EXPECT_EQ(label.left, title.left) << "the rows show the columns in the header's order";
    EXPECT_EQ(label.right, title.right);
  });
  tapColumn(0);
  EXPECT_EQ(Log(), std::vector<std::string>{"LVN_COLUMNCLICK -1 0"}) << "the column, wherever it is shown";

  handheld.call([&] { SetStyle(list, 0, LVS_NOSORTHEADER); });
  tapColumn(0);
  EXPECT_TRUE(Log().empty()) << "with LVS_NOSORTHEADER a title is not a button";
}

}  // namespace
