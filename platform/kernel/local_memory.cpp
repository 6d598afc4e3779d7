#include "kernel/local_memory.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kernel/device.h"
#include "kernel/handles.h"
#include "kernel/process.h"

namespace sim {

LocalMemory::~LocalMemory() {
  for (auto& [block, entry] : blocks_) std::free(block);
}

void* LocalMemory::allocate(std::size_t bytes, bool zeroFill, Owner owner) {
  if (bytes > kLargestBlock) return nullptr;
  // A zero-byte block is still a distinct live block.
  void* block = zeroFill ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
  if (block) blocks_.emplace(block, Block{bytes, owner, false});
  return block;
}

std::optional<std::size_t> LocalMemory::size(const void* block) const {
  auto it = blocks_.find(const_cast<void*>(block));
  if (it == blocks_.end()) return std::nullopt;
  return it->second.size;
}

std::optional<LocalMemory::Block> LocalMemory::find(const void* block) const {
  auto it = blocks_.find(const_cast<void*>(block));
  if (it == blocks_.end()) return std::nullopt;
  return it->second;
}

bool LocalMemory::free(void* block) {
  auto it = blocks_.find(block);
  if (it == blocks_.end()) return false;
  blocks_.erase(it);
  std::free(block);
  return true;
}

void* LocalMemory::resize(void* block, std::size_t bytes, bool zeroFillGrowth, bool mayMove) {
  auto it = blocks_.find(block);
  if (it == blocks_.end() || bytes > kLargestBlock) return nullptr;
  const std::size_t old = it->second.size;
  if (bytes <= old) {
    it->second.size = bytes;
    return block;
  }
  if (!mayMove) return nullptr;
  const Block kept = it->second;
  void* moved = std::realloc(block, bytes);
  if (!moved) return nullptr;
  blocks_.erase(it);
  blocks_.emplace(moved, Block{bytes, kept.owner, kept.system});
  if (zeroFillGrowth) std::memset(static_cast<char*>(moved) + old, 0, bytes - old);
  return moved;
}

void LocalMemory::handToSystem(void* block) {
  auto it = blocks_.find(block);
  if (it != blocks_.end()) it->second.system = true;
}

std::size_t LocalMemory::releaseOwnedBy(Owner owner) {
  std::vector<void*> released;
  for (const auto& [block, entry] : blocks_)
    if (entry.owner == owner && !entry.system) released.push_back(block);
  for (void* block : released) free(block);
  return released.size();
}

}  // namespace sim

// --- the API ---

namespace {

sim::LocalMemory& heap() { return sim::Device::current().service<sim::LocalMemory>(); }

enum class Use { OwnOnly, ReadSystems };

// What is wrong with the caller using `memory`, or nothing. A program frees and
// resizes only blocks of its own heap; it may also read the system's blocks
// (clipboard data), never another process's.
std::optional<std::string> misuseOf(HLOCAL memory, Use use) {
  auto block = heap().find(memory);
  if (!block) return "not a live local memory block";
  if (block->system) {
    if (use == Use::ReadSystems) return std::nullopt;
    return "a block of the system (clipboard data), not of this program's heap";
  }
  if (block->owner == sim::CurrentProcess()) return std::nullopt;
  if (!block->owner) return "a block of the driver's, not of this program's heap";
  return "a block of " + block->owner->programName() + "'s heap, not of this program's";
}

// True when the caller may use `memory`; otherwise reports the misuse.
bool usable(HLOCAL memory, const char* operation, Use use) {
  auto problem = misuseOf(memory, use);
  if (!problem) return true;
  sim::reportProgramFault(operation, sim::HandleText(memory), std::move(*problem));
  SetLastError(ERROR_INVALID_HANDLE);
  return false;
}

}  // namespace

HLOCAL LocalAlloc(UINT flags, UINT bytes) {
  if (sim::FailsByInjection("LocalAlloc")) return nullptr;
  // Moveable blocks never move here: the handle is the address for every block.
  void* block = heap().allocate(bytes, (flags & LMEM_ZEROINIT) != 0, sim::CurrentProcess());
  if (!block) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return block;
}

HLOCAL LocalReAlloc(HLOCAL memory, UINT bytes, UINT flags) {
  if (!usable(memory, "LocalReAlloc", Use::OwnOnly)) return nullptr;
  if (flags & LMEM_MODIFY) return memory;
  if (sim::FailsByInjection("LocalReAlloc")) return nullptr;
  void* block = heap().resize(memory, bytes, (flags & LMEM_ZEROINIT) != 0, (flags & LMEM_MOVEABLE) != 0);
  if (!block) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return block;
}

HLOCAL LocalFree(HLOCAL memory) {
  if (!memory) return nullptr;
  if (!usable(memory, "LocalFree", Use::OwnOnly)) return memory;
  heap().free(memory);
  return nullptr;
}

UINT LocalSize(HLOCAL memory) {
  if (!usable(memory, "LocalSize", Use::ReadSystems)) return 0;
  return static_cast<UINT>(*heap().size(memory));
}

LPVOID LocalLock(HLOCAL memory) {
  if (!usable(memory, "LocalLock", Use::ReadSystems)) return nullptr;
  return memory;
}

BOOL LocalUnlock(HLOCAL memory) {
  if (!usable(memory, "LocalUnlock", Use::ReadSystems)) return FALSE;
  SetLastError(NO_ERROR);  // a block that is not locked any more
  return FALSE;
}

// The global heap is the local heap on this device.
HGLOBAL GlobalAlloc(UINT flags, DWORD bytes) { return LocalAlloc(flags, bytes); }
HGLOBAL GlobalReAlloc(HGLOBAL memory, DWORD bytes, UINT flags) { return LocalReAlloc(memory, bytes, flags); }
HGLOBAL GlobalFree(HGLOBAL memory) { return LocalFree(memory); }
DWORD GlobalSize(HGLOBAL memory) { return LocalSize(memory); }
LPVOID GlobalLock(HGLOBAL memory) { return LocalLock(memory); }
BOOL GlobalUnlock(HGLOBAL memory) { return LocalUnlock(memory); }
