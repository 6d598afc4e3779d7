// Files on the device as the scenario steps make and read them, through the
// device's own file API (so that armed failures of it count these calls too).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace sim::scenario {

// The folder above `path`; empty for an entry of the root.
std::u16string ParentOf(const std::u16string& path);
// Makes the folder and every missing folder above it.
bool MakeFolders(const std::u16string& path);
// Writes `bytes` (then extends the file to `size` bytes when given), making the
// missing folders above it.
bool WriteWholeFile(const std::u16string& path, const std::string& bytes, std::optional<ULONGLONG> size = {});
std::optional<std::string> ReadWholeFile(const std::u16string& path);
// Removes a file, or a folder with everything in it; true when nothing is left.
bool RemoveTree(const std::u16string& path);

}  // namespace sim::scenario
