// The device's local heaps: every block a program allocated with LocalAlloc.
//
// Each process has a heap of its own. Keeping the blocks in a table with their
// owner lets the API tell a bad pointer (freed twice, never allocated, another
// process's block) from a good one, so that misuse is a program fault instead of a
// host crash. A process's blocks are freed when it ends, so a pointer into them
// that outlives it is a use after free the sanitizers see. The driver's blocks
// belong to no process. Blocks handed to the system (the clipboard's data) outlive
// their maker, and no program frees or resizes them. At shutdown the device frees
// what is left.
#pragma once

#include <cstddef>
#include <map>
#include <optional>

namespace sim {

class Device;
struct Process;

class LocalMemory {
 public:
  // A block's owner: the process whose heap holds it; null for the driver.
  using Owner = const Process*;
  struct Block {
    std::size_t size;
    Owner owner;
    bool system;  // handed to the system: the owner no longer frees it
  };

  // Larger requests fail as on a device with a few tens of megabytes of memory.
  static constexpr std::size_t kLargestBlock = 64u << 20;

  explicit LocalMemory(Device&) {}
  ~LocalMemory();
  LocalMemory(const LocalMemory&) = delete;
  LocalMemory& operator=(const LocalMemory&) = delete;

  // Null when the memory is not there.
  void* allocate(std::size_t bytes, bool zeroFill, Owner owner);
  // Null when `block` is not a live block.
  std::optional<std::size_t> size(const void* block) const;
  // Nothing when `block` is not a live block.
  std::optional<Block> find(const void* block) const;
  // False when `block` is not a live block.
  bool free(void* block);
  // The resized block (possibly moved when `mayMove`); null when `block` is not
  // live or cannot be resized as asked. The old block stays valid on failure.
  void* resize(void* block, std::size_t bytes, bool zeroFillGrowth, bool mayMove);
  // Hands a live block to the system (a block placed on the clipboard).
  void handToSystem(void* block);
  // Frees every block `owner` holds (its process has ended); gives how many there were.
  std::size_t releaseOwnedBy(Owner owner);
  std::size_t liveBlocks() const { return blocks_.size(); }

 private:
  std::map<void*, Block> blocks_;
};

}  // namespace sim
