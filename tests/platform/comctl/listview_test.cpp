#include <algorithm>
#include <string>
#include <vector>

#include "comctl/imagelist.h"
#include "comctl_test_support.h"

namespace {

using test_support::ControlHost;
using test_support::Heard;

HWND MakeList(HWND host, DWORD style) {
  return CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 240, 200, host,
                         reinterpret_cast<HMENU>(100), nullptr, nullptr);
}

int Insert(HWND list, int at, const WCHAR* text) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = at;
  item.pszText = const_cast<WCHAR*>(text);
  item.lParam = at;
  return ListView_InsertItem(list, &item);
}

std::u16string TextOf(HWND list, int index, int subItem = 0) {
  WCHAR buffer[64] = {};
  LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = buffer;
  item.cchTextMax = 64;
  SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::vector<std::u16string> Texts(HWND list) {
  std::vector<std::u16string> texts;
  for (int i = 0; i < ListView_GetItemCount(list); ++i) texts.push_back(TextOf(list, i));
  return texts;
}

std::vector<int> Selected(HWND list) {
  std::vector<int> selected;
  for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(list, i, LVNI_SELECTED))
    selected.push_back(i);
  return selected;
}

POINT ItemPoint(HWND list, int index) {
  RECT rect{};
  ListView_GetItemRect(list, index, &rect, LVIR_LABEL);
  return test_support::Middle(rect);
}

TEST(ListView, SortedInsertionReturnsWhereTheItemLandsInTheDevicesNameOrder) {
  ControlHost handheld;
  handheld.start([](HWND host) {
    HWND list = MakeList(host, LVS_LIST | LVS_SORTASCENDING);
    // The position asked for is ignored; the index returned is where the item is.
    EXPECT_EQ(Insert(list, 0, u"delta"), 0);
    EXPECT_EQ(Insert(list, 0, u"Bravo"), 0);
    EXPECT_EQ(Insert(list, 5, u"alpha"), 0);
    EXPECT_EQ(Insert(list, 0, u"charlie"), 2);
    EXPECT_EQ(Insert(list, 0, u"_under"), 0) << "symbols sort before letters";
    EXPECT_EQ(Insert(list, 0, u"ALPHA"), 2) << "an equal name goes after the ones already there";
    EXPECT_EQ(Texts(list), (std::vector<std::u16string>{u"_under", u"alpha", u"ALPHA", u"Bravo", u"charlie", u"delta"}));

    // Renaming an item of a sorted list moves it to its place.
    LVITEMW rename{};
    rename.pszText = const_cast<WCHAR*>(u"zulu");
    SendMessageW(list, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&rename));
    EXPECT_EQ(TextOf(list, 5), u"zulu");

    // Sub-item texts stay with their item; finding by text ignores case.
    LVITEMW sub{};
    sub.mask = LVIF_TEXT;
    sub.iItem = 2;
    sub.iSubItem = 1;
    sub.pszText = const_cast<WCHAR*>(u"12KB");
    ListView_SetItem(list, &sub);
    EXPECT_EQ(TextOf(list, 2, 1), u"12KB");
    EXPECT_EQ(TextOf(list, 2), u"Bravo");
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = u"CHARLIE";
    EXPECT_EQ(SendMessageW(list, LVM_FINDITEMW, -1, reinterpret_cast<LPARAM>(&find)), 3);
    find.flags = LVFI_PARTIAL | LVFI_STRING;
    find.psz = u"de";
    EXPECT_EQ(SendMessageW(list, LVM_FINDITEMW, -1, reinterpret_cast<LPARAM>(&find)), 4);
    EXPECT_EQ(SendMessageW(list, LVM_FINDITEMW, 4, reinterpret_cast<LPARAM>(&find)), -1) << "the search starts after the start";
  });
}

