// Copy and paste of files through the clipboard, as a "Shell IDList Array" block:
// a header, then (unless the items lie on the desktop) the path of the folder on
// screen, then the full path of each selected item. Each path is a zero-terminated
// UTF-16 text preceded by a 16-bit unit whose high byte is 0x01.
#include "explorer.h"

#include <cstring>

namespace explorer {

namespace {

constexpr size_t kHeaderBytes = 16;
constexpr size_t kDesktopMarkOffset = 12;
constexpr size_t kDesktopClassOffset = 40;
constexpr const char16_t* kDesktopClassId = u"{00021400-0000-0000-C000-000000000046}";
constexpr WORD kPathMark = 0x0114;

void PutUnit(std::vector<BYTE>& block, size_t offset, WORD unit) {
  if (block.size() < offset + 2) block.resize(offset + 2, 0);
  block[offset] = static_cast<BYTE>(unit & 0xFF);
  block[offset + 1] = static_cast<BYTE>(unit >> 8);
}

void PutText(std::vector<BYTE>& block, size_t offset, std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) PutUnit(block, offset + 2 * i, text[i]);
  PutUnit(block, offset + 2 * text.size(), 0);
}

void AppendPath(std::vector<BYTE>& block, const std::u16string& path) {
  size_t offset = block.size();
  PutUnit(block, offset, kPathMark);
  PutText(block, offset + 2, path);
}

WORD UnitAt(const BYTE* bytes, size_t offset) { return static_cast<WORD>(bytes[offset] | (bytes[offset + 1] << 8)); }

bool HasDesktopHeader(const BYTE* bytes, size_t size) {
  std::u16string_view id(kDesktopClassId);
  if (size < kDesktopClassOffset + 2 * (id.size() + 1)) return false;
  if (UnitAt(bytes, kDesktopMarkOffset) != 0x00E0 || UnitAt(bytes, kDesktopMarkOffset + 2) != 0) return false;
  for (size_t i = 0; i <= id.size(); ++i)
    if (UnitAt(bytes, kDesktopClassOffset + 2 * i) != (i < id.size() ? id[i] : 0)) return false;
  return true;
}

UINT FileListFormat() { return RegisterClipboardFormatW(kFileListFormat); }

bool CopyTree(const std::u16string& source, const std::u16string& target) {
  DWORD attributes = GetFileAttributesW(source.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (!IsFolderAttributes(attributes)) return CopyFileW(source.c_str(), target.c_str(), TRUE);
  if (!CreateDirectoryW(target.c_str(), nullptr)) return false;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((source + u"\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return true;
  do {
    CopyTree(source + u"\\" + found.cFileName, target + u"\\" + found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

// True when `path` lies below `folder`: a folder pasted there would be copied into
// itself, and then into that copy, level after level, until no path is long enough.
bool LiesWithin(const std::u16string& path, const std::u16string& folder) {
  return path.size() > folder.size() && path[folder.size()] == u'\\' &&
         _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) == 0;
}

std::u16string NameOf(const std::u16string& path) {
  size_t slash = path.find_last_of(u'\\');
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<BYTE> BuildFileListBlock(const std::u16string& folder, const std::vector<std::u16string>& names) {
  bool desktop = _wcsicmp(folder.c_str(), kDesktopFolder) == 0;
  std::vector<BYTE> block(kHeaderBytes, 0);
  PutUnit(block, 0, static_cast<WORD>(names.size() + (desktop ? 0 : 1)));
  PutUnit(block, 4, static_cast<WORD>(kHeaderBytes));
  if (desktop) {
    PutText(block, kDesktopMarkOffset, u"\u00E0");
    PutText(block, kDesktopClassOffset, kDesktopClassId);
  } else {
    PutUnit(block, kDesktopMarkOffset, 0x0001);
    AppendPath(block, folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder);
  }
  for (const auto& name : names) AppendPath(block, JoinPath(folder, name));
  return block;
}

// The selected items' paths in a block: a marker unit followed by a backslash starts a
// path, the next zero unit ends it; the first path is the folder unless the block
// carries the desktop's header.
std::vector<std::u16string> ParseFileListBlock(const BYTE* bytes, size_t size) {
  std::vector<std::u16string> paths;
  bool skipFolder = !HasDesktopHeader(bytes, size);
  std::u16string path;
  bool open = false;
  for (size_t i = 0; i + 1 < size; i += 2) {
    if (i >= 2 && bytes[i] == 0x5C && bytes[i - 1] == 0x01) {
      open = true;
      path.clear();
    }
    if (!open) continue;
    WORD unit = UnitAt(bytes, i);
    if (unit != 0) {
      path += static_cast<char16_t>(unit);
      continue;
    }
    open = false;
    if (skipFolder)
      skipFolder = false;
    else
      paths.push_back(path);
  }
  return paths;
}

void CopySelection(ExplorerState& state) {
  auto names = SelectedNames(state);
  if (names.empty()) return;
  std::vector<BYTE> block = BuildFileListBlock(state.folder, names);
  void* data = LocalAlloc(LMEM_FIXED, block.size());
  if (!data) return;
  std::memcpy(data, block.data(), block.size());
  if (!OpenClipboard(state.window)) {
    LocalFree(data);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(FileListFormat(), data)) LocalFree(data);
  CloseClipboard();
}

void PasteFiles(ExplorerState& state) {
  if (!OpenClipboard(state.window)) return;
  std::vector<std::u16string> sources;
  if (HANDLE data = GetClipboardData(FileListFormat()))
    sources = ParseFileListBlock(static_cast<const BYTE*>(data), LocalSize(data));
  CloseClipboard();
  for (const auto& source : sources) {
    std::u16string target = JoinPath(state.folder, NameOf(source));
    if (!LiesWithin(target, source)) CopyTree(source, target);
  }
  FillFileList(state);
}

}  // namespace explorer
