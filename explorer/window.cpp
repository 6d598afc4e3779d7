// The File Explorer's main window.
#include "explorer.h"

#include <algorithm>

namespace explorer {

namespace {

// 24 pixels on the 240 x 320 screen, doubled on the 480 x 640 one.
int FolderButtonHeight() { return 24 * std::max(1, GetSystemMetrics(SM_CXSCREEN) / 240); }

void Layout(ExplorerState& state) {
  RECT client{};
  GetClientRect(state.window, &client);
  const int height = FolderButtonHeight();
  MoveWindow(state.folderButton, 0, 0, client.right, height, TRUE);
  MoveWindow(state.list, 0, height, client.right, client.bottom - height, TRUE);
}

// The state belongs to the File Explorer's main function; the window only points to it.
LRESULT OnCreate(HWND window, const CREATESTRUCTW* create) {
  auto* state = static_cast<ExplorerState*>(create->lpCreateParams);
  state->window = window;
  SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG>(state));
  // The folder button must stay the window's first child.
  state->folderButton = CreateFolderButton(window, create->hInstance);
  state->list = CreateFileList(window, create->hInstance);
  state->menuBar = CreateMenuBar(*state, create->hInstance);
  if (!state->folderButton || !state->list) return -1;
  Layout(*state);
  if (!ShowFolder(*state, state->folder)) return -1;
  SetFocus(state->list);
  return 0;
}

void OnDestroy(ExplorerState& state) {
  if (state.menuBar && IsWindow(state.menuBar)) DestroyWindow(state.menuBar);
  state.menuBar = nullptr;
  if (state.editMenu) DestroyMenu(state.editMenu);
  state.editMenu = nullptr;
  PostQuitMessage(0);
}

bool IsControlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

UINT ControlKeyCommand(WPARAM key) {
  switch (key) {
    case 'C':
      return kCmdCopy;
    case 'V':
      return kCmdPaste;
    case 'P':
      return kCmdProperties;
  }
  return 0;
}

LRESULT CALLBACK ExplorerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ExplorerState* state = StateOf(window);
  switch (message) {
    case WM_CREATE:
      return OnCreate(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_SIZE:
      if (state) Layout(*state);
      return 0;
    case WM_ACTIVATE:
      // Back in front (a dialog of another program closed, another window went):
      // what changed in the folder meanwhile shows.
      if (state && state->list && LOWORD(wParam) != WA_INACTIVE) RefreshFileList(*state);
      break;
    case WM_SETFOCUS:
      if (state && state->list) SetFocus(state->list);
      return 0;
    case WM_COMMAND:
      if (state && LOWORD(wParam) == kCmdEditMenu) {
        OpenEditMenu(*state);
        return 0;
      }
      if (state && RunEditCommand(*state, LOWORD(wParam))) return 0;
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (state && header->idFrom == static_cast<UINT_PTR>(kFileListId)) return OnFileListNotify(*state, header);
      if (state && header->code == static_cast<UINT>(TBN_DROPDOWN)) {
        OpenEditMenu(*state);
        return 0;
      }
      break;
    }
    case WM_KEYDOWN:
      if (state && IsControlDown() && RunEditCommand(*state, ControlKeyCommand(wParam))) return 0;
      break;
    case kShowFolderMessage:
      if (state && lParam) ShowFolder(*state, reinterpret_cast<const char16_t*>(lParam));
      return 0;
    case WM_DESTROY:
      if (state) OnDestroy(*state);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongW(window, GWL_USERDATA, 0);
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

ExplorerState* StateOf(HWND window) { return reinterpret_cast<ExplorerState*>(GetWindowLongW(window, GWL_USERDATA)); }

bool RegisterExplorerClasses(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ExplorerWndProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  if (!RegisterClassW(&windowClass)) return false;
  return true;
}

// The folder button says where the list is: a folder whose path the button cannot
// take is not opened, and the File Explorer stays where it shows it is.
bool ShowFolder(ExplorerState& state, std::u16string folder) {
  if (!SetWindowTextW(state.folderButton, folder.c_str())) return false;
  state.folder = std::move(folder);
  FillFileList(state);
  return true;
}

}  // namespace explorer