// Sorted lists use the device's Japanese order (lstrcmpiW), not code points: "~" (U+007E)
// goes before the digits, kana (ﾃﾞｰﾀ, U+FF83…) before kanji (見積書, U+898B…).
TEST(ListView, SortedListsFollowTheDevicesJapaneseOrderBothWays) {
  ControlHost handheld;
  handheld.start([](HWND host) {
    const std::vector<std::u16string> ascending = {u"~old", u"2002", u"Readme.txt", u"ﾃﾞｰﾀ.csv", u"メモ.txt", u"見積書.pxl"};
    for (DWORD order : {LVS_SORTASCENDING, LVS_SORTDESCENDING}) {
      HWND list = MakeList(host, LVS_REPORT | order);
      for (const WCHAR* name : {u"見積書.pxl", u"Readme.txt", u"ﾃﾞｰﾀ.csv", u"~old", u"メモ.txt", u"2002"}) Insert(list, 0, name);
      std::vector<std::u16string> expected = ascending;
      if (order == LVS_SORTDESCENDING) std::reverse(expected.begin(), expected.end());
      EXPECT_EQ(Texts(list), expected);
      DestroyWindow(list);
    }
  });
}

TEST(ListView, ViewSwitchThroughTheStyleKeepsItemsColumnsAndSelection) {
  ControlHost handheld;
  HWND list = nullptr;
  handheld.start([&](HWND host) {
    list = MakeList(host, LVS_LIST);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.pszText = const_cast<WCHAR*>(u"name");
    column.cx = 120;
    ListView_InsertColumn(list, 0, &column);
    column.pszText = const_cast<WCHAR*>(u"size");
    column.cx = 70;
    column.iSubItem = 1;
    column.fmt = LVCFMT_RIGHT;
    ListView_InsertColumn(list, 1, &column);
    for (int i = 0; i < 30; ++i) Insert(list, i, (u"item" + std::u16string(1, static_cast<char16_t>(u'A' + i))).c_str());
    ListView_SetItemState(list, 12, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  });
  RECT listRect{}, reportRect{};
  handheld.call([&] {
    ListView_GetItemRect(list, 12, &listRect, LVIR_BOUNDS);
    SetWindowLongW(list, GWL_STYLE, (GetWindowLongW(list, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_REPORT);
    ListView_GetItemRect(list, 12, &reportRect, LVIR_BOUNDS);
    EXPECT_EQ(ListView_GetItemCount(list), 30);
    EXPECT_EQ(Selected(list), std::vector<int>{12});
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 12);
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), 70);
  });
  // The layout follows the view: a column of rows in list view wraps, report rows do not.
  EXPECT_NE(listRect.left, reportRect.left);
  EXPECT_EQ(reportRect.top, test_support::Middle(reportRect).y - 9);

  // A tap on the row's rectangle in the new view selects that row.
  POINT point{};
  handheld.call([&] { point = ItemPoint(list, 3); });
  handheld.tap(list, point);
  handheld.call([&] {
    EXPECT_EQ(Selected(list), std::vector<int>{3});
    SetWindowLongW(list, GWL_STYLE, (GetWindowLongW(list, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_LIST);
    EXPECT_EQ(Selected(list), std::vector<int>{3});
    EXPECT_EQ(TextOf(list, 3), u"itemD");
    LVCOLUMNW column{};
    WCHAR text[16] = {};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.pszText = text;
    column.cchTextMax = 16;
    ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(std::u16string(text), u"size");
    EXPECT_EQ(column.fmt, LVCFMT_RIGHT);
  });
}

class LabelEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    handheld_.start([&](HWND host) {
      list_ = MakeList(host, LVS_REPORT | LVS_EDITLABELS | LVS_SINGLESEL);
      Insert(list_, 0, u"alpha");
      Insert(list_, 1, u"beta");
    });
  }
  HWND begin(int index) {
    HWND edit = nullptr;
    handheld_.call([&] { edit = ListView_EditLabel(list_, index); });
    return edit;
  }
  // Typed text replaces the label, which the editor starts with selected.
  void type(HWND edit, const std::u16string& text) {
    handheld_.call([&] {
      for (char16_t ch : text) SendMessageW(edit, WM_CHAR, ch, 0);
    });
  }

  ControlHost handheld_;
  HWND list_ = nullptr;
};

