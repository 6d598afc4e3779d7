// File information of the core shell: the icon, display name and kind of a file.
// Folders, storage cards, programs, shortcuts and other files each get icons of
// their own.
#include <windows.h>

#include "kernel/faults.h"
#include "gdi/gdi_objects.h"
#include "gdi/stock_icons.h"

namespace sim {
namespace {

enum class ShellKind { Folder, StorageCard, Program, Shortcut, File };

bool EndsWithIgnoringCase(std::u16string_view text, std::u16string_view suffix) {
  return text.size() >= suffix.size() && _wcsicmp(std::u16string(text.substr(text.size() - suffix.size())).c_str(),
                                                  std::u16string(suffix).c_str()) == 0;
}

ShellKind KindOf(std::u16string_view path, DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_TEMPORARY)) return ShellKind::StorageCard;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ShellKind::Folder;
  if (EndsWithIgnoringCase(path, u".exe")) return ShellKind::Program;
  if (EndsWithIgnoringCase(path, u".lnk")) return ShellKind::Shortcut;
  return ShellKind::File;
}

// How the shell shows each kind: the origin its icon is made from, and its type name.
struct KindLook {
  const char16_t* iconOrigin;
  const char16_t* typeName;
};

const KindLook& LookOf(ShellKind kind) {
  static const KindLook looks[] = {
      {u"shell:folder", u"ﾌｫﾙﾀﾞ"},
      {u"shell:storage-card", u"ｽﾄﾚｰｼﾞ ｶｰﾄﾞ"},
      {u"shell:program", u"ｱﾌﾟﾘｹｰｼｮﾝ"},
      {u"shell:shortcut", u"ｼｮｰﾄｶｯﾄ"},
      {u"shell:file", u"ﾌｧｲﾙ"},
  };
  return looks[static_cast<int>(kind)];
}

ShellIcon IconOf(ShellKind kind) {
  switch (kind) {
    case ShellKind::Folder: return ShellIcon::Folder;
    case ShellKind::StorageCard: return ShellIcon::StorageCard;
    case ShellKind::Program: return ShellIcon::Program;
    case ShellKind::Shortcut: return ShellIcon::Shortcut;
    case ShellKind::File: return ShellIcon::File;
  }
  return ShellIcon::File;
}

int IconIndex(ShellKind kind) { return static_cast<int>(kind); }

std::u16string DisplayName(std::u16string_view path) {
  size_t slash = path.find_last_of(u'\\');
  std::u16string name(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
  if (name.empty()) name = u"ﾏｲ ﾃﾞﾊﾞｲｽ";
  return name;
}

void CopyBounded(WCHAR* target, size_t capacity, std::u16string_view text) {
  size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
  for (size_t i = 0; i < length; ++i) target[i] = text[i];
  target[length] = 0;
}

}  // namespace
}  // namespace sim

DWORD_PTR SHGetFileInfo(LPCWSTR path, DWORD fileAttributes, SHFILEINFO* info, UINT infoSize, UINT flags) {
  using namespace sim;
  if (!path || (info == nullptr && (flags & (SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_ATTRIBUTES)))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (FailsByInjection("SHGetFileInfo")) return 0;
  DWORD attributes = fileAttributes;
  if (!(flags & SHGFI_USEFILEATTRIBUTES)) {
    attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  }
  std::u16string_view text(path);
  ShellKind kind = KindOf(text, attributes);
  if (!info) return 1;
  if (flags & SHGFI_ICON) {
    bool small = (flags & SHGFI_SMALLICON) != 0;
    GdiDescription description;
    description.kind = GdiKind::Icon;
    description.origin = LookOf(kind).iconOrigin;
    description.width = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    description.height = GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    info->hIcon = CreateIconObject(description, DrawShellIcon(IconOf(kind), description.width));
  }
  if (flags & (SHGFI_ICON | SHGFI_SYSICONINDEX)) info->iIcon = IconIndex(kind);
  if (flags & SHGFI_ATTRIBUTES) info->dwAttributes = attributes;
  if (flags & SHGFI_DISPLAYNAME) CopyBounded(info->szDisplayName, MAX_PATH, DisplayName(text));
  if (flags & SHGFI_TYPENAME) CopyBounded(info->szTypeName, 80, LookOf(kind).typeName);
  return 1;
}
