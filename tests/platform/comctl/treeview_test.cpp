#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "comctl/treeview.h"
#include "comctl_test_support.h"

namespace {

using test_support::ControlHost;
using test_support::Heard;

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
  ControlHost handheld;
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

// TVI_SORT and TVM_SORTCHILDREN use the device's Japanese order: symbols, digits,
// Latin, kana (hiragana and katakana of a sound together), kanji; not code points,
// which would put 見積書 (U+898B) before ﾃﾞｰﾀ (U+FF83) and "~" after the letters.
TEST(TreeView, SortingFollowsTheDevicesJapaneseOrder) {
  ControlHost handheld;
  handheld.start([](HWND host) {
    HWND tree = MakeTree(host, TVS_HASBUTTONS);
    HTREEITEM sorted = Add(tree, TVI_ROOT, u"sorted");
    HTREEITEM later = Add(tree, TVI_ROOT, u"later");
    const WCHAR* names[] = {u"見積書", u"ﾃﾞｰﾀ", u"Readme", u"~old", u"めも", u"メモ", u"2002"};
    for (const WCHAR* name : names) {
      Add(tree, sorted, name);
      Add(tree, later, name, TVI_LAST);
    }
    const std::vector<std::u16string> expected = {u"~old", u"2002", u"Readme", u"ﾃﾞｰﾀ", u"めも", u"メモ", u"見積書"};
    EXPECT_EQ(Children(tree, sorted), expected);
    EXPECT_TRUE(TreeView_SortChildren(tree, later, FALSE));
    EXPECT_EQ(Children(tree, later), expected);
  });
}

TEST(TreeView, SelectingADeepItemExpandsItsParentsAndAnnouncesTheChange) {
  ControlHost handheld;
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
  ControlHost handheld;
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
  handheld.tap(tree, test_support::Middle(label));
  handheld.call([&] { EXPECT_EQ(TreeView_GetSelection(tree), top); });
  handheld.doubleTap(tree, test_support::Middle(label));
  handheld.call([&] {
    EXPECT_FALSE(Expanded(tree, top)) << "a double tap toggles";
    RECT otherRect{};
    EXPECT_TRUE(TreeView_GetItemRect(tree, other, &otherRect, TRUE));
    EXPECT_EQ(otherRect.top, row.bottom) << "the collapsed branch gives its rows back";
  });
}

// The model's names are ASCII letters, where the device's order (lstrcmpiW) and the
// ordinal one agree; the ordinal comparison keeps the model's linear scans fast.
bool NameLess(const std::u16string& a, const std::u16string& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; }

void Rename(HWND tree, HTREEITEM item, const std::u16string& text) {
  TVITEMW set{};
  set.mask = TVIF_TEXT | TVIF_HANDLE;
  set.hItem = item;
  set.pszText = const_cast<WCHAR*>(text.c_str());
  TreeView_SetItem(tree, &set);
}

// What a level should hold, kept the plain way: a sorted insertion goes before the
// first item that compares greater, whatever order the level is in.
struct ModelLevel {
  struct Entry {
    HTREEITEM item;
    std::u16string text;
  };
  std::vector<Entry> entries;

