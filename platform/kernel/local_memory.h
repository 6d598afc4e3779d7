// The device's local heap: every block a program allocated with LocalAlloc.
//
// Keeping the blocks in a table lets the API tell a bad pointer (freed twice, never
// allocated) from a good one, so that misuse is a program fault instead of a host
// crash, and lets the device free at shutdown whatever programs leaked. Blocks are
// not freed when the process that made them ends: a block handed to the clipboard
// belongs to the system from then on and must outlive its maker.
#pragma once

#include <cstddef>
#include <map>
#include <optional>

namespace sim {

class Device;

class LocalMemory {
 public:
  // Larger requests fail as on a device with a few tens of megabytes of memory.
  static constexpr std::size_t kLargestBlock = 64u << 20;

  explicit LocalMemory(Device&) {}
  ~LocalMemory();
  LocalMemory(const LocalMemory&) = delete;
  LocalMemory& operator=(const LocalMemory&) = delete;

  // Null when the memory is not there.
  void* allocate(std::size_t bytes, bool zeroFill);
  // Null when `block` is not a live block.
  std::optional<std::size_t> size(const void* block) const;
  // False when `block` is not a live block.
  bool free(void* block);
  // The resized block (possibly moved when `mayMove`); null when `block` is not
  // live or cannot be resized as asked. The old block stays valid on failure.
  void* resize(void* block, std::size_t bytes, bool zeroFillGrowth, bool mayMove);
  std::size_t liveBlocks() const { return blocks_.size(); }

 private:
  std::map<void*, std::size_t> blocks_;
};

}  // namespace sim
