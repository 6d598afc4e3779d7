// The common controls on the screen: NM_CUSTOMDRAW's stages and answers, and pictures
// of a list view, a tree view, a combo box (closed and dropped) and a toolbar on both
// screen sizes, checked where a person would look, with taps at the drawn items.
#include <commctrl.h>

#include <string>
#include <vector>

#include "../resources/test_resource_ids.h"
#include "../shell/screen_test_support.h"

namespace {

using screentest::ScreenDevice;
using screentest::ScreenSize;
using screentest::Shown;
using screentest::Sys;

constexpr COLORREF kMarked = RGB(255, 0, 0);

struct Heard {
  DWORD stage;
  DWORD_PTR item;
  int last;  // iSubItem or iLevel
};

// What the parent answers and what it heard.
struct Parent {
  LRESULT atStart = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
  std::vector<Heard> heard;
};
Parent* gParent = nullptr;

LRESULT AnswerItem(NMLVCUSTOMDRAW* draw) {
  if (draw->nmcd.dwItemSpec == 1) return CDRF_SKIPDEFAULT;
  if (draw->nmcd.dwItemSpec == 0) {
    draw->clrText = RGB(255, 255, 255);
    draw->clrTextBk = kMarked;
    return CDRF_NEWFONT | CDRF_NOTIFYPOSTPAINT;
  }
  return CDRF_DODEFAULT;
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != NM_CUSTOMDRAW || !gParent)
    return DefWindowProcW(hwnd, message, wParam, lParam);
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
  gParent->heard.push_back(Heard{draw->nmcd.dwDrawStage, draw->nmcd.dwItemSpec, draw->iSubItem});
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return gParent->atStart;
    case CDDS_ITEMPREPAINT: return AnswerItem(draw);
    default: return CDRF_DODEFAULT;
  }
}

HWND Host(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = u"PaintHost";
  RegisterClassW(&wc);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return CreateWindowExW(0, u"PaintHost", u"一覧", WS_VISIBLE, work.left, work.top, work.right - work.left,
                         work.bottom - work.top, nullptr, nullptr, instance, nullptr);
}

