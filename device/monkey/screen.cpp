#include "monkey/screen.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "comctl/combobox.h"
#include "explorer.h"
#include "comctl/listview.h"
#include "comctl/toolbar.h"
#include "kernel/device.h"
#include "user/dialog.h"
#include "user/input.h"
#include "user/menu_tracker.h"
#include "user/message_queue.h"
#include "user/window.h"

namespace sim::monkey {

namespace {

constexpr char16_t kPasteQuestionTitle[] = u"ｼｮｰﾄｶｯﾄの貼り付けの確認";
constexpr char16_t kSetupTitle[] = u"Brackenway 設定";
constexpr int kFileListId = 1089;
constexpr int kPathBarId = 1088;
constexpr int kFolderTreeId = 1005;

void CollectControls(HWND parent, std::vector<ControlView>& out) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
    ControlView view{child, GetDlgCtrlID(child), User::ClassOf(child), User::TextOf(child)};
    view.style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
    if (User::IsClass(child, u"BUTTON")) view.checked = SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (User::IsClass(child, u"COMBOBOX")) view.entries = ComboBoxEntries(child);
    out.push_back(std::move(view));
    CollectControls(child, out);
  }
}

HTREEITEM NextTreeItem(HWND tree, WPARAM how, HTREEITEM from) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
}

// The items a person sees: the top-level ones and the children of expanded items.
// The tree view does not scroll sideways, so an item indented past its right edge
// cannot be reached by a tap (scrolling up or down is what the user does first).
bool LabelStartsInside(HWND tree, HTREEITEM item) {
  RECT client{}, label{};
  GetClientRect(tree, &client);
  std::memcpy(&label, &item, sizeof(item));
  return SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label)) && label.left < client.right;
}

void CollectTree(HWND tree, HTREEITEM parent, const std::u16string& prefix, std::vector<std::u16string>& out) {
  for (HTREEITEM item = NextTreeItem(tree, parent ? TVGN_CHILD : TVGN_ROOT, parent); item;
       item = NextTreeItem(tree, TVGN_NEXT, item)) {
    WCHAR text[MAX_PATH] = {};
    TVITEMW info{};
    info.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
    info.hItem = item;
    info.stateMask = TVIS_EXPANDED;
    info.pszText = text;
    info.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
    std::u16string path = prefix.empty() ? std::u16string(text) : prefix + u"\\" + text;
    if (LabelStartsInside(tree, item)) out.push_back(path);
    if (info.state & TVIS_EXPANDED) CollectTree(tree, item, path, out);
  }
}

void LookAtList(const User& user, ScreenView& view) {
  HWND list = user.findList();
  if (!list) return;
  view.listEnabled = view.enabled && IsWindowEnabled(list);
  view.listItems = user.listItems();
  view.selected = user.selectedListItems();
  auto state = FindListView(list);
  if (!state || !state->edit || !IsWindow(state->edit)) return;
  view.labelEditing = true;
  view.labelEditBox = state->edit;
  view.labelText = User::TextOf(state->edit);
  for (const auto& item : state->items)
    if (item->id == state->editItem) view.labelItem = item->text;
}

// The folder each file window shows: the File Explorer's (whether or not it is in
// front); the file browser's from its path bar, which holds one entry per level,
// indented by its depth.
void LookAtFolders(ScreenView& view) {
  for (const Window* window : WindowSystem::get().topLevel()) {
    if (!window->alive() || !User::IsClass(window->handle, u"FEXPLORE")) continue;
    // The folder the File Explorer works on, which its folder button shows (unless
    // showing it failed).
    if (const explorer::ExplorerState* state = explorer::StateOf(window->handle)) view.explorerFolder = state->folder;
  }
  const ControlView* bar = view.control(kPathBarId);
  if (view.place != Place::FileBrowser || !bar) return;
  view.browserFolder = u"\\";
  for (std::size_t i = 1; i < bar->entries.size(); ++i) {
    // Entry i is indented by i spaces; a folder's name may begin with spaces too.
    std::u16string_view level = bar->entries[i];
    level.remove_prefix(std::min(i, level.size()));
    view.browserFolder += std::u16string(level) + u"\\";
  }
}

