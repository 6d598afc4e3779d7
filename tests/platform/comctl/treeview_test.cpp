#include <algorithm>
#include <string>
#include <vector>

#include "comctl/treeview.h"
#include "comctl_test_support.h"

namespace {

using cctest::Handheld;
using cctest::Heard;

HWND MakeTree(HWND host, DWORD style) {
  return CreateWindowExW(0, WC_TREEVIEWW, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 240, 200, host,
                         reinterpret_cast<HMENU>(200), nullptr, nullptr);
}

HTREEITEM Add(HWND tree, HTREEITEM parent, const WCHAR* text, HTREEITEM after = TVI_SORT) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<WCHAR*>(text);
  return TreeView_InsertItem(tree, &insert);
}

std::u16string TextOf(HWND tree, HTREEITEM item) {
  WCHAR buffer[64] = {};
  TVITEMW get{};
  get.mask = TVIF_TEXT | TVIF_HANDLE;
  get.hItem = item;
  get.pszText = buffer;
  get.cchTextMax = 64;
  TreeView_GetItem(tree, &get);
  return buffer;
}

std::vector<std::u16string> Children(HWND tree, HTREEITEM parent) {
  std::vector<std::u16string> texts;
  for (HTREEITEM at = TreeView_GetChild(tree, parent); at; at = TreeView_GetNextSibling(tree, at))
    texts.push_back(TextOf(tree, at));
  return texts;
}

bool Expanded(HWND tree, HTREEITEM item) {
  TVITEMW get{};
  get.mask = TVIF_STATE | TVIF_HANDLE;
  get.hItem = item;
  get.stateMask = TVIS_EXPANDED;
  TreeView_GetItem(tree, &get);
  return get.state & TVIS_EXPANDED;
}

TEST(TreeView, InsertionPlacesItemsAndSortingOrdersALevelByName) {
  Handheld handheld;
  handheld.start([](HWND host) {
    HWND tree = MakeTree(host, TVS_HASBUTTONS | TVS_HASLINES);
    HTREEITEM root = Add(tree, TVI_ROOT, u"root");
    for (const WCHAR* name : {u"m", u"B", u"x", u"a", u"_z"}) Add(tree, root, name);
    EXPECT_EQ(Children(tree, root), (std::vector<std::u16string>{u"_z", u"a", u"B", u"m", u"x"}));
    HTREEITEM first = Add(tree, root, u"zz-first", TVI_FIRST);
    Add(tree, root, u"aa-last", TVI_LAST);
    Add(tree, root, u"after-first", first);
    EXPECT_EQ(Children(tree, root),
              (std::vector<std::u16string>{u"zz-first", u"after-first", u"_z", u"a", u"B", u"m", u"x", u"aa-last"}));
    EXPECT_TRUE(TreeView_SortChildren(tree, root, FALSE));
    EXPECT_EQ(Children(tree, root),
              (std::vector<std::u16string>{u"_z", u"a", u"aa-last", u"after-first", u"B", u"m", u"x", u"zz-first"}));
    // walking backwards agrees with walking forwards after the re-sort
    HTREEITEM last = TreeView_GetChild(tree, root);
    while (HTREEITEM next = TreeView_GetNextSibling(tree, last)) last = next;
    EXPECT_EQ(TextOf(tree, TreeView_GetPrevSibling(tree, last)), u"x");
    EXPECT_EQ(TreeView_GetParent(tree, last), root);
    EXPECT_EQ(TreeView_GetCount(tree), 9u);
  });
}

TEST(TreeView, SelectingADeepItemExpandsItsParentsAndAnnouncesTheChange) {
  Handheld handheld;
  HWND tree = nullptr;
  HTREEITEM root = nullptr, windows = nullptr, fonts = nullptr, docs = nullptr;
  handheld.start([&](HWND host) {
    tree = MakeTree(host, TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS);
    root = Add(tree, TVI_ROOT, u"device");
    windows = Add(tree, root, u"Windows");
    fonts = Add(tree, windows, u"Fonts");
    docs = Add(tree, root, u"Docs");
  });
  handheld.call([&] {
    EXPECT_EQ(sim::TreeViewItemByPath(tree, u"device\\windows\\fonts"), fonts);
    RECT rect{};
    EXPECT_FALSE(TreeView_GetItemRect(tree, fonts, &rect, TRUE)) << "a collapsed branch shows nothing";
    EXPECT_TRUE(TreeView_SelectItem(tree, fonts));
    EXPECT_TRUE(Expanded(tree, root));
    EXPECT_TRUE(Expanded(tree, windows));
    EXPECT_EQ(TreeView_GetSelection(tree), fonts);
    EXPECT_TRUE(TreeView_GetItemRect(tree, fonts, &rect, TRUE));
    EXPECT_EQ(sim::TreeViewPathOf(tree, fonts), u"device\\Windows\\Fonts");
    // visible order: device, Docs, Windows, Fonts
    std::vector<std::u16string> visible;
    for (HTREEITEM at = TreeView_GetFirstVisible(tree); at; at = TreeView_GetNextVisible(tree, at))
      visible.push_back(TextOf(tree, at));
    EXPECT_EQ(visible, (std::vector<std::u16string>{u"device", u"Docs", u"Windows", u"Fonts"}));
  });
  EXPECT_EQ(Heard(), (std::vector<std::string>{"TVN_SELCHANGINGW", "TVN_ITEMEXPANDINGW", "TVN_ITEMEXPANDEDW",
                                                "TVN_ITEMEXPANDINGW", "TVN_ITEMEXPANDEDW", "TVN_SELCHANGEDW"}));

  // Collapsing the branch that holds the selection moves the selection up to it;
  // a program's expand tells the parent only the first time.
  Heard().clear();
  handheld.call([&] {
    EXPECT_TRUE(TreeView_Expand(tree, windows, TVE_COLLAPSE));
    EXPECT_EQ(TreeView_GetSelection(tree), windows);
    EXPECT_TRUE(TreeView_Expand(tree, windows, TVE_EXPAND));
    EXPECT_FALSE(TreeView_Expand(tree, docs, TVE_EXPAND)) << "nothing to expand";
  });
  EXPECT_EQ(Heard(), (std::vector<std::string>{"TVN_SELCHANGINGW", "TVN_SELCHANGEDW"}));
}