TEST_F(LabelEdit, EnterCommitsAndTheParentsTrueKeepsTheNewText) {
  test_support::Answer() = [](NMHDR* header) -> LRESULT { return header->code == LVN_ENDLABELEDITW; };
  HWND edit = begin(1);
  ASSERT_NE(edit, nullptr);
  handheld_.call([&] {
    EXPECT_EQ(ListView_GetEditControl(list_), edit);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(test_support::WindowText(edit), u"beta");
  });
  type(edit, u"gamma");
  handheld_.press(VK_RETURN);
  EXPECT_EQ(Heard(), (std::vector<std::string>{"LVN_BEGINLABELEDITW 1 beta", "LVN_ENDLABELEDITW 1 gamma"}));
  handheld_.call([&] {
    EXPECT_EQ(TextOf(list_, 1), u"gamma");
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(ListView_GetEditControl(list_), nullptr);
    EXPECT_EQ(GetFocus(), list_);
  });
}

TEST_F(LabelEdit, EscapeCancelsWithANullTextAndNothingChanges) {
  test_support::Answer() = [](NMHDR* header) -> LRESULT { return header->code == LVN_ENDLABELEDITW; };
  HWND edit = begin(0);
  ASSERT_NE(edit, nullptr);
  type(edit, u"gamma");
  handheld_.press(VK_ESCAPE);
  EXPECT_EQ(Heard(), (std::vector<std::string>{"LVN_BEGINLABELEDITW 0 alpha", "LVN_ENDLABELEDITW 0 (null)"}));
  handheld_.call([&] {
    EXPECT_EQ(TextOf(list_, 0), u"alpha");
    EXPECT_FALSE(IsWindow(edit));
  });
}

TEST_F(LabelEdit, TheParentMayRefuseToBeginAndLosingFocusCommits) {
  test_support::Answer() = [](NMHDR* header) -> LRESULT { return header->code == LVN_BEGINLABELEDITW; };
  EXPECT_EQ(begin(0), nullptr);
  EXPECT_EQ(Heard(), std::vector<std::string>{"LVN_BEGINLABELEDITW 0 alpha"});

  // The parent answers 0 at the end: the list keeps the old label.
  Heard().clear();
  test_support::Answer() = nullptr;
  HWND edit = begin(0);
  ASSERT_NE(edit, nullptr);
  type(edit, u"gamma");
  handheld_.call([&] { SetFocus(list_); });
  EXPECT_EQ(Heard(), (std::vector<std::string>{"LVN_BEGINLABELEDITW 0 alpha", "LVN_ENDLABELEDITW 0 gamma"}));
  handheld_.call([&] { EXPECT_EQ(TextOf(list_, 0), u"alpha"); });
}

// In a window a modal dialog has disabled the list cannot take the focus, so no edit
// starts: its editor could never have the keys that end it.
TEST_F(LabelEdit, AListThatCannotHaveTheFocusStartsNoEdit) {
  handheld_.call([&] {
    SetFocus(nullptr);
    EnableWindow(GetParent(list_), FALSE);
    EXPECT_EQ(ListView_EditLabel(list_, 0), nullptr);
    EXPECT_EQ(ListView_GetEditControl(list_), nullptr);
    EnableWindow(GetParent(list_), TRUE);
  });
  EXPECT_TRUE(Heard().empty());
  EXPECT_NE(begin(0), nullptr) << "enabled again, it edits";
}

// A parent that rebuilds the list while it hears of the end and still answers TRUE
// must not have the typed text written over whatever item now has the old index.
TEST_F(LabelEdit, AParentRebuildingTheListDuringTheEndKeepsTheNewItemsIntact) {
  test_support::Answer() = [this](NMHDR* header) -> LRESULT {
    if (header->code != LVN_ENDLABELEDITW) return 0;
    ListView_DeleteAllItems(list_);
    Insert(list_, 0, u"fresh0");
    Insert(list_, 1, u"fresh1");
    return TRUE;
  };
  HWND edit = begin(1);
  ASSERT_NE(edit, nullptr);
  type(edit, u"gamma");
  handheld_.press(VK_RETURN);
  handheld_.call([&] { EXPECT_EQ(Texts(list_), (std::vector<std::u16string>{u"fresh0", u"fresh1"})); });
}