// The buttons Enter or Space may press: the focused one, and the one Enter
// presses when the focus is on no push button: a dialog's default id (its OK
// unless set otherwise, whichever button looks like the default), else the button
// that looks like it.
void LookAtButtons(ScreenView& view, HWND focus) {
  bool focusOnPushButton = false;
  for (const auto& control : view.controls) {
    if (control.cls != u"BUTTON") continue;
    DWORD type = control.style & 0x0F;
    bool push = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
    if (control.hwnd == focus) {
      view.focusedButton = control.id;
      focusOnPushButton = push;
    }
    if (type == BS_DEFPUSHBUTTON) view.defaultButton = control.id;
  }
  if (focusOnPushButton) {
    view.defaultButton = view.focusedButton;
  } else if (const DialogState* dialog = FindDialogState(view.top)) {
    view.defaultButton = dialog->defaultOrOk();
  }
}

Place PlaceOf(const ScreenView& view) {
  if (!view.top) return Place::Nothing;
  if (User::IsClass(view.top, u"FEXPLORE")) return Place::Explorer;
  if (view.title == kPasteQuestionTitle) return Place::PasteQuestion;
  if (view.title == kSetupTitle) return Place::Setup;
  const ControlView* list = view.control(kFileListId);
  if (list && list->cls == WC_LISTVIEWW) return Place::FileBrowser;
  const ControlView* tree = view.control(kFolderTreeId);
  if (tree && tree->cls == WC_TREEVIEWW) return Place::FolderTree;
  return Place::Dialog;
}

// The window with the keyboard focus on the thread of the window in front.
HWND FocusOf(HWND top) {
  Window* window = WindowSystem::get().find(top);
  if (!window || !window->thread || !Device::current().findService<MessageQueues>()) return nullptr;
  MessageQueue* queue = MessageQueues::get().find(window->thread);
  return queue && queue->focus && IsWindowVisible(queue->focus) ? queue->focus : nullptr;
}

}  // namespace

const ControlView* ScreenView::control(int id) const {
  for (const auto& view : controls)
    if (view.id == id) return &view;
  return nullptr;
}

// Looking makes none of the platform's parts that the device has not made yet: the
// order in which parts come to be is the order in which they hear of processes
// ending, and a replay that does not look must run the same way.
ScreenView Look(const User& user) {
  ScreenView view;
  Device& device = Device::current();
  if (!device.findService<WindowSystem>()) return view;
  if (auto* input = device.findService<Input>()) view.controlHeld = input->asyncKeyDown(VK_CONTROL);
  if (auto* menus = device.findService<MenuTracker>(); menus && menus->isOpen()) {
    view.menuOpen = true;
    view.menuEntries = user.openMenuEntries();
  }
  if (auto* boxes = device.findService<MessageBoxes>(); boxes && boxes->top()) view.box = *boxes->top();
  view.top = user.foreground();
  if (!view.top) {
    LookAtFolders(view);
    return view;
  }
  view.topClass = User::ClassOf(view.top);
  view.title = User::TextOf(view.top);
  view.titleOk = (GetWindowLongW(view.top, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) != 0;
  view.enabled = IsWindowEnabled(view.top) != FALSE;
  if (view.enabled) CollectControls(view.top, view.controls);
  view.place = PlaceOf(view);
  // The menu bar of a disabled window (one that owns a modal box) takes no taps either.
  if (HWND toolbar = view.enabled ? user.menuBarToolbar() : nullptr)
    for (const auto& button : ToolbarButtons(toolbar))
      if (!(button.style & TBSTYLE_SEP) && !button.label.empty() && (button.state & TBSTATE_ENABLED))
        view.menuBar.push_back(button.label);
  LookAtList(user, view);
  if (HWND tree = user.findTree(); tree && view.enabled && IsWindowEnabled(tree))
    CollectTree(tree, nullptr, u"", view.treePaths);
  // A message box with a window of its own open (a chooser it owns) takes no taps.
  if (view.box) view.boxEnabled = IsWindowEnabled(view.box->dialog) != FALSE;
  HWND focus = FocusOf(view.top);
  view.focusInEdit = focus && User::IsClass(focus, u"EDIT");
  LookAtButtons(view, focus);
  LookAtFolders(view);
  return view;
}

}  // namespace sim::monkey
