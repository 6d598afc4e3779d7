// The folder button at the top left: a tap opens the folder menu, the root and one
// item per level down to the shown folder; choosing an item goes there.
#include "explorer.h"

namespace explorer {

namespace {

constexpr char16_t kBullet = u'\u2022';

std::u16string LevelItemText(size_t level, const std::u16string& name) {
  return std::u16string(2 * (level - 1), u' ') + kBullet + u' ' + name;
}

HMENU BuildFolderMenu(const std::u16string& folder) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kCmdFolderLevelFirst, u"ﾏｲ ﾃﾞﾊﾞｲｽ");
  auto levels = FolderLevels(folder);
  for (size_t level = 1; level <= levels.size(); ++level)
    AppendMenuW(menu, MF_STRING, kCmdFolderLevelFirst + level, LevelItemText(level, levels[level - 1]).c_str());
  return menu;
}

// The folder made of the root and the first `depth` levels of `folder`.
std::u16string FolderAtDepth(const std::u16string& folder, size_t depth) {
  std::u16string result = u"\\";
  auto levels = FolderLevels(folder);
  for (size_t i = 0; i < depth && i < levels.size(); ++i) result += levels[i] + u"\\";
  return result;
}

void OpenFolderMenu(HWND button) {
  HWND window = GetParent(button);
  ExplorerState* state = StateOf(window);
  if (!state) return;
  HMENU menu = BuildFolderMenu(state->folder);
  RECT rect{};
  GetWindowRect(button, &rect);
  UINT chosen = TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, rect.left, rect.bottom,
                                 window, nullptr);
  DestroyMenu(menu);
  if (chosen >= kCmdFolderLevelFirst) ShowFolder(*state, FolderAtDepth(state->folder, chosen - kCmdFolderLevelFirst));
}

LRESULT CALLBACK FolderButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) {
    OpenFolderMenu(button);
    return 0;
  }
  return DefWindowProcW(button, message, wParam, lParam);
}

}  // namespace

std::vector<std::u16string> FolderLevels(const std::u16string& folder) {
  std::vector<std::u16string> levels;
  size_t start = 1;
  for (size_t i = 1; i < folder.size(); ++i) {
    if (folder[i] != u'\\') continue;
    levels.push_back(folder.substr(start, i - start));
    start = i + 1;
  }
  return levels;
}

HWND CreateFolderButton(HWND parent, HINSTANCE instance) {
  WNDCLASSW buttonClass{};
  buttonClass.lpfnWndProc = FolderButtonProc;
  buttonClass.hInstance = instance;
  buttonClass.lpszClassName = kFolderButtonClass;
  WNDCLASSW existing{};
  if (!GetClassInfoW(instance, kFolderButtonClass, &existing)) RegisterClassW(&buttonClass);
  return CreateWindowExW(0, kFolderButtonClass, u"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr, instance,
                         nullptr);
}

}  // namespace explorer
