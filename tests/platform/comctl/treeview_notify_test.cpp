// The tree view answers as the device's control documents it: what each notification
// fills, what messages return, the keys, label editing started by the program, items
// the parent keeps, and styles set after creation. Where the desktop's control
// differs, the device's (CE) reading is the one checked, as each test says.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "comctl/treeview.h"
#include "comctl_test_support.h"

namespace {

using Handheld = test_support::ControlHost;

// Everything the host hears, with the fields a notification carries.
std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

std::string Hex(UINT value) {
  char text[16];
  snprintf(text, sizeof text, "%X", value);
  return text;
}

std::string ItemLine(const char* name, const TVITEMW& item) {
  return std::string(name) + " mask=" + Hex(item.mask) + " state=" + Hex(item.state) + " param=" +
         std::to_string(item.lParam) + " image=" + std::to_string(item.iImage) + "/" + std::to_string(item.iSelectedImage);
}

std::string Describe(NMHDR* header) {
  auto* tree = reinterpret_cast<NMTREEVIEWW*>(header);
  auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
  switch (header->code) {
    case TVN_DELETEITEMW: return ItemLine("TVN_DELETEITEMW old", tree->itemOld);
    case TVN_ITEMEXPANDINGW: return ItemLine("TVN_ITEMEXPANDINGW new", tree->itemNew) + " action=" + std::to_string(tree->action);
    case TVN_ITEMEXPANDEDW: return ItemLine("TVN_ITEMEXPANDEDW new", tree->itemNew) + " action=" + std::to_string(tree->action);
    case TVN_SELCHANGINGW:
    case TVN_SELCHANGEDW:
      return std::string(header->code == TVN_SELCHANGINGW ? "TVN_SELCHANGINGW " : "TVN_SELCHANGEDW ") +
             ItemLine("old", tree->itemOld) + " " + ItemLine("new", tree->itemNew);
    case TVN_GETDISPINFOW: return "TVN_GETDISPINFOW mask=" + Hex(info->item.mask) + " param=" + std::to_string(info->item.lParam);
    case TVN_BEGINLABELEDITW:
    case TVN_ENDLABELEDITW:
      return std::string(header->code == TVN_BEGINLABELEDITW ? "TVN_BEGINLABELEDITW" : "TVN_ENDLABELEDITW") +
             " mask=" + Hex(info->item.mask) + " " + test_support::Narrow(info->item.pszText);
    case TVN_KEYDOWN: return "TVN_KEYDOWN " + std::to_string(reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey);
    default: return "";
  }
}

// Records every notification; `reply` answers them (0 when unset).
void Record(std::function<LRESULT(NMHDR*)> reply = nullptr) {
  Log().clear();
  test_support::Answer() = [reply](NMHDR* header) -> LRESULT {
    std::string line = Describe(header);
    if (!line.empty()) Log().push_back(line);
    return reply ? reply(header) : 0;
  };
}

HWND MakeTree(HWND host, DWORD style) {
  return CreateWindowExW(0, WC_TREEVIEWW, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 240, 200, host,
                         reinterpret_cast<HMENU>(200), nullptr, nullptr);
}

HTREEITEM Add(HWND tree, HTREEITEM parent, const WCHAR* text, LPARAM param, int image = 0) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<WCHAR*>(text);
  insert.item.lParam = param;
  insert.item.iImage = image;
  insert.item.iSelectedImage = image + 1;
  return TreeView_InsertItem(tree, &insert);
}

UINT StateOf(HWND tree, HTREEITEM item, UINT stateMask) {
  TVITEMW get{};
  get.mask = TVIF_HANDLE | TVIF_STATE;
  get.hItem = item;
  get.stateMask = stateMask;
  TreeView_GetItem(tree, &get);
  return get.state;
}

std::u16string TextOf(HWND tree, HTREEITEM item) {
  WCHAR buffer[64] = {};
  TVITEMW get{};
  get.mask = TVIF_HANDLE | TVIF_TEXT;
  get.hItem = item;
  get.pszText = buffer;
  get.cchTextMax = 64;
  TreeView_GetItem(tree, &get);
  return buffer;
}

// A tree of "top" (param 1) with "child" (param 2) below it, and "next" (param 3).
struct SmallTree {
  HWND tree = nullptr;
  HTREEITEM top = nullptr, child = nullptr, next = nullptr;
  void make(HWND host, DWORD style) {
    tree = MakeTree(host, style);
    top = Add(tree, TVI_ROOT, u"top", 1, 4);
    child = Add(tree, top, u"child", 2);
    next = Add(tree, TVI_ROOT, u"next", 3);
  }
};