  std::size_t SortedPlace(const std::u16string& text) const {
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (NameLess(text, entries[i].text)) return i;
    return entries.size();
  }
  std::vector<HTREEITEM> Items() const {
    std::vector<HTREEITEM> items;
    for (const auto& entry : entries) items.push_back(entry.item);
    return items;
  }
};

std::vector<HTREEITEM> WalkForward(HWND tree, HTREEITEM parent) {
  std::vector<HTREEITEM> items;
  for (HTREEITEM at = TreeView_GetChild(tree, parent); at; at = TreeView_GetNextSibling(tree, at)) items.push_back(at);
  return items;
}

std::vector<HTREEITEM> WalkBackward(HWND tree, HTREEITEM parent) {
  std::vector<HTREEITEM> items;
  HTREEITEM last = TreeView_GetChild(tree, parent);
  while (HTREEITEM next = last ? TreeView_GetNextSibling(tree, last) : nullptr) last = next;
  for (HTREEITEM at = last; at; at = TreeView_GetPrevSibling(tree, at)) items.push_back(at);
  std::reverse(items.begin(), items.end());
  return items;
}

TEST(TreeView, SortedInsertionGoesBeforeTheFirstGreaterSiblingEvenInAnUnsortedLevel) {
  ControlHost handheld;
  handheld.start([](HWND host) {
    HWND tree = MakeTree(host, TVS_HASBUTTONS);
    HTREEITEM root = Add(tree, TVI_ROOT, u"root");
    Add(tree, root, u"zz", TVI_FIRST);
    Add(tree, root, u"a", TVI_LAST);
    Add(tree, root, u"b", TVI_LAST);
    Add(tree, root, u"c");
    Add(tree, root, u"ZZ");
    // "c" meets "zz" first; "ZZ" meets nothing greater ("zz" is equal ignoring case)
    EXPECT_EQ(Children(tree, root), (std::vector<std::u16string>{u"c", u"zz", u"a", u"b", u"ZZ"}));
  });
}

// Thousands of insertions of every kind, deletions and renames on one level, each
// compared with the plain model; then a sort and more sorted insertions.
TEST(TreeView, MixedInsertionsDeletionsAndRenamesKeepTheLevelInTheExpectedOrder) {
  ControlHost handheld;
  handheld.start([](HWND host) {
    HWND tree = MakeTree(host, TVS_HASBUTTONS);
    HTREEITEM root = Add(tree, TVI_ROOT, u"root");
    ModelLevel model;
    std::mt19937 random(7);
    auto name = [&random] {
      std::u16string text;
      for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n)
        text += static_cast<char16_t>((random() % 2 ? u'a' : u'A') + random() % 4);  // few letters: many ties
      return text;
    };
    for (int step = 0; step < 3000; ++step) {
      std::u16string text = name();
      std::size_t pick = model.entries.empty() ? 0 : random() % model.entries.size();
      switch (random() % 10) {
        case 0:
          model.entries.insert(model.entries.begin(), {Add(tree, root, text.c_str(), TVI_FIRST), text});
          break;
        case 1:
          model.entries.push_back({Add(tree, root, text.c_str(), TVI_LAST), text});
          break;
        case 2:
          if (model.entries.empty()) break;
          model.entries.insert(model.entries.begin() + static_cast<std::ptrdiff_t>(pick + 1),
                               {Add(tree, root, text.c_str(), model.entries[pick].item), text});
          break;
        case 3:
          if (model.entries.empty()) break;
          ASSERT_TRUE(TreeView_DeleteItem(tree, model.entries[pick].item));
          model.entries.erase(model.entries.begin() + static_cast<std::ptrdiff_t>(pick));
          break;
        case 4:
          if (model.entries.empty()) break;
          Rename(tree, model.entries[pick].item, text);
          model.entries[pick].text = text;
          break;
        default: {
          std::size_t place = model.SortedPlace(text);
          model.entries.insert(model.entries.begin() + static_cast<std::ptrdiff_t>(place), {Add(tree, root, text.c_str()), text});
          break;
        }
      }
      if (step % 100 == 0) {
        ASSERT_EQ(WalkForward(tree, root), model.Items()) << "after step " << step;
      }
    }
    ASSERT_EQ(WalkForward(tree, root), model.Items());
    EXPECT_EQ(WalkBackward(tree, root), model.Items());
    EXPECT_EQ(TreeView_GetCount(tree), model.entries.size() + 1);

    // Sorting is stable: names equal but for case keep their order.
    EXPECT_TRUE(TreeView_SortChildren(tree, root, FALSE));
    std::stable_sort(model.entries.begin(), model.entries.end(),
                     [](const ModelLevel::Entry& a, const ModelLevel::Entry& b) { return NameLess(a.text, b.text); });
    ASSERT_EQ(WalkForward(tree, root), model.Items());
    for (int step = 0; step < 500; ++step) {
      std::u16string text = name();
      std::size_t place = model.SortedPlace(text);
      model.entries.insert(model.entries.begin() + static_cast<std::ptrdiff_t>(place), {Add(tree, root, text.c_str()), text});
    }
    EXPECT_EQ(WalkForward(tree, root), model.Items());
    EXPECT_EQ(WalkBackward(tree, root), model.Items());

    // The rows shown follow the same order, and a tap on a row finds its item.
    TreeView_Expand(tree, root, TVE_EXPAND);
    std::vector<HTREEITEM> visible;
    for (HTREEITEM at = TreeView_GetNextVisible(tree, root); at; at = TreeView_GetNextVisible(tree, at)) visible.push_back(at);
    EXPECT_EQ(visible, model.Items());
    TVHITTESTINFO hit{};
    hit.pt = POINT{40, sim::kTreeRowHeight * 3 + 2};
    auto hitItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    EXPECT_EQ(hitItem, model.entries[2].item);
  });
}