HWND Child(HWND host, LPCWSTR cls, DWORD style, int x, int y, int cx, int cy, int id) {
  const int s = GetSystemMetrics(SM_CXSCREEN) / 240;
  return CreateWindowExW(0, cls, u"", WS_CHILD | WS_VISIBLE | style, x * s, y * s, cx * s, cy * s, host,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

void AddItems(HWND list, std::initializer_list<const char16_t*> names) {
  int at = 0;
  for (const char16_t* name : names) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = at++;
    item.pszText = const_cast<WCHAR*>(name);
    item.iImage = 0;
    ListView_InsertItem(list, &item);
  }
}

HWND ReportList(HWND host, int y) {
  HWND list = Child(host, WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS, 0, y, 240, 80, 10);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 150 * GetSystemMetrics(SM_CXSCREEN) / 240;
  column.pszText = const_cast<WCHAR*>(u"名前");
  ListView_InsertColumn(list, 0, &column);
  column.pszText = const_cast<WCHAR*>(u"ｻｲｽﾞ");
  column.cx = 70 * GetSystemMetrics(SM_CXSCREEN) / 240;
  ListView_InsertColumn(list, 1, &column);
  AddItems(list, {u"報告書.txt", u"ﾒﾓ.txt", u"予定表.xls"});
  return list;
}

class ControlPaint : public ::testing::TestWithParam<ScreenSize> {
 protected:
  ControlPaint() : handheld_(GetParam()) {}
  ~ControlPaint() override { gParent = nullptr; }
  int s() const { return GetParam().scale(); }
  // The screen point of a client point of `hwnd`.
  POINT OnScreen(HWND hwnd, POINT client) {
    ClientToScreen(hwnd, &client);
    return client;
  }
  bool RowShows(HWND list, int index, COLORREF color) {
    RECT rect{};
    ListView_GetItemRect(list, index, &rect, LVIR_LABEL);
    POINT at = OnScreen(list, POINT{rect.left + 2, rect.top + 1});
    return handheld_.at(at.x, at.y) == color;
  }

  ScreenDevice handheld_;
};

// The parent hears the stages in order; an item it skips shows nothing of the
// control's, an item it colours shows its colours.
TEST_P(ControlPaint, CustomDrawStagesAndAnswersOfAListView) {
  Parent parent;
  gParent = &parent;
  HWND list = nullptr;
  handheld_.start([&](HINSTANCE instance) -> HWND {
    list = ReportList(Host(instance), 0);
    return nullptr;
  });
  handheld_.picture("customdraw");
  std::vector<DWORD> stages;
  for (const Heard& h : parent.heard) stages.push_back(h.stage | static_cast<DWORD>(h.item << 8));
  const std::vector<DWORD> expected = {CDDS_PREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPOSTPAINT, CDDS_ITEMPREPAINT | 0x100,
                                       CDDS_ITEMPREPAINT | 0x200, CDDS_POSTPAINT};
  ASSERT_GE(stages.size(), expected.size());
  EXPECT_EQ(std::vector<DWORD>(stages.end() - static_cast<long>(expected.size()), stages.end()), expected);
  EXPECT_TRUE(RowShows(list, 0, Shown(kMarked)));
  // The skipped item's text is not drawn: its row is the window's colour throughout.
  RECT skipped{};
  ListView_GetItemRect(list, 1, &skipped, LVIR_BOUNDS);
  for (LONG x = skipped.left; x < skipped.right; ++x) {
    POINT at = OnScreen(list, POINT{x, (skipped.top + skipped.bottom) / 2});
    ASSERT_EQ(handheld_.at(at.x, at.y), Sys(COLOR_WINDOW)) << "x " << x;
  }

  // CDRF_SKIPDEFAULT at the start leaves the whole control to the parent.
  parent.atStart = CDRF_SKIPDEFAULT;
  parent.heard.clear();
  InvalidateRect(list, nullptr, TRUE);
  handheld_.settle();
  ASSERT_EQ(parent.heard.size(), 1u);
  EXPECT_EQ(parent.heard[0].stage, static_cast<DWORD>(CDDS_PREPAINT));
  EXPECT_FALSE(RowShows(list, 0, Shown(kMarked)));
}

TEST_P(ControlPaint, TreeViewTellsEachItemsHandleAndLevel) {
  Parent parent;
  parent.atStart = CDRF_NOTIFYITEMDRAW;
  gParent = &parent;
  HTREEITEM root = nullptr, child = nullptr;
  handheld_.start([&](HINSTANCE instance) -> HWND {
    HWND tree = Child(Host(instance), WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0, 240, 100, 11);
    TVINSERTSTRUCTW insert{};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<WCHAR*>(u"ﾏｲ ﾃﾞﾊﾞｲｽ");
    root = TreeView_InsertItem(tree, &insert);
    insert.hParent = root;
    insert.item.pszText = const_cast<WCHAR*>(u"My Documents");
    child = TreeView_InsertItem(tree, &insert);
    TreeView_Expand(tree, root, TVE_EXPAND);
    return nullptr;
  });
  std::vector<std::pair<DWORD_PTR, int>> items;
  for (const Heard& h : parent.heard)
    if (h.stage == CDDS_ITEMPREPAINT) items.emplace_back(h.item, h.last);
  ASSERT_GE(items.size(), 2u);
  EXPECT_EQ(std::vector(items.end() - 2, items.end()),
            (std::vector<std::pair<DWORD_PTR, int>>{{reinterpret_cast<DWORD_PTR>(root), 0},
                                                    {reinterpret_cast<DWORD_PTR>(child), 1}}));
}


HWND Toolbar(HWND host, HINSTANCE instance) {
  HWND bar = CommandBar_Create(instance, host, 12);
  CommandBar_AddBitmap(bar, instance, IDB_STRIP, 4, 16, 16);
  TBBUTTON buttons[4] = {};
  const BYTE states[4] = {TBSTATE_ENABLED, TBSTATE_ENABLED | TBSTATE_CHECKED, 0, TBSTATE_ENABLED};
  for (int i = 0; i < 4; ++i) {
    buttons[i].iBitmap = i;
    buttons[i].idCommand = 200 + i;
    buttons[i].fsState = states[i];
    buttons[i].fsStyle = i == 1 ? TBSTYLE_CHECK : TBSTYLE_BUTTON;
    buttons[i].iString = -1;
  }
  SendMessageW(bar, TB_ADDBUTTONSW, 4, reinterpret_cast<LPARAM>(buttons));
  return bar;
}

// A tree with its root expanded and a folder selected, a dropped combo box, and a
// command bar with a checked and a disabled button; then a list in each view, its
// items reached by taps where they are drawn.
TEST_P(ControlPaint, EveryCommonControlOnTheScreen) {
  HWND tree = nullptr, combo = nullptr, bar = nullptr, list = nullptr;
  HTREEITEM folder = nullptr;
  handheld_.start([&](HINSTANCE instance) -> HWND {
    HWND host = Host(instance);
    bar = Toolbar(host, instance);
    tree = Child(host, WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 0, 30, 120, 90, 11);
    HIMAGELIST images = ImageList_LoadImage(instance, MAKEINTRESOURCEW(IDB_STRIP), 16, 0, CLR_NONE, IMAGE_BITMAP, 0);
    TreeView_SetImageList(tree, images, TVSIL_NORMAL);
    TVINSERTSTRUCTW insert{};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<WCHAR*>(u"ﾏｲ ﾃﾞﾊﾞｲｽ");
    HTREEITEM root = TreeView_InsertItem(tree, &insert);
    insert.hParent = root;
    for (const char16_t* name : {u"My Documents", u"ﾌﾟﾛｸﾞﾗﾑ", u"一時ﾌｫﾙﾀﾞ"}) {
      insert.item.pszText = const_cast<WCHAR*>(name);
      insert.item.iImage = insert.item.iSelectedImage = 1;
      folder = TreeView_InsertItem(tree, &insert);
    }
    TreeView_Expand(tree, root, TVE_EXPAND);
    TreeView_SelectItem(tree, folder);
    combo = Child(host, WC_COMBOBOXW, CBS_DROPDOWNLIST, 124, 30, 110, 80, 13);
    for (const char16_t* name : {u"すべてのﾌｧｲﾙ", u"文書 (*.txt)", u"表 (*.xls)"})
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    list = ReportList(host, 124);
    ListView_SetImageList(list, images, LVSIL_SMALL);
    SetFocus(tree);
    return nullptr;
  });
  RECT field{};
  GetWindowRect(combo, &field);
  handheld_.tapAt((field.left + field.right) / 2, (field.top + field.bottom) / 2);
  handheld_.picture("controls");
  EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_LT(field.bottom - field.top, 24 * s()) << "a combo box is as tall as its field";
  HWND dropped = FindWindowW(u"ComboLBox", nullptr);
  EXPECT_EQ(handheld_.hit(field.left + 4, field.bottom + 4).window, dropped);
  RECT listArea{};
  GetClientRect(dropped, &listArea);
  EXPECT_EQ(listArea.bottom, 3 * SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0)) << "the dropped list shows all three entries";
  // The third entry, tapped where the dropped list shows it, is picked.
  handheld_.tapAt(field.left + 10, field.bottom + 1 + SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0) * 5 / 2);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));

  RECT checked{};
  SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&checked));
  POINT corner = OnScreen(bar, POINT{checked.left, checked.top});
  EXPECT_EQ(handheld_.at(corner.x, corner.y), Sys(COLOR_BTNSHADOW)) << "a checked button is sunk";

  const DWORD views[] = {LVS_REPORT, LVS_LIST, LVS_SMALLICON, LVS_ICON};
  const char* names[] = {"report", "list", "smallicon", "icon"};
  for (int v = 0; v < 4; ++v) {
    SetWindowLongW(list, GWL_STYLE, (GetWindowLongW(list, GWL_STYLE) & ~LVS_TYPEMASK) | views[v]);
    handheld_.settle();
    RECT label{};
    ListView_GetItemRect(list, 2, &label, LVIR_LABEL);
    POINT at = OnScreen(list, POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2});
    handheld_.tapAt(at.x, at.y);
    handheld_.picture(std::string("list-") + names[v]);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2) << names[v];
    EXPECT_TRUE(RowShows(list, 2, Sys(COLOR_HIGHLIGHT)) || views[v] == LVS_ICON) << names[v];
  }
}

INSTANTIATE_TEST_SUITE_P(BothSizes, ControlPaint, ::testing::Values(ScreenSize{240, 320}, ScreenSize{480, 640}),
                         [](const auto& info) { return info.param.name(); });

}  // namespace