// TVN_DELETEITEMW fills handle and parameter (0x14); expansion fills handle, state,
// parameter and both images (0x3E); a selection change fills handle, state and
// parameter of both items (0x1C; the CE reference names just these as valid).
TEST(TreeViewNotify, EachNotificationFillsTheItemPartsItDocuments) {
  Handheld handheld;
  SmallTree t;
  handheld.start([&](HWND host) { t.make(host, TVS_HASBUTTONS); });
  Record();
  handheld.call([&] {
    TreeView_SelectItem(t.tree, t.top);
    TreeView_Expand(t.tree, t.top, TVE_EXPAND);
    TreeView_DeleteItem(t.tree, t.child);
  });
  const std::vector<std::string> expected = {
      "TVN_SELCHANGINGW old mask=0 state=0 param=0 image=0/0 new mask=1C state=0 param=1 image=0/0",
      "TVN_SELCHANGEDW old mask=0 state=0 param=0 image=0/0 new mask=1C state=3 param=1 image=0/0",
      "TVN_ITEMEXPANDINGW new mask=3E state=3 param=1 image=4/5 action=2",
      "TVN_ITEMEXPANDEDW new mask=3E state=63 param=1 image=4/5 action=2",
      "TVN_DELETEITEMW old mask=14 state=0 param=2 image=0/0",
  };
  EXPECT_EQ(Log(), expected);
}

// Collapsing a collapsed item answers FALSE and sends nothing, and neither can an item
// without children expand; expanding an expanded item succeeds quietly. TVM_GETITEMW
// gives the whole state whatever stateMask asks: inside TVN_ITEMEXPANDINGW the
// selected item reads as selected.
TEST(TreeViewNotify, ExpandAnswersAsDocumentedAndTheStateIsReadWhole) {
  Handheld handheld;
  SmallTree t;
  handheld.start([&](HWND host) { t.make(host, TVS_HASBUTTONS); });
  UINT duringExpanding = 0;
  Record([&](NMHDR* header) -> LRESULT {
    if (header->code == TVN_ITEMEXPANDINGW) duringExpanding = StateOf(t.tree, t.top, TVIS_EXPANDED);
    return 0;
  });
  handheld.call([&] {
    TreeView_SelectItem(t.tree, t.top);
    Log().clear();
    EXPECT_FALSE(TreeView_Expand(t.tree, t.top, TVE_COLLAPSE));
    EXPECT_FALSE(TreeView_Expand(t.tree, t.next, TVE_EXPAND));
    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(TreeView_Expand(t.tree, t.top, TVE_EXPAND));
    EXPECT_EQ(Log().size(), 2u);
    EXPECT_TRUE(TreeView_Expand(t.tree, t.top, TVE_EXPAND));
    EXPECT_EQ(Log().size(), 2u) << "already expanded: nothing to tell";
  });
  EXPECT_EQ(duringExpanding, static_cast<UINT>(TVIS_SELECTED | TVIS_FOCUSED));

  // TVE_COLLAPSERESET takes the children (the collapse itself is quiet: the item was
  // expanded once) and lets the next expansion tell the parent again.
  handheld.call([&] {
    Log().clear();
    EXPECT_TRUE(TreeView_Expand(t.tree, t.top, TVE_COLLAPSE | TVE_COLLAPSERESET));
    EXPECT_EQ(TreeView_GetChild(t.tree, t.top), nullptr);
    EXPECT_EQ(StateOf(t.tree, t.top, 0) & TVIS_EXPANDEDONCE, 0u);
    EXPECT_EQ(Log(), std::vector<std::string>{"TVN_DELETEITEMW old mask=14 state=0 param=2 image=0/0"});
    Add(t.tree, t.top, u"refilled", 6);
    Log().clear();
    EXPECT_TRUE(TreeView_Expand(t.tree, t.top, TVE_EXPAND));
    EXPECT_EQ(Log().size(), 2u);
  });
}

