// A reader of the File Explorer's copied file list ("Shell IDList Array"), written
// from the block's layout alone and kept apart from the companion's own scan, so
// that the clipboard fuzzer can tell what the companion should have found.
//
// The block is a run of 16-bit little-endian units. A unit whose low byte is a
// backslash starts a path when the unit before it has the high byte 0x01; the path
// runs up to the next zero unit. A path that has not ended when a new one starts,
// or when the block ends, is no path. A block whose header names the desktop holds
// only selected items; any other block begins with the folder they were copied
// from.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fuzz {

struct FileListReading {
  bool desktop = false;
  // Every complete path, in block order; the first is the folder unless `desktop`.
  std::vector<std::u16string> paths;
  // For each path, the byte offset just past its terminating zero unit.
  std::vector<std::size_t> ends;
};

FileListReading ReadFileList(std::span<const std::uint8_t> block);

}  // namespace fuzz