std::vector<std::string> ChangesOnly() {
  std::vector<std::string> changes;
  for (const auto& line : Heard())
    if (line.rfind("LVN_ITEMCHANGED", 0) == 0) changes.push_back(line);
  return changes;
}

TEST(ListView, ControlTapExtendsTheSelectionOnlyInAMultipleSelectionList) {
  for (bool single : {false, true}) {
    SCOPED_TRACE(single ? "LVS_SINGLESEL" : "multiple selection");
    ControlHost handheld;
    HWND list = nullptr;
    handheld.start([&](HWND host) {
      list = MakeList(host, LVS_REPORT | (single ? LVS_SINGLESEL : 0));
      for (int i = 0; i < 5; ++i) Insert(list, i, u"row");
    });
    POINT first{}, third{};
    handheld.call([&] {
      first = ItemPoint(list, 1);
      third = ItemPoint(list, 3);
    });
    handheld.tap(list, first);
    Heard().clear();
    handheld.keyDown(VK_CONTROL);
    handheld.tap(list, third);
    handheld.keyUp(VK_CONTROL);
    handheld.call([&] {
      EXPECT_EQ(Selected(list), single ? std::vector<int>{3} : (std::vector<int>{1, 3}));
      EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 3);
      EXPECT_EQ(ListView_GetSelectedCount(list), single ? 1u : 2u);
    });
    // focus leaves 1, selection leaves 1 only without multiple selection, 3 gains both
    std::vector<std::string> expected = {"LVN_ITEMCHANGED 1 3->2"};
    if (single) expected = {"LVN_ITEMCHANGED 1 3->1", "LVN_ITEMCHANGED 1 1->0"};
    expected.push_back("LVN_ITEMCHANGED 3 0->3");
    EXPECT_EQ(ChangesOnly(), expected);
    EXPECT_EQ(Heard().back(), "NM_CLICK");

    // A Control-tap on a selected item of a multiple-selection list takes it out again.
    if (!single) {
      handheld.keyDown(VK_CONTROL);
      handheld.tap(list, first);
      handheld.keyUp(VK_CONTROL);
      handheld.call([&] { EXPECT_EQ(Selected(list), std::vector<int>{3}); });
    }
  }
}

TEST(ListView, TapsHoldsAndDoubleTapsReachTheParentAsTheirNotifications) {
  ControlHost handheld;
  HWND list = nullptr;
  handheld.start([&](HWND host) {
    list = MakeList(host, LVS_LIST | LVS_SINGLESEL);
    Insert(list, 0, u"one");
    Insert(list, 1, u"two");
  });
  POINT point{};
  handheld.call([&] { point = ItemPoint(list, 1); });
  auto clicks = [] {
    std::vector<std::string> clicks;
    for (const auto& line : Heard())
      if (line.rfind("NM_", 0) == 0) clicks.push_back(line);
    Heard().clear();
    return clicks;
  };
  handheld.hold(list, point);
  EXPECT_EQ(clicks(), std::vector<std::string>{"NM_RCLICK"});
  handheld.doubleTap(list, point);
  EXPECT_EQ(clicks(), (std::vector<std::string>{"NM_CLICK", "NM_DBLCLK"}));
  handheld.call([&] { EXPECT_EQ(Selected(list), std::vector<int>{1}); });
  // A tap on the empty area clears the selection.
  handheld.tap(list, POINT{230, 190});
  handheld.call([&] { EXPECT_TRUE(Selected(list).empty()); });
}

TEST(ListView, AParentMayRefuseAStateChange) {
  ControlHost handheld;
  HWND list = nullptr;
  handheld.start([&](HWND host) {
    list = MakeList(host, LVS_REPORT);
    Insert(list, 0, u"one");
  });
  test_support::Answer() = [](NMHDR* header) -> LRESULT { return header->code == LVN_ITEMCHANGING; };
  handheld.call([&] {
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(ListView_GetItemState(list, 0, LVIS_SELECTED), 0u);
  });
  EXPECT_EQ(Heard(), std::vector<std::string>{"LVN_ITEMCHANGING 0 0->2"});
}