HTREEITEM AddWithParam(HWND tree, HTREEITEM parent, const WCHAR* text, LPARAM param) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<WCHAR*>(text);
  insert.item.lParam = param;
  return TreeView_InsertItem(tree, &insert);
}

struct MeddlingSort {
  HWND tree = nullptr;
  HTREEITEM parent = nullptr;
  HTREEITEM doomed = nullptr;
  bool meddled = false;
};

// Orders by parameter; on its first call it deletes one item of the level being
// sorted and adds another, as a careless program might.
int CALLBACK CompareParamsAndMeddle(LPARAM a, LPARAM b, LPARAM context) {
  auto* sort = reinterpret_cast<MeddlingSort*>(context);
  if (!sort->meddled) {
    sort->meddled = true;
    TreeView_DeleteItem(sort->tree, sort->doomed);
    AddWithParam(sort->tree, sort->parent, u"added", 0);
  }
  return static_cast<int>(a - b);
}

TEST(TreeView, ASortByTheProgramsComparisonSurvivesTheProgramChangingTheLevel) {
  ControlHost handheld;
  handheld.start([](HWND host) {
    HWND tree = MakeTree(host, TVS_HASBUTTONS);
    HTREEITEM root = Add(tree, TVI_ROOT, u"root");
    HTREEITEM a = AddWithParam(tree, root, u"a", 3);
    AddWithParam(tree, a, u"x", 2);
    AddWithParam(tree, a, u"y", 1);
    AddWithParam(tree, root, u"b", 1);
    MeddlingSort meddling{tree, root, AddWithParam(tree, root, u"d", 4)};
    AddWithParam(tree, root, u"c", 2);
    TVSORTCB sort{root, CompareParamsAndMeddle, reinterpret_cast<LPARAM>(&meddling)};
    EXPECT_TRUE(SendMessageW(tree, TVM_SORTCHILDRENCB, TRUE, reinterpret_cast<LPARAM>(&sort)));
    EXPECT_EQ(Children(tree, root), (std::vector<std::u16string>{u"added", u"b", u"c", u"a"}));
    EXPECT_EQ(Children(tree, a), (std::vector<std::u16string>{u"y", u"x"})) << "the levels below are sorted too";
    EXPECT_EQ(TreeView_GetCount(tree), 7u);
  });
}

std::size_t CountHeard(const std::string& name) {
  return static_cast<std::size_t>(std::count(Heard().begin(), Heard().end(), name));
}

TEST(TreeView, HandlesOfDeletedItemsAreRecognisedAsTheProgramsFault) {
  ControlHost handheld;
  // A parent that deletes the item it hears about again does no harm.
  HWND tree = nullptr;
  test_support::Answer() = [&](NMHDR* header) -> LRESULT {
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
    {
      test_support::ExpectMisuse select("TVM_SELECTITEM");
      test_support::ExpectMisuse next("TVM_GETNEXTITEM");
      test_support::ExpectMisuse text("TVM_GETITEMW");
      EXPECT_FALSE(TreeView_SelectItem(tree, doomed));
      EXPECT_EQ(TreeView_GetNextSibling(tree, doomed), nullptr);
      EXPECT_EQ(TextOf(tree, doomed), u"");
      for (const auto* scope : {&select, &next, &text})
        for (const auto& fault : scope->faults()) EXPECT_EQ(fault.problem, "tree item already deleted");
    }
    Heard().clear();
    EXPECT_TRUE(TreeView_DeleteAllItems(tree));
    EXPECT_EQ(CountHeard("TVN_DELETEITEMW"), 2u);
    EXPECT_EQ(TreeView_GetRoot(tree), nullptr);
    EXPECT_EQ(TreeView_GetSelection(tree), nullptr);
  });
}

}  // namespace
