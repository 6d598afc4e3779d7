#include "user/clipboard.h"

#include <algorithm>
#include <cstring>

#include "kernel/device.h"
#include "kernel/handles.h"
#include "kernel/local_memory.h"
#include "kernel/process.h"
#include "text/case_fold.h"
#include "user/window.h"

namespace sim {

// The heap must outlive the clipboard, which frees its blocks into it at shutdown:
// services go newest first, so the heap is made before the clipboard.
Clipboard::Clipboard(Device& device) : heap_(device.service<LocalMemory>()) {
  device.service<ProcessTable>().addThreadExitObserver([this](SimThread& thread) { threadEnded(thread); });
}

Clipboard::~Clipboard() {
  dropCopies(0);
  while (!blocks_.empty()) {
    HANDLE block = blocks_.back().second;
    blocks_.pop_back();
    release(block);
  }
}

Clipboard& Clipboard::get() { return Device::current().service<Clipboard>(); }

bool Clipboard::open(HWND window, SimThread* thread, DWORD& error) {
  if (holder_) {
    // The holder may open it again; anyone else waits until it is closed.
    bool same = window ? holder_->window == window : (!holder_->window && holder_->thread == thread);
    if (!same) {
      error = ERROR_ACCESS_DENIED;
      return false;
    }
  }
  holder_ = Holder{window, thread};
  return true;
}

bool Clipboard::close(SimThread* thread, DWORD& error) {
  if (!heldBy(thread)) {
    error = ERROR_CLIPBOARD_NOT_OPEN;
    return false;
  }
  dropCopies(0);
  holder_.reset();
  return true;
}

bool Clipboard::empty(SimThread* thread, DWORD& error) {
  if (!heldBy(thread)) {
    error = ERROR_CLIPBOARD_NOT_OPEN;
    return false;
  }
  dropCopies(0);
  while (!blocks_.empty()) {
    HANDLE block = blocks_.back().second;
    blocks_.pop_back();
    release(block);
  }
  owner_ = holder_->window;
  return true;
}

bool Clipboard::set(UINT format, HANDLE block, SimThread* thread, DWORD& error) {
  if (!heldBy(thread)) {
    error = ERROR_CLIPBOARD_NOT_OPEN;
    return false;
  }
  if (format == 0) {
    error = ERROR_INVALID_PARAMETER;
    return false;
  }
  // Only the owner window places data: opened without a window and emptied, the
  // clipboard has no owner.
  if (!ownedByHolder()) {
    error = ERROR_CLIPBOARD_NOT_OPEN;
    return false;
  }
  if (block && !acceptable(block, error)) return false;
  dropCopies(format);
  if (block) heap_.handToSystem(block);
  auto it = std::find_if(blocks_.begin(), blocks_.end(), [&](const auto& entry) { return entry.first == format; });
  if (it == blocks_.end()) {
    if (block) blocks_.emplace_back(format, block);
    return true;
  }
  HANDLE replaced = it->second;
  if (block)
    it->second = block;
  else
    blocks_.erase(it);
  if (replaced != block) release(replaced);
  return true;
}

HANDLE Clipboard::data(UINT format, SimThread* thread, DWORD& error) {
  if (!heldBy(thread)) {
    error = ERROR_CLIPBOARD_NOT_OPEN;
    return nullptr;
  }
  HANDLE block = find(format);
  if (!block) {
    error = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  for (const Copy& copy : copies_)
    if (copy.format == format) return copy.block;
  const std::size_t size = heap_.size(block).value_or(0);
  void* copy = heap_.allocate(size, false, nullptr);
  if (!copy) {
    error = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  heap_.handToSystem(copy);
  std::memcpy(copy, block, size);
  copies_.push_back(Copy{format, copy});
  return copy;
}

UINT Clipboard::next(UINT format, SimThread* thread, DWORD& error) const {
  if (!heldBy(thread)) {
    error = ERROR_CLIPBOARD_NOT_OPEN;
    return 0;
  }
  error = ERROR_SUCCESS;
  if (format == 0) return blocks_.empty() ? 0 : blocks_.front().first;
  auto it = std::find_if(blocks_.begin(), blocks_.end(), [&](const auto& entry) { return entry.first == format; });
  if (it == blocks_.end() || ++it == blocks_.end()) return 0;
  return it->first;
}

bool Clipboard::available(UINT format) const { return find(format) != nullptr; }

HWND Clipboard::owner() const {
  // An owner window destroyed since is no owner any more.
  return WindowSystem::get().find(owner_) ? owner_ : nullptr;
}

UINT Clipboard::registerFormat(std::u16string_view name) {
  if (name.empty()) return 0;
  for (std::size_t i = 0; i < names_.size(); ++i)
    if (compareIgnoringCase(names_[i], name) == 0) return kFirstRegisteredFormat + static_cast<UINT>(i);
  if (kFirstRegisteredFormat + names_.size() > 0xFFFF) return 0;
  names_.emplace_back(name);
  return kFirstRegisteredFormat + static_cast<UINT>(names_.size() - 1);
}

std::optional<std::u16string> Clipboard::formatName(UINT format) const {
  if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= names_.size()) return std::nullopt;
  return names_[format - kFirstRegisteredFormat];
}

std::optional<std::u16string> Clipboard::text() const {
  auto raw = bytes(CF_UNICODETEXT);
  if (!raw) return std::nullopt;
  std::u16string result(raw->size() / 2, u'\0');
  std::memcpy(result.data(), raw->data(), result.size() * 2);
  result.resize(std::min(result.size(), result.find(u'\0')));
  return result;
}

std::vector<UINT> Clipboard::formats() const {
  std::vector<UINT> result;
  for (const auto& entry : blocks_) result.push_back(entry.first);
  return result;
}

std::optional<std::vector<unsigned char>> Clipboard::bytes(UINT format) const {
  HANDLE block = find(format);
  if (!block) return std::nullopt;
  auto size = heap_.size(block);
  if (!size) return std::nullopt;  // freed behind the clipboard's back
  const auto* first = static_cast<const unsigned char*>(block);
  return std::vector<unsigned char>(first, first + *size);
}

void Clipboard::threadEnded(const SimThread& thread) {
  if (!holder_ || holder_->thread != &thread) return;
  dropCopies(0);
  holder_.reset();
}

HANDLE Clipboard::find(UINT format) const {
  auto it = std::find_if(blocks_.begin(), blocks_.end(), [&](const auto& entry) { return entry.first == format; });
  return it == blocks_.end() ? nullptr : it->second;
}

bool Clipboard::holds(HANDLE block) const {
  return std::any_of(blocks_.begin(), blocks_.end(), [&](const auto& entry) { return entry.second == block; });
}

bool Clipboard::acceptable(HANDLE block, DWORD& error) const {
  if (holds(block)) return true;  // placed before: the clipboard's already
  std::string problem;
  auto found = heap_.find(block);
  if (!found)
    problem = "not a live local memory block";
  else if (found->system)
    problem = "a block of the system (clipboard data), not of this program's heap";
  else if (found->owner != CurrentProcess())
    problem = found->owner ? "a block of " + found->owner->programName() + "'s heap, not of this program's"
                           : "a block of the driver's, not of this program's heap";
  if (problem.empty()) return true;
  reportProgramFault("SetClipboardData", HandleText(block), std::move(problem));
  error = ERROR_INVALID_HANDLE;
  return false;
}

void Clipboard::release(HANDLE block) {
  if (!holds(block)) heap_.free(block);
}

void Clipboard::dropCopies(UINT format) {
  std::erase_if(copies_, [&](const Copy& copy) {
    if (format != 0 && copy.format != format) return false;
    heap_.free(copy.block);
    return true;
  });
}

}  // namespace sim
