#include "kernel/handles.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "kernel/device.h"
#include "kernel/process.h"

namespace sim {

void Waitable::addWaiter(SimThread& thread) {
  if (std::find(waiters_.begin(), waiters_.end(), &thread) == waiters_.end()) waiters_.push_back(&thread);
}

void Waitable::removeWaiter(SimThread& thread) { std::erase(waiters_, &thread); }

void Waitable::wakeWaiters() {
  auto* device = Device::active();
  if (!device) return;
  for (SimThread* thread : waiters_) device->scheduler().wake(*thread);
}

void Event::set() {
  signaled_ = true;
  wakeWaiters();
}

HANDLE HandleTable::add(std::shared_ptr<KernelObject> object, Process* owner) {
  const std::uintptr_t value = next_;
  next_ += 4;
  entries_.emplace(value, Entry{std::move(object), owner});
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> HandleTable::find(HANDLE handle) const {
  auto it = entries_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == entries_.end() ? nullptr : it->second.object;
}

bool HandleTable::close(HANDLE handle) {
  auto it = entries_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == entries_.end()) return false;
  // The object may close further handles from its destructor: release it after the
  // entry is gone from the table.
  auto object = std::move(it->second.object);
  entries_.erase(it);
  object.reset();
  return true;
}

std::size_t HandleTable::closeOwnedBy(const Process* owner) {
  std::vector<std::shared_ptr<KernelObject>> released;
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->second.owner == owner) {
      released.push_back(std::move(it->second.object));
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
  return released.size();
}

std::shared_ptr<KernelObject> resolveHandle(HANDLE handle) {
  auto& device = Device::current();
  if (handle == currentProcessPseudoHandle() || handle == currentThreadPseudoHandle()) {
    auto* process = CurrentProcess();
    if (!process) return nullptr;
    if (handle == currentThreadPseudoHandle()) {
      for (auto& thread : process->threads)
        if (thread->thread == Scheduler::current()) return thread;
      return nullptr;
    }
    for (auto& candidate : device.service<ProcessTable>().processes())
      if (candidate.get() == process) return candidate;
    return nullptr;
  }
  return device.service<HandleTable>().find(handle);
}

std::string HandleText(const void* handle) {
  if (!handle) return "NULL";
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
  return text;
}

std::string CallerName() {
  if (auto* process = CurrentProcess()) return process->programName();
  if (auto* thread = Scheduler::current()) return "thread " + std::to_string(thread->id());
  return "driver";
}

void reportProgramFault(std::string_view call, std::string handle, std::string problem) {
  Device::current().faults().reportProgramFault(
      ProgramFault{CallerName(), std::string(call), std::move(handle), std::move(problem)});
}

}  // namespace sim
