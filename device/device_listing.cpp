#include <windows.h>

#include "device_listing.h"

#include <cstdio>

#include "handheld.h"
#include "text/utf.h"

namespace sim {

namespace {

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8Replacing(text).text; }

void PrintFolder(std::ostream& out, const std::u16string& folder, int depth) {
  std::u16string pattern = folder + u"\\*";
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    std::u16string line(static_cast<std::size_t>(depth) * 2, u' ');
    line += data.cFileName;
    if (isFolder) line += u'\\';
    out << Utf8(line);
    if (line.size() < 40) out << std::string(40 - line.size(), ' ');
    if (isFolder) {
      out << "          ";
    } else {
      char size[16];
      std::snprintf(size, sizeof size, "%10u", data.nFileSizeLow);
      out << size;
    }
    out << "  " << LocalDateText(data.ftLastWriteTime);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_TEMPORARY) out << "  [storage card]";
    out << "\n";
    if (isFolder) PrintFolder(out, folder + u"\\" + data.cFileName, depth + 1);
  } while (FindNextFileW(search, &data));
  FindClose(search);
}

}  // namespace

std::string LocalDateText(const FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return "(no date)";
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
                st.wMinute, st.wSecond);
  return text;
}

void PrintFileTree(std::ostream& out) {
  out << "\\\n";
  PrintFolder(out, u"", 1);
}

void PrintInstalledPrograms(std::ostream& out, const Handheld& handheld) {
  if (handheld.installedPrograms().empty()) out << "  (none)\n";
  for (const auto& path : handheld.installedPrograms()) out << "  " << Utf8(path) << "\n";
}

}  // namespace sim