TEST(ListView, WithoutSharingItDestroysItsImageListsAndADoubleDestroyIsTheProgramsFault) {
  ControlHost handheld;
  HWND owning = nullptr, sharing = nullptr;
  HIMAGELIST ownedList = nullptr, sharedList = nullptr;
  handheld.start([&](HWND host) {
    owning = MakeList(host, LVS_LIST);
    sharing = MakeList(host, LVS_LIST | LVS_SHAREIMAGELISTS);
    ownedList = ImageList_Create(16, 16, ILC_COLOR, 16, 0);
    sharedList = ImageList_Create(16, 16, ILC_MASK, 1, 2);
    // one list as both small and normal images: destroyed once, not twice
    ListView_SetImageList(owning, ownedList, LVSIL_SMALL);
    ListView_SetImageList(owning, ownedList, LVSIL_NORMAL);
    ListView_SetImageList(sharing, sharedList, LVSIL_SMALL);
    EXPECT_EQ(ListView_GetImageList(owning, LVSIL_SMALL), ownedList);
  });
  auto& faults = handheld.device().faults();
  handheld.call([&] {
    DestroyWindow(sharing);
    EXPECT_EQ(ImageList_GetImageCount(sharedList), 0) << "a sharing list view leaves its image list alone";
    EXPECT_TRUE(ImageList_Destroy(sharedList));
  });
  EXPECT_TRUE(faults.programFaults().empty());

  // The program destroys the image list the owning list view still holds.
  test_support::ExpectMisuse byTheListView("ImageList_Destroy by a list view without LVS_SHAREIMAGELISTS");
  test_support::ExpectMisuse byTheProgram("ImageList_Destroy");
  handheld.call([&] {
    EXPECT_TRUE(ImageList_Destroy(ownedList));
    DestroyWindow(owning);
    EXPECT_FALSE(ImageList_Destroy(ownedList));
  });
  ASSERT_EQ(byTheListView.faults().size(), 1u);
  EXPECT_EQ(byTheListView.faults()[0].problem, "image list already destroyed");
  EXPECT_EQ(byTheListView.faults()[0].program, "\\Windows\\comctltest.exe");
}

}  // namespace

namespace {

TEST(ListView, KeysReachTheParentFirstAndArrowsMoveTheSelection) {
  ControlHost handheld;
  HWND list = nullptr;
  handheld.start([&](HWND host) {
    list = MakeList(host, LVS_REPORT | LVS_SINGLESEL);
    for (int i = 0; i < 3; ++i) Insert(list, i, u"row");
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list);
  });
  Heard().clear();
  handheld.press(VK_DOWN);
  handheld.press(VK_DELETE);
  EXPECT_EQ(Heard().front(), "LVN_KEYDOWN 40");
  EXPECT_EQ(Heard().back(), "LVN_KEYDOWN 46");
  handheld.call([&] { EXPECT_EQ(Selected(list), std::vector<int>{1}); });
}

TEST(ListView, EnsureVisibleScrollsAnItemIntoTheClientArea) {
  ControlHost handheld;
  handheld.start([](HWND host) {
    for (DWORD view : {LVS_REPORT, LVS_LIST, LVS_ICON}) {
      HWND list = MakeList(host, view);
      for (int i = 0; i < 200; ++i) Insert(list, i, u"entry");
      RECT client{}, item{};
      GetClientRect(list, &client);
      ListView_GetItemRect(list, 150, &item, LVIR_BOUNDS);
      EXPECT_FALSE(item.top >= client.top && item.bottom <= client.bottom && item.left >= client.left &&
                   item.right <= client.right);
      EXPECT_TRUE(ListView_EnsureVisible(list, 150, FALSE));
      ListView_GetItemRect(list, 150, &item, LVIR_BOUNDS);
      EXPECT_TRUE(item.top >= client.top && item.bottom <= client.bottom && item.left >= client.left &&
                  item.right <= client.right)
          << "view " << view;
      // the rectangle and the hit test agree
      LVHITTESTINFO hit{};
      hit.pt = test_support::Middle(item);
      EXPECT_EQ(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 150);
      DestroyWindow(list);
    }
  });
}

}  // namespace
