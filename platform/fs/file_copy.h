// Copying a file's bytes on the host, for CopyFileW and for a move to another
// volume.
#pragma once

#include <filesystem>

#include "fs/fs_result.h"

namespace sim::fs {

// Copies the bytes and the last-write time of the file at `source` to `target`
// through a scratch file renamed into place, so a copy that fails half-way (a
// full medium) leaves the target as it was. With `replace` a file at `target` is
// replaced; without, the copy fails with ERROR_ALREADY_EXISTS.
FsStatus CopyHostFile(const std::filesystem::path& source, const std::filesystem::path& target, bool replace);

}  // namespace sim::fs