// + and - expand and collapse the selected item, * its whole branch, Left and Right
// collapse and expand or move to the parent and the first child; each after
// TVN_KEYDOWN, with the notifications a tap on the button gives.
TEST(TreeViewNotify, KeysExpandCollapseAndMoveAfterTheKeyIsAnnounced) {
  Handheld handheld;
  SmallTree t;
  HTREEITEM grandchild = nullptr;
  handheld.start([&](HWND host) {
    t.make(host, TVS_HASBUTTONS);
    grandchild = Add(t.tree, t.child, u"grandchild", 5);
    TreeView_SelectItem(t.tree, t.top);
    SetFocus(t.tree);
  });
  auto keys = [&](std::vector<BYTE> pressed) {
    Record();
    for (BYTE key : pressed) handheld.press(key);
    std::vector<std::string> names;
    for (const auto& line : Log()) names.push_back(line.rfind("TVN_KEYDOWN", 0) == 0 ? line : line.substr(0, line.find(' ')));
    return names;
  };
  EXPECT_EQ(keys({VK_ADD}), (std::vector<std::string>{"TVN_KEYDOWN 107", "TVN_ITEMEXPANDINGW", "TVN_ITEMEXPANDEDW"}));
  EXPECT_EQ(keys({VK_SUBTRACT}), (std::vector<std::string>{"TVN_KEYDOWN 109", "TVN_ITEMEXPANDINGW", "TVN_ITEMEXPANDEDW"}));
  EXPECT_EQ(keys({VK_MULTIPLY}).size(), 5u) << "the key, then top and child expanded";
  handheld.call([&] { EXPECT_TRUE(StateOf(t.tree, t.child, 0) & TVIS_EXPANDED); });
  EXPECT_EQ(keys({VK_RIGHT}), (std::vector<std::string>{"TVN_KEYDOWN 39", "TVN_SELCHANGINGW", "TVN_SELCHANGEDW"}));
  handheld.call([&] { EXPECT_EQ(TreeView_GetSelection(t.tree), t.child); });
  EXPECT_EQ(keys({VK_LEFT}), (std::vector<std::string>{"TVN_KEYDOWN 37", "TVN_ITEMEXPANDINGW", "TVN_ITEMEXPANDEDW"}));
  EXPECT_EQ(keys({VK_LEFT}), (std::vector<std::string>{"TVN_KEYDOWN 37", "TVN_SELCHANGINGW", "TVN_SELCHANGEDW"}));
  handheld.call([&] {
    EXPECT_EQ(TreeView_GetSelection(t.tree), t.top);
    EXPECT_FALSE(StateOf(t.tree, t.child, 0) & TVIS_EXPANDED);
  });
  (void)grandchild;
}

class TreeLabelEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    handheld_.start([&](HWND host) { t_.make(host, TVS_HASBUTTONS | TVS_EDITLABELS); });
  }
  Handheld handheld_;
  SmallTree t_;
};

// TVM_EDITLABELW selects the item, announces the edit with its handle, state,
// parameter and text, and returns the editor, which TVM_GETEDITCONTROL also gives;
// TVM_ENDEDITLABELNOW(FALSE) keeps the typed text when the parent answers TRUE.
TEST_F(TreeLabelEdit, TheProgramStartsAnEditAndEndsItSaving) {
  Record([](NMHDR* header) -> LRESULT { return header->code == TVN_ENDLABELEDITW; });
  HWND edit = nullptr;
  handheld_.call([&] {
    edit = TreeView_EditLabel(t_.tree, t_.next);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(TreeView_GetEditControl(t_.tree), edit);
    EXPECT_EQ(TreeView_GetSelection(t_.tree), t_.next);
    EXPECT_EQ(GetFocus(), edit);
    SetWindowTextW(edit, u"renamed");
    EXPECT_TRUE(TreeView_EndEditLabelNow(t_.tree, FALSE));
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(TreeView_GetEditControl(t_.tree), nullptr);
    EXPECT_FALSE(TreeView_EndEditLabelNow(t_.tree, FALSE)) << "no edit to end";
    EXPECT_EQ(TextOf(t_.tree, t_.next), u"renamed");
  });
  ASSERT_EQ(Log().size(), 4u);
  EXPECT_EQ(Log()[2], "TVN_BEGINLABELEDITW mask=1D next");
  EXPECT_EQ(Log()[3], "TVN_ENDLABELEDITW mask=15 renamed");
}

// A tree in a window a modal dialog has disabled cannot take the focus: no edit
// starts, whose editor no key could end.
TEST_F(TreeLabelEdit, ATreeThatCannotHaveTheFocusStartsNoEdit) {
  Record();
  handheld_.call([&] {
    SetFocus(nullptr);
    EnableWindow(GetParent(t_.tree), FALSE);
    EXPECT_EQ(TreeView_EditLabel(t_.tree, t_.next), nullptr);
    EXPECT_EQ(TreeView_GetEditControl(t_.tree), nullptr);
  });
  EXPECT_TRUE(Log().empty()) << "nothing selected or announced";
  handheld_.call([&] {
    EnableWindow(GetParent(t_.tree), TRUE);
    EXPECT_NE(TreeView_EditLabel(t_.tree, t_.next), nullptr);
  });
}

