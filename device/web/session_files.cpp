// The device's files for the page's files panel: listed, read and written through
// the device's own file API, so that nothing reaches past the device's root and the
// device sees every change as its own.
#include <windows.h>

#include "device_listing.h"
#include "scenario/device_files.h"
#include "web/device_path_check.h"
#include "web/json.h"
#include "web/web_session.h"

namespace sim::web {

namespace {

std::string EntryJson(const WIN32_FIND_DATAW& found) {
  const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const ULONGLONG size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  return "{\"name\":" + JsonString(scenario::Narrow(found.cFileName)) + ",\"folder\":" + (folder ? "true" : "false") +
         ",\"size\":" + std::to_string(size) + ",\"date\":" + JsonString(LocalDateText(found.ftLastWriteTime)) + "}";
}

}  // namespace

Answer WebSession::listFolder(const std::string& path) {
  auto folder = CheckedDevicePath(path, true);
  if (!folder) return Refused(400, "not a device path");
  DWORD attributes = folder->empty() ? FILE_ATTRIBUTE_DIRECTORY : GetFileAttributesW(folder->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Refused(404, "no such folder on the device");
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((*folder + u"\\*").c_str(), &found);
  std::vector<std::string> entries;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
    entries.push_back(EntryJson(found));
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  std::string body = "{\"entries\":[";
  for (std::size_t i = 0; i < entries.size(); ++i) body += (i ? "," : "") + entries[i];
  return Answer{200, body + "]}"};
}

Answer WebSession::readFile(const std::string& path) {
  auto file = CheckedDevicePath(path, false);
  if (!file) return Refused(400, "not a device path");
  DWORD attributes = GetFileAttributesW(file->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Refused(404, "no such file on the device");
  auto bytes = scenario::ReadWholeFile(*file);
  if (!bytes) return Refused(409, "the device could not read the file");
  return Answer{200, std::move(*bytes), "application/octet-stream"};
}

Answer WebSession::writeFile(const std::string& path, const std::string& bytes) {
  auto file = CheckedDevicePath(path, false);
  if (!file) return Refused(400, "not a device path");
  const std::u16string parent = scenario::ParentOf(*file);
  DWORD folder = parent.empty() ? FILE_ATTRIBUTE_DIRECTORY : GetFileAttributesW(parent.c_str());
  if (folder == INVALID_FILE_ATTRIBUTES || !(folder & FILE_ATTRIBUTE_DIRECTORY))
    return Refused(404, "no such folder on the device");
  DWORD existing = GetFileAttributesW(file->c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY))
    return Refused(409, "a folder has that name");
  if (!scenario::WriteWholeFile(*file, bytes)) return Refused(409, "the device could not write the file");
  device().scheduler().runUntilIdle();
  return Answer{};
}

}  // namespace sim::web