TEST(TreeView, TapsSelectAndTheButtonOrADoubleTapToggles) {
  Handheld handheld;
  HWND tree = nullptr;
  HTREEITEM top = nullptr, child = nullptr, other = nullptr;
  handheld.start([&](HWND host) {
    tree = MakeTree(host, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);
    top = Add(tree, TVI_ROOT, u"top");
    child = Add(tree, top, u"child");
    other = Add(tree, TVI_ROOT, u"zother");
  });
  RECT label{}, row{};
  handheld.call([&] {
    TreeView_GetItemRect(tree, top, &label, TRUE);
    TreeView_GetItemRect(tree, top, &row, FALSE);
  });
  POINT button{label.left - 19 / 2 - 16, (row.top + row.bottom) / 2};
  if (button.x < 0) button.x = 2;
  handheld.tap(tree, button);
  handheld.call([&] {
    EXPECT_TRUE(Expanded(tree, top)) << "the button expands";
    EXPECT_EQ(TreeView_GetSelection(tree), nullptr) << "the button does not select";
  });
  handheld.tap(tree, cctest::Middle(label));
  handheld.call([&] { EXPECT_EQ(TreeView_GetSelection(tree), top); });
  handheld.doubleTap(tree, cctest::Middle(label));
  handheld.call([&] {
    EXPECT_FALSE(Expanded(tree, top)) << "a double tap toggles";
    RECT otherRect{};
    EXPECT_TRUE(TreeView_GetItemRect(tree, other, &otherRect, TRUE));
    EXPECT_EQ(otherRect.top, row.bottom) << "the collapsed branch gives its rows back";
  });
}

std::size_t CountHeard(const std::string& name) {
  return static_cast<std::size_t>(std::count(Heard().begin(), Heard().end(), name));
}

TEST(TreeView, HandlesOfDeletedItemsAreRecognisedAsTheProgramsFault) {
  Handheld handheld;
  // A parent that deletes the item it hears about again does no harm.
  HWND tree = nullptr;
  cctest::Answer() = [&](NMHDR* header) -> LRESULT {
    if (header->code == TVN_DELETEITEMW) TreeView_DeleteItem(tree, reinterpret_cast<NMTREEVIEWW*>(header)->itemOld.hItem);
    return 0;
  };
  handheld.start([&](HWND host) {
    tree = MakeTree(host, TVS_HASBUTTONS);
    HTREEITEM root = Add(tree, TVI_ROOT, u"root");
    HTREEITEM doomed = Add(tree, root, u"doomed");
    Add(tree, doomed, u"inner");
    HTREEITEM next = Add(tree, root, u"next");
    TreeView_SelectItem(tree, doomed);
    Heard().clear();
    EXPECT_TRUE(TreeView_DeleteItem(tree, doomed));
    EXPECT_EQ(CountHeard("TVN_DELETEITEMW"), 2u) << "the item and the one below it";
    EXPECT_EQ(TreeView_GetSelection(tree), next) << "the caret moves to the next sibling";
    EXPECT_EQ(TreeView_GetCount(tree), 2u);
    EXPECT_FALSE(TreeView_SelectItem(tree, doomed));
    EXPECT_EQ(TreeView_GetNextSibling(tree, doomed), nullptr);
    EXPECT_EQ(TextOf(tree, doomed), u"");
    Heard().clear();
    EXPECT_TRUE(TreeView_DeleteAllItems(tree));
    EXPECT_EQ(CountHeard("TVN_DELETEITEMW"), 2u);
    EXPECT_EQ(TreeView_GetRoot(tree), nullptr);
    EXPECT_EQ(TreeView_GetSelection(tree), nullptr);
  });
  const auto& faults = handheld.device().faults().programFaults();
  ASSERT_EQ(faults.size(), 3u);
  for (const auto& fault : faults) EXPECT_NE(fault.what.find("already deleted"), std::string::npos) << fault.what;
}

}  // namespace
