#include "scenario/device_files.h"

namespace sim::scenario {

std::u16string ParentOf(const std::u16string& path) {
  std::size_t slash = path.find_last_of(u'\\');
  return slash == std::u16string::npos || slash == 0 ? std::u16string() : path.substr(0, slash);
}

bool MakeFolders(const std::u16string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i != path.size() && path[i] != u'\\') continue;
    std::u16string part = path.substr(0, i);
    if (part.empty() || part == u"\\") continue;
    DWORD attributes = GetFileAttributesW(part.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && !CreateDirectoryW(part.c_str(), nullptr)) return false;
  }
  return true;
}

namespace {

bool ExtendTo(HANDLE file, ULONGLONG size) {
  LONG high = static_cast<LONG>(size >> 32);
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(file, static_cast<LONG>(size & 0xFFFFFFFFu), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) && SetEndOfFile(file);
}

}  // namespace

bool WriteWholeFile(const std::u16string& path, const std::string& bytes, std::optional<ULONGLONG> size) {
  if (!ParentOf(path).empty() && !MakeFolders(ParentOf(path))) return false;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                              written == bytes.size());
  if (ok && size) ok = ExtendTo(file, *size);
  CloseHandle(file);
  return ok;
}

std::optional<std::string> ReadWholeFile(const std::u16string& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool RemoveTree(const std::u16string& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str());
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((path + u"\\*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      RemoveTree(path + u"\\" + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryW(path.c_str());
}

}  // namespace sim::scenario
