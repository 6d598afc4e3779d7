#include "window_listing.h"

#include <commctrl.h>

#include "comctl/combobox.h"
#include "comctl/toolbar.h"
#include "user/menu_tracker.h"
#include "user/msgbox.h"

namespace sim {

namespace {

std::u16string ControlLine(HWND hwnd, int depth) {
  std::u16string line(2 * depth, u' ');
  line += u"[" + User::ClassOf(hwnd);
  int id = GetDlgCtrlID(hwnd);
  if (id != 0) {
    WCHAR number[16];
    _snwprintf(number, 16, u" #%d", id);
    line += number;
  }
  line += u"]";
  std::u16string text = User::TextOf(hwnd);
  if (!text.empty()) line += u" \"" + text + u"\"";
  if (User::IsClass(hwnd, u"BUTTON") && SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED) line += u" (checked)";
  if (!IsWindowEnabled(hwnd)) line += u" (disabled)";
  return line;
}

// The tree's items as a person sees them: each expanded item's children indented
// below it; "*" marks the selected item, "+" an item with hidden children.
void RenderTree(HWND tree, HTREEITEM parent, int indent, std::u16string& out) {
  WPARAM first = parent ? TVGN_CHILD : TVGN_ROOT;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, first, reinterpret_cast<LPARAM>(parent)));
  while (item) {
    WCHAR text[MAX_PATH] = {};
    TVITEMW info{};
    info.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE | TVIF_CHILDREN;
    info.hItem = item;
    info.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    info.pszText = text;
    info.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
    auto child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    bool expanded = (info.state & TVIS_EXPANDED) != 0;
    bool selected = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LRESULT>(item);
    out += std::u16string(indent, u' ') + (selected ? u"* " : (child && !expanded ? u"+ " : u"- ")) + text + u"\n";
    if (child && expanded) RenderTree(tree, item, indent + 2, out);
    item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  }
}

std::u16string Indent(int depth) { return std::u16string(2 * depth, u' '); }

// A list's items ("*" marks a selected one) and its column headers.
void RenderList(HWND list, int depth, std::u16string& out) {
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    bool selected = SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED;
    out += Indent(depth + 1) + (selected ? u"* " : u"- ") + User::ListItemText(list, i, 0) + u"\n";
  }
  auto headers = User::ColumnHeadersOf(list);
  if (headers.empty()) return;
  out += Indent(depth + 1) + u"columns:";
  for (const auto& header : headers) out += u" [" + header + u"]";
  out += u"\n";
}

// The visible controls below `parent`, each with what it holds.
void RenderControls(HWND parent, int depth, std::u16string& out) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    // A list's own column header is its "columns:" line.
    if (User::IsClass(child, WC_HEADERW) && User::IsClass(parent, WC_LISTVIEWW)) continue;
    out += ControlLine(child, depth) + u"\n";
    if (User::IsClass(child, WC_LISTVIEWW)) RenderList(child, depth, out);
    if (User::IsClass(child, WC_TREEVIEWW)) RenderTree(child, nullptr, 2 * depth + 2, out);
    if (User::IsClass(child, u"COMBOBOX"))
      for (const auto& entry : ComboBoxEntries(child)) out += Indent(depth + 1) + u"~ " + entry + u"\n";
    RenderControls(child, depth + 1, out);
  }
}

void RenderMenus(const User& user, std::u16string& out) {
  if (HWND toolbar = user.menuBarToolbar()) {
    out += u"  menu bar:";
    for (const auto& button : ToolbarButtons(toolbar))
      if (!(button.style & TBSTYLE_SEP) && !button.label.empty()) out += u" [" + button.label + u"]";
    out += u"\n";
  }
  if (!MenuTracker::get().isOpen()) return;
  out += u"  open menu:\n";
  for (const auto& entry : user.openMenuEntries()) {
    if (entry.separator) {
      out += u"    ----\n";
      continue;
    }
    out += u"    " + entry.text + (entry.grayed ? u" (grayed)" : u"") + (entry.checked ? u" (checked)" : u"") +
           (entry.submenu ? u" >" : u"") + u"\n";
  }
}

}  // namespace

std::u16string ListForegroundWindow(const User& user) {
  HWND top = user.foreground();
  if (!top) return u"(no window in front)\n";
  std::u16string out = u"window \"" + User::TextOf(top) + u"\" [" + User::ClassOf(top) + u"]\n";
  RenderControls(top, 1, out);
  RenderMenus(user, out);
  if (const OpenMessageBox* box = MessageBoxes::get().top())
    out += u"  message \"" + box->text + u"\" caption \"" + box->caption + u"\"\n";
  return out;
}

}  // namespace sim
