#include "fs/file_copy.h"

#include <string>

#include <windows.h>

#include "fs/host_io.h"

namespace sim::fs {

namespace {

FsStatus CopyContents(int from, int to) {
  std::string buffer(64 * 1024, '\0');
  std::uint64_t offset = 0;
  for (;;) {
    auto n = ReadAt(from, buffer.data(), buffer.size(), offset);
    if (!n) return n.error().code;
    if (*n == 0) return 0;
    if (FsStatus status = WriteAt(to, buffer.data(), *n, offset)) return status;
    offset += *n;
  }
}

// A sibling name for a copy in progress, unused on the host.
std::filesystem::path ScratchNameBeside(const std::filesystem::path& target) {
  for (int n = 0;; ++n) {
    auto candidate = target.parent_path() / (".copying-" + std::to_string(n) + "-" + target.filename().string());
    if (!StatNode(candidate) && !std::filesystem::is_symlink(candidate)) return candidate;
  }
}

}  // namespace

FsStatus CopyHostFile(const std::filesystem::path& source, const std::filesystem::path& target, bool replace) {
  auto in = OpenHostFile(source, true, false, false, false);
  if (!in) return in.error().code;
  auto sourceStat = StatOpenFile(in->get());
  if (!sourceStat) return ERROR_ACCESS_DENIED;
  auto scratch = ScratchNameBeside(target);
  auto out = OpenHostFile(scratch, false, true, true, false);
  if (!out) return out.error().code;
  FsStatus status = CopyContents(in->get(), out->get());
  if (!status) status = SetWriteTime(out->get(), sourceStat->writeTicks);
  out = UniqueFd();
  if (!status) status = replace ? RenameReplacing(scratch, target) : RenameNoReplace(scratch, target);
  if (status) RemoveFile(scratch);
  return status;
}

}  // namespace sim::fs