TEST_F(TreeLabelEdit, CancellingSendsNoTextAndRefusalsKeepTheLabel) {
  Record([](NMHDR* header) -> LRESULT { return header->code == TVN_ENDLABELEDITW; });
  handheld_.call([&] {
    HWND edit = TreeView_EditLabel(t_.tree, t_.top);
    SetWindowTextW(edit, u"dropped");
    EXPECT_TRUE(TreeView_EndEditLabelNow(t_.tree, TRUE));
    EXPECT_EQ(TextOf(t_.tree, t_.top), u"top");
  });
  EXPECT_EQ(Log().back(), "TVN_ENDLABELEDITW mask=15 (null)");

  // The parent refuses the start; then it refuses the new text (answers 0); then
  // Escape cancels an edit and deleting an item cancels its edit.
  Record([](NMHDR* header) -> LRESULT { return header->code == TVN_BEGINLABELEDITW; });
  handheld_.call([&] { EXPECT_EQ(TreeView_EditLabel(t_.tree, t_.top), nullptr); });
  Record();
  handheld_.call([&] {
    HWND edit = TreeView_EditLabel(t_.tree, t_.top);
    SetWindowTextW(edit, u"refused");
    TreeView_EndEditLabelNow(t_.tree, FALSE);
    EXPECT_EQ(TextOf(t_.tree, t_.top), u"top");
    TreeView_EditLabel(t_.tree, t_.next);
    TreeView_DeleteItem(t_.tree, t_.next);
    EXPECT_EQ(TreeView_GetEditControl(t_.tree), nullptr);
  });
  auto end = std::find(Log().begin(), Log().end(), "TVN_ENDLABELEDITW mask=15 (null)");
  auto deleted = std::find_if(Log().begin(), Log().end(), [](const std::string& line) { return line.rfind("TVN_DELETEITEMW", 0) == 0; });
  EXPECT_TRUE(end < deleted) << "the edit ends before the item goes";
}

// Parts given as LPSTR_TEXTCALLBACKW, I_IMAGECALLBACK and I_CHILDRENCALLBACK are asked
// for in TVN_GETDISPINFOW when read; with TVIF_DI_SETITEM the item keeps the answer.
TEST(TreeViewNotify, CallbackPartsAreAskedForAndKeptOnRequest) {
  Handheld handheld;
  HWND tree = nullptr;
  HTREEITEM item = nullptr;
  handheld.start([&](HWND host) {
    tree = MakeTree(host, TVS_HASBUTTONS);
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    insert.item.pszText = LPSTR_TEXTCALLBACKW;
    insert.item.iImage = I_IMAGECALLBACK;
    insert.item.iSelectedImage = 2;
    insert.item.cChildren = I_CHILDRENCALLBACK;
    insert.item.lParam = 9;
    item = TreeView_InsertItem(tree, &insert);
  });
  bool keep = false;
  Record([&](NMHDR* header) -> LRESULT {
    if (header->code != TVN_GETDISPINFOW) return 0;
    auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
    if (info->item.mask & TVIF_TEXT) lstrcpynW(info->item.pszText, u"asked", info->item.cchTextMax);
    info->item.iImage = 7;
    info->item.cChildren = 1;
    if (keep) info->item.mask |= TVIF_DI_SETITEM;
    return 0;
  });
  handheld.call([&] {
    WCHAR text[32] = {};
    TVITEMW get{};
    get.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    get.hItem = item;
    get.pszText = text;
    get.cchTextMax = 32;
    ASSERT_TRUE(TreeView_GetItem(tree, &get));
    EXPECT_EQ(std::u16string(text), u"asked");
    EXPECT_EQ(get.iImage, 7);
    EXPECT_EQ(get.iSelectedImage, 2) << "not a callback: not asked";
    EXPECT_EQ(get.cChildren, 1);
    EXPECT_TRUE(TreeView_Expand(tree, item, TVE_EXPAND)) << "the parent says it has children";
  });
  ASSERT_FALSE(Log().empty());
  EXPECT_EQ(Log()[0], "TVN_GETDISPINFOW mask=43 param=9") << "one question for the three parts";
  keep = true;
  handheld.call([&] {
    TextOf(tree, item);
    Log().clear();
    EXPECT_EQ(TextOf(tree, item), u"asked");
    EXPECT_TRUE(Log().empty()) << "kept: no longer asked";
  });
}

