#include "shell/shortcut.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "kernel/device.h"
#include "text/utf.h"

namespace sim {
namespace {

bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

// The target in a shortcut's text: after the first '#', before which stand only a
// count (possibly wrong, possibly absent) and blanks; trailing line breaks and NULs
// are not part of it.
Result<std::u16string> TargetOfText(std::u16string_view view) {
  auto hash = view.find(u'#');
  if (hash == std::u16string_view::npos) return Error{"no '#' in the file"};
  for (char16_t c : view.substr(0, hash))
    if (!(c >= u'0' && c <= u'9') && c != u' ') return Error{"text before '#' is not a count"};
  auto target = view.substr(hash + 1);
  while (!target.empty() && (IsLineEnd(target.back()) || target.back() == 0)) target.remove_suffix(1);
  if (target.empty()) return Error{"empty shortcut target"};
  if (std::any_of(target.begin(), target.end(), [](char16_t c) { return c == 0 || IsLineEnd(c); }))
    return Error{"the target spans more than one line"};
  return std::u16string(target);
}

// The count in front of the '#', when there is one and it is a number.
std::optional<std::size_t> CountOf(std::string_view raw) {
  std::size_t count = 0;
  bool digits = false;
  for (char c : raw.substr(0, raw.find('#'))) {
    if (c == ' ') continue;
    if (c < '0' || c > '9' || count > kMaxShortcutFileBytes) return std::nullopt;
    count = count * 10 + static_cast<std::size_t>(c - '0');
    digits = true;
  }
  return digits ? std::optional<std::size_t>(count) : std::nullopt;
}

// A file without a byte-order mark: the device's own code page, unless the text is
// UTF-8 from another tool. Some code-page 932 texts are valid UTF-8 as well (a
// half-width katakana byte followed by a trail byte, say), so a text whose count
// fits its code-page reading is read so; otherwise valid UTF-8 with at least one
// non-ASCII sequence is taken as UTF-8.
Result<std::u16string> TargetOfUnmarked(std::string_view raw) {
  auto ansi = FromAnsi932(raw);
  auto ansiTarget = ansi ? TargetOfText(*ansi) : Result<std::u16string>(ansi.error());
  bool ascii = std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return ansiTarget;
  auto count = CountOf(raw);
  if (ansiTarget && count == ansiTarget->size()) return ansiTarget;
  if (auto utf8 = Utf8ToUtf16(raw)) {
    if (auto utf8Target = TargetOfText(*utf8)) return utf8Target;
  }
  return ansiTarget;
}

}  // namespace

Result<std::string> EncodeShortcut(std::u16string_view target) {
  if (target.empty()) return Error{"empty shortcut target"};
  if (target.size() > kMaxShortcutTarget) return Error{"shortcut target longer than 256 characters"};
  // A line break would end the target early for every reader.
  if (std::any_of(target.begin(), target.end(), IsLineEnd)) return Error{"line break in a shortcut target"};
  auto ansi = ToAnsi932(target);
  if (!ansi) return ansi.error();
  return std::to_string(target.size()) + "#" + *ansi;
}

Result<std::u16string> DecodeShortcut(std::span<const unsigned char> bytes) {
  if (bytes.size() > kMaxShortcutFileBytes) return Error{"too large for a shortcut"};
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    if (bytes.size() % 2 != 0) return Error{"odd length for UTF-16 text"};
    std::u16string text;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
      text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return TargetOfText(text);
  }
  std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (raw.starts_with("\xEF\xBB\xBF")) {
    auto utf8 = Utf8ToUtf16(raw.substr(3));
    if (!utf8) return utf8.error();
    return TargetOfText(*utf8);
  }
  return TargetOfUnmarked(raw);
}

ShortcutCommand SplitShortcutTarget(std::u16string_view target) {
  ShortcutCommand command;
  std::u16string_view rest;
  if (!target.empty() && target.front() == u'"') {
    std::size_t close = target.find(u'"', 1);
    command.program = target.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1);
    rest = close == std::u16string_view::npos ? std::u16string_view() : target.substr(close + 1);
  } else {
    std::size_t blank = target.find(u' ');
    command.program = target.substr(0, blank);
    rest = blank == std::u16string_view::npos ? std::u16string_view() : target.substr(blank);
  }
  std::size_t first = rest.find_first_not_of(u' ');
  if (first != std::u16string_view::npos) command.arguments = rest.substr(first);
  return command;
}

}  // namespace sim

using namespace sim;

namespace {

// Closes a file handle when the scope ends.
struct FileHandle {
  HANDLE handle;
  explicit FileHandle(HANDLE h) : handle(h) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
};

}  // namespace

BOOL SHCreateShortcut(LPWSTR shortcutFile, LPWSTR target) {
  if (!shortcutFile || !target) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (FailsByInjection("SHCreateShortcut")) return FALSE;
  auto bytes = EncodeShortcut(target);
  if (!bytes) {
    SetLastError(std::u16string_view(target).size() > kMaxShortcutTarget ? ERROR_FILENAME_EXCED_RANGE
                                                                        : ERROR_NO_UNICODE_TRANSLATION);
    if (std::u16string_view(target).empty()) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD written = 0;
  BOOL ok = FALSE;
  {
    // CREATE_NEW refuses an existing file in the same step that creates a new one.
    FileHandle file(CreateFileW(shortcutFile, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return FALSE;  // CreateFileW set the error (ERROR_FILE_EXISTS, ...)
    ok = WriteFile(file.handle, bytes->data(), static_cast<DWORD>(bytes->size()), &written, nullptr) &&
         written == bytes->size();
  }
  if (!ok) {
    DWORD error = GetLastError();
    DeleteFileW(shortcutFile);  // a half-written shortcut would point somewhere wrong
    SetLastError(error ? error : ERROR_WRITE_FAULT);
    return FALSE;
  }
  return TRUE;
}

BOOL SHGetShortcutTarget(LPWSTR shortcutFile, LPWSTR target, int maxChars) {
  if (!shortcutFile || !target || maxChars <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  target[0] = 0;
  if (FailsByInjection("SHGetShortcutTarget")) return FALSE;
  std::vector<unsigned char> bytes(kMaxShortcutFileBytes + 1);
  DWORD read = 0;
  {
    FileHandle file(CreateFileW(shortcutFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return FALSE;
    if (!ReadFile(file.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return FALSE;
  }
  bytes.resize(read);
  auto text = DecodeShortcut(bytes);
  if (!text) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (text->size() + 1 > static_cast<std::size_t>(maxChars)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::copy(text->begin(), text->end(), target);
  target[text->size()] = 0;
  return TRUE;
}
