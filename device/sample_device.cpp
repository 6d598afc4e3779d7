#include "sample_device.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include "fs/host_io.h"
#include "fs/object_store.h"
#include "kernel/device.h"
#include "text/utf.h"

namespace sim {

namespace {

struct LocalDate {
  WORD year, month, day, hour, minute;
};

[[noreturn]] void Refused(const char* what, std::u16string_view path) {
  std::string where = Utf16ToUtf8Replacing(path).text;
  throw std::runtime_error(std::string("sample device: ") + what + " failed for " + where + " (error " +
                           std::to_string(GetLastError()) + ")");
}

FILETIME DeviceTime(std::u16string_view path, LocalDate date) {
  SYSTEMTIME local{date.year, date.month, 0, date.day, date.hour, date.minute, 0, 0};
  FILETIME localTime, utc;
  if (!SystemTimeToFileTime(&local, &localTime) || !LocalFileTimeToFileTime(&localTime, &utc))
    Refused("a date", path);
  return utc;
}

void Folder(ObjectStore& store, std::u16string path, LocalDate date) {
  if (!CreateDirectoryW(path.c_str(), nullptr)) Refused("CreateDirectoryW", path);
  // A folder has no handle to date it by; set the host's time under the store.
  auto node = store.resolve(path.c_str());
  FILETIME when = DeviceTime(path, date);
  if (!node || fs::SetWriteTime(node->host, (std::uint64_t{when.dwHighDateTime} << 32) | when.dwLowDateTime))
    Refused("dating a folder", path);
}

void File(std::u16string path, const std::string& bytes, LocalDate date) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (file == INVALID_HANDLE_VALUE) Refused("CreateFileW", path);
  DWORD written = 0;
  FILETIME when = DeviceTime(path, date);
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size() && SetFileTime(file, &when, &when, &when);
  CloseHandle(file);
  if (!ok) Refused("writing", path);
}

void Shortcut(std::u16string path, std::u16string target) {
  if (!SHCreateShortcut(path.data(), target.data())) Refused("SHCreateShortcut", path);
}

// Deterministic stand-in content for pictures and documents.
std::string Pattern(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed * 7 + (i >> 8)) & 0xFF);
  return bytes;
}

}  // namespace

void WriteSampleDevice(Device& device) {
  ObjectStore& store = device.service<ObjectStore>();
  store.mountStorageCard(u"Storage Card");

  Folder(store, u"\\Windows", {2001, 9, 1, 10, 0});
  Folder(store, u"\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ", {2001, 9, 1, 10, 0});
  Folder(store, u"\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ", {2001, 9, 1, 10, 0});
  Folder(store, u"\\Windows\\Desktop", {2001, 9, 1, 10, 0});

  Folder(store, u"\\My Documents", {2001, 9, 1, 10, 5});
  File(u"\\My Documents\\メモ.txt", "買い物: 牛乳、パン、電池\n会議は木曜日の午後三時から。\n", {2002, 3, 15, 8, 45});
  File(u"\\My Documents\\Readme.txt", "Documents you write on the handheld are kept in this folder.\n",
       {2001, 10, 10, 12, 0});
  Folder(store, u"\\My Documents\\Personal", {2001, 12, 24, 21, 0});
  File(u"\\My Documents\\Personal\\日記.txt", "今日は雪が降った。\n", {2001, 12, 24, 22, 15});
  Folder(store, u"\\My Documents\\Business", {2002, 2, 1, 9, 0});
  File(u"\\My Documents\\Business\\見積書.pxl", Pattern(23456, 1), {2002, 2, 1, 14, 30});
  File(u"\\My Documents\\Business\\ﾃﾞｰﾀ.csv", "品名,数量\nﾉｰﾄ,3\nﾍﾟﾝ,12\n", {2002, 2, 4, 17, 2});

  Folder(store, u"\\Temp", {2002, 1, 10, 7, 30});
  Folder(store, u"\\Program Files", {2001, 9, 1, 10, 0});

  Folder(store, u"\\Storage Card", {2002, 1, 20, 13, 0});
  Folder(store, u"\\Storage Card\\写真", {2002, 1, 20, 13, 0});
  File(u"\\Storage Card\\写真\\DSC00001.JPG", Pattern(148213, 2), {2002, 1, 20, 13, 5});
  File(u"\\Storage Card\\写真\\DSC00002.JPG", Pattern(1250000, 3), {2002, 1, 20, 13, 7});
  File(u"\\Storage Card\\Backup.dat", Pattern(0, 4), {2001, 11, 30, 23, 59});

  // The stock Start-menu shortcut of the File Explorer, and the companion's link
  // folders with a few entries: a quoted target, and a name ending in an underscore
  // (its program gets paths without quotes).
  Shortcut(u"\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ.lnk", u"\\windows\\fexplore.exe");
  Folder(store, u"\\Windows\\SendTo", {2002, 3, 1, 9, 0});
  Shortcut(u"\\Windows\\SendTo\\ﾒﾓ帳.lnk", u"\"\\Windows\\notes.exe\"");
  Shortcut(u"\\Windows\\SendTo\\Viewer_.lnk", u"\\Windows\\viewer.exe");
  Folder(store, u"\\Windows\\MoveTo", {2002, 3, 1, 9, 0});
  Shortcut(u"\\Windows\\MoveTo\\Business.lnk", u"\"\\My Documents\\Business\"");
  Shortcut(u"\\Windows\\MoveTo\\写真.lnk", u"\\Storage Card\\写真");
}

}  // namespace sim
