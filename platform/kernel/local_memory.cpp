#include "kernel/local_memory.h"

#include <cstdlib>
#include <cstring>

#include "kernel/device.h"
#include "kernel/handles.h"

namespace sim {

LocalMemory::~LocalMemory() {
  for (auto& [block, size] : blocks_) std::free(block);
}

void* LocalMemory::allocate(std::size_t bytes, bool zeroFill) {
  if (bytes > kLargestBlock) return nullptr;
  // A zero-byte block is still a distinct live block.
  void* block = zeroFill ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
  if (block) blocks_.emplace(block, bytes);
  return block;
}

std::optional<std::size_t> LocalMemory::size(const void* block) const {
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
  const std::size_t old = it->second;
  if (bytes <= old) {
    it->second = bytes;
    return block;
  }
  if (!mayMove) return nullptr;
  void* moved = std::realloc(block, bytes);
  if (!moved) return nullptr;
  blocks_.erase(it);
  blocks_.emplace(moved, bytes);
  if (zeroFillGrowth) std::memset(static_cast<char*>(moved) + old, 0, bytes - old);
  return moved;
}

}  // namespace sim

// --- the API ---

namespace {

sim::LocalMemory& heap() { return sim::Device::current().service<sim::LocalMemory>(); }

void badBlock(const char* operation, HLOCAL memory) {
  sim::reportProgramFault(operation, sim::HandleText(memory), "not a live local memory block");
  SetLastError(ERROR_INVALID_HANDLE);
}

}  // namespace

HLOCAL LocalAlloc(UINT flags, UINT bytes) {
  if (sim::FailsByInjection("LocalAlloc")) return nullptr;
  // Moveable blocks never move here: the handle is the address for every block.
  void* block = heap().allocate(bytes, (flags & LMEM_ZEROINIT) != 0);
  if (!block) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return block;
}

HLOCAL LocalReAlloc(HLOCAL memory, UINT bytes, UINT flags) {
  if (!heap().size(memory)) {
    badBlock("LocalReAlloc", memory);
    return nullptr;
  }
  if (flags & LMEM_MODIFY) return memory;
  if (sim::FailsByInjection("LocalReAlloc")) return nullptr;
  void* block = heap().resize(memory, bytes, (flags & LMEM_ZEROINIT) != 0, (flags & LMEM_MOVEABLE) != 0);
  if (!block) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return block;
}

HLOCAL LocalFree(HLOCAL memory) {
  if (!memory) return nullptr;
  if (heap().free(memory)) return nullptr;
  badBlock("LocalFree", memory);
  return memory;
}

UINT LocalSize(HLOCAL memory) {
  auto size = heap().size(memory);
  if (!size) {
    badBlock("LocalSize", memory);
    return 0;
  }
  return static_cast<UINT>(*size);
}

LPVOID LocalLock(HLOCAL memory) {
  if (!heap().size(memory)) {
    badBlock("LocalLock", memory);
    return nullptr;
  }
  return memory;
}

BOOL LocalUnlock(HLOCAL memory) {
  if (!heap().size(memory)) {
    badBlock("LocalUnlock", memory);
    return FALSE;
  }
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
