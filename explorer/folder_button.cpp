// The folder button at the top left: a tap opens the folder menu, the root and one
// item per level down to the shown folder; choosing an item goes there.
#include "explorer.h"

#include <algorithm>

namespace explorer {

namespace {

constexpr char16_t kBullet = u'\u2022';

std::u16string LevelItemText(size_t level, const std::u16string& name) {
  return std::u16string(2 * (level - 1), u' ') + kBullet + u' ' + name;
}

// The menu of the folder's levels, or none when it could not be made whole: a menu
// missing a level would show (and let the user choose) a folder that is not this one.
HMENU BuildFolderMenu(const std::u16string& folder) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  bool whole = AppendMenuW(menu, MF_STRING, kCmdFolderLevelFirst, u"ﾏｲ ﾃﾞﾊﾞｲｽ");
  auto levels = FolderLevels(folder);
  for (size_t level = 1; whole && level <= levels.size(); ++level)
    whole = AppendMenuW(menu, MF_STRING, kCmdFolderLevelFirst + level, LevelItemText(level, levels[level - 1]).c_str());
  if (whole) return menu;
  DestroyMenu(menu);
  return nullptr;
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
  if (!menu) return;
  RECT rect{};
  GetWindowRect(button, &rect);
  UINT chosen = TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, rect.left, rect.bottom,
                                 window, nullptr);
  DestroyMenu(menu);
  if (chosen >= kCmdFolderLevelFirst) ShowFolder(*state, FolderAtDepth(state->folder, chosen - kCmdFolderLevelFirst));
}

// What the button shows: the name of the folder (its window text), the root as the
// device.
std::u16string ShownName(HWND button) {
  WCHAR text[MAX_PATH] = {};
  GetWindowTextW(button, text, MAX_PATH);
  auto levels = FolderLevels(text);
  return levels.empty() ? std::u16string(u"ﾏｲ ﾃﾞﾊﾞｲｽ") : levels.back();
}

// A small triangle pointing down, its top edge `width` pixels wide at (x, y).
void DrawDownArrow(HDC dc, int x, int y, int width) {
  HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BTNTEXT));
  for (int row = 0; row < (width + 1) / 2; ++row) {
    RECT line{x + row, y + row, x + width - row, y + row + 1};
    FillRect(dc, &line, brush);
  }
  DeleteObject(brush);
}

// The button face with the folder's name and a drop-down arrow after it, and a line
// below that parts it from the list.
void PaintFolderButton(HWND button) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(button, &paint);
  RECT client{};
  GetClientRect(button, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  RECT line{client.left, client.bottom - 1, client.right, client.bottom};
  FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
  const int unit = std::max(1, static_cast<int>(client.bottom) / 24);
  HGDIOBJ font = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  const std::u16string name = ShownName(button);
  RECT text{client.left + 4 * unit, client.top, client.right - 12 * unit, client.bottom - 1};
  DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  RECT measured{0, 0, 0, 0};
  DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &measured, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  const int arrowX = std::min<int>(text.left + measured.right, text.right) + 4 * unit;
  DrawDownArrow(dc, arrowX, (client.bottom - 3 * unit) / 2, 7 * unit);
  SelectObject(dc, font);
  EndPaint(button, &paint);
}

LRESULT CALLBACK FolderButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      OpenFolderMenu(button);
      return 0;
    case WM_PAINT:
      PaintFolderButton(button);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcW(button, message, wParam, lParam);
      InvalidateRect(button, nullptr, FALSE);
      return result;
    }
    default:
      return DefWindowProcW(button, message, wParam, lParam);
  }
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
