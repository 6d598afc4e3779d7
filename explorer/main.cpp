// The File Explorer's entry: one running instance, which a second start hands its
// folder to.
#include "explorer.h"

namespace explorer {

namespace {

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'"')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'"')) text.remove_suffix(1);
  return text;
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

// The folder a command line names, with a trailing backslash; the default folder
// for an empty line or one that names no folder.
std::u16string NormalizeFolder(std::u16string_view text) {
  std::u16string folder(Trim(text));
  if (folder.empty() || folder.front() != u'\\') return kDefaultFolder;
  if (folder.back() != u'\\') folder += u'\\';
  if (folder != u"\\") {
    DWORD attributes = GetFileAttributesW(folder.substr(0, folder.size() - 1).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !IsFolderAttributes(attributes)) return kDefaultFolder;
  }
  return folder;
}

int ExplorerMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  std::u16string_view line = commandLine ? std::u16string_view(commandLine) : std::u16string_view();
  if (HWND running = FindWindowW(kWindowClass, nullptr)) {
    if (!Trim(line).empty()) {
      std::u16string folder = NormalizeFolder(line);
      SendMessageW(running, kShowFolderMessage, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    }
    SetForegroundWindow(running);
    return 0;
  }
  if (!RegisterExplorerClasses(instance)) return 1;

  ExplorerState state;
  state.folder = NormalizeFolder(line);
  // The window outlives this frame when the process is ended from outside: it then
  // loses its pointer to the state here before the state goes.
  struct Detach {
    ExplorerState& state;
    ~Detach() {
      if (state.window && IsWindow(state.window)) SetWindowLongW(state.window, GWL_USERDATA, 0);
    }
  } detach{state};
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  HWND window = CreateWindowExW(0, kWindowClass, u"ｴｸｽﾌﾟﾛｰﾗ", WS_VISIBLE, work.left, work.top,
                                work.right - work.left, work.bottom - work.top, nullptr, nullptr, instance, &state);
  if (!window) return 1;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  return RunMessageLoop();
}

}  // namespace explorer