// TVS_CHECKBOXES set through SetWindowLongW makes the state image list and gives every
// item state image 1 (unchecked); Space and a tap on the box check and uncheck.
TEST(TreeViewNotify, CheckBoxesSetLaterGiveEveryItemAnUncheckedBox) {
  Handheld handheld;
  SmallTree t;
  handheld.start([&](HWND host) { t.make(host, TVS_HASBUTTONS); });
  handheld.call([&] {
    EXPECT_EQ(TreeView_GetImageList(t.tree, TVSIL_STATE), nullptr);
    SetWindowLongW(t.tree, GWL_STYLE, GetWindowLongW(t.tree, GWL_STYLE) | TVS_CHECKBOXES);
    HIMAGELIST boxes = TreeView_GetImageList(t.tree, TVSIL_STATE);
    ASSERT_NE(boxes, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(boxes), 3);
    for (HTREEITEM item : {t.top, t.child, t.next}) EXPECT_EQ(StateOf(t.tree, item, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
    EXPECT_EQ(StateOf(t.tree, Add(t.tree, TVI_ROOT, u"later", 4), 0) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
    TreeView_SelectItem(t.tree, t.next);
    SetFocus(t.tree);
  });
  handheld.press(VK_SPACE);
  handheld.call([&] { EXPECT_EQ(StateOf(t.tree, t.next, 0) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2)); });
  TVHITTESTINFO hit{};
  handheld.call([&] {
    RECT row{};
    TreeView_GetItemRect(t.tree, t.top, &row, FALSE);
    hit.pt = POINT{4, (row.top + row.bottom) / 2};
    SendMessageW(t.tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  });
  ASSERT_EQ(hit.flags, static_cast<UINT>(TVHT_ONITEMSTATEICON));
  handheld.tap(t.tree, hit.pt);
  handheld.call([&] { EXPECT_EQ(StateOf(t.tree, t.top, 0) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2)); });
}

// The colour, item height, scroll time and insertion mark messages keep what they are
// given and answer the value before; -1 goes back to the system's colour and the
// default height, and an odd height is made even.
TEST(TreeViewNotify, ValueMessagesKeepAndReturnTheirValues) {
  Handheld handheld;
  SmallTree t;
  handheld.start([&](HWND host) { t.make(host, TVS_HASBUTTONS); });
  handheld.call([&] {
    auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) { return SendMessageW(t.tree, message, wParam, lParam); };
    EXPECT_EQ(static_cast<COLORREF>(send(TVM_GETBKCOLOR, 0, 0)), CLR_NONE);
    EXPECT_EQ(static_cast<COLORREF>(send(TVM_SETBKCOLOR, 0, RGB(1, 2, 3))), CLR_NONE);
    EXPECT_EQ(static_cast<COLORREF>(send(TVM_SETBKCOLOR, 0, -1)), RGB(1, 2, 3));
    EXPECT_EQ(static_cast<COLORREF>(send(TVM_GETBKCOLOR, 0, 0)), CLR_NONE);
    send(TVM_SETTEXTCOLOR, 0, RGB(9, 9, 9));
    EXPECT_EQ(static_cast<COLORREF>(send(TVM_GETTEXTCOLOR, 0, 0)), RGB(9, 9, 9));
    EXPECT_EQ(send(TVM_SETITEMHEIGHT, 25, 0), sim::kTreeRowHeight);
    EXPECT_EQ(send(TVM_GETITEMHEIGHT, 0, 0), 24);
    RECT row{};
    TreeView_GetItemRect(t.tree, t.next, &row, FALSE);
    EXPECT_EQ(row.bottom - row.top, 24) << "rows take the new height";
    send(TVM_SETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(send(TVM_GETITEMHEIGHT, 0, 0), sim::kTreeRowHeight);
    UINT before = static_cast<UINT>(send(TVM_SETSCROLLTIME, 400, 0));
    EXPECT_EQ(send(TVM_SETSCROLLTIME, before, 0), 400);
    EXPECT_TRUE(send(TVM_SETINSERTMARK, TRUE, reinterpret_cast<LPARAM>(t.next)));
    EXPECT_TRUE(send(TVM_SETINSERTMARK, 0, 0));
    send(TVM_SETINSERTMARKCOLOR, 0, RGB(4, 5, 6));
    EXPECT_EQ(static_cast<COLORREF>(send(TVM_GETINSERTMARKCOLOR, 0, 0)), RGB(4, 5, 6));
  });
}

}  // namespace
