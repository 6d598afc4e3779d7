// Handles, waits, events and Sleep at the device boundary.
//
// Waits use device time. The driver (the host thread that owns the device) cannot
// block: its waits only look at the objects' current state.
#include <windows.h>

#include <map>
#include <optional>
#include <vector>

#include "kernel/device.h"
#include "kernel/handles.h"
#include "kernel/process.h"

namespace {

sim::HandleTable& handles() { return sim::Device::current().service<sim::HandleTable>(); }

// Named events shared by every process of the device.
struct EventNames {
  explicit EventNames(sim::Device&) {}
  std::map<std::u16string, std::weak_ptr<sim::Event>> byName;
};

std::shared_ptr<sim::Waitable> waitableOf(HANDLE handle, const char* operation) {
  auto object = std::dynamic_pointer_cast<sim::Waitable>(sim::resolveHandle(handle));
  if (!object) {
    sim::reportProgramFault(operation, sim::HandleText(handle), "not an open handle of an object to wait for");
    SetLastError(ERROR_INVALID_HANDLE);
  }
  return object;
}

// Keeps the calling thread registered with the objects while it is blocked.
class WaiterRegistration {
 public:
  WaiterRegistration(const std::vector<std::shared_ptr<sim::Waitable>>& objects, sim::SimThread& thread)
      : objects_(objects), thread_(thread) {
    for (auto& object : objects_) object->addWaiter(thread_);
  }
  ~WaiterRegistration() {
    for (auto& object : objects_) object->removeWaiter(thread_);
  }
  WaiterRegistration(const WaiterRegistration&) = delete;
  WaiterRegistration& operator=(const WaiterRegistration&) = delete;

 private:
  const std::vector<std::shared_ptr<sim::Waitable>>& objects_;
  sim::SimThread& thread_;
};

// The index of the object that satisfies the wait, or nothing yet.
std::optional<DWORD> satisfied(const std::vector<std::shared_ptr<sim::Waitable>>& objects, bool all) {
  if (all) {
    for (auto& object : objects)
      if (!object->signaled()) return std::nullopt;
    for (auto& object : objects) object->consume();
    return 0;
  }
  for (DWORD i = 0; i < objects.size(); ++i) {
    if (objects[i]->signaled()) {
      objects[i]->consume();
      return i;
    }
  }
  return std::nullopt;
}

DWORD waitFor(const std::vector<std::shared_ptr<sim::Waitable>>& objects, bool all, DWORD milliseconds) {
  auto& device = sim::Device::current();
  auto* self = sim::Scheduler::current();
  std::optional<std::uint64_t> deadline;
  if (milliseconds != INFINITE) deadline = device.clock().now() + milliseconds;
  for (;;) {
    if (auto index = satisfied(objects, all)) return WAIT_OBJECT_0 + *index;
    if (!self || (deadline && device.clock().now() >= *deadline)) return WAIT_TIMEOUT;
    WaiterRegistration registration(objects, *self);
    // Killed is returned only to a thread already unwinding: give up the wait.
    if (device.scheduler().block(deadline) == sim::WakeReason::Killed) return WAIT_FAILED;
  }
}

}  // namespace

BOOL CloseHandle(HANDLE object) {
  if (object == sim::currentProcessPseudoHandle() || object == sim::currentThreadPseudoHandle()) return TRUE;
  if (handles().close(object)) return TRUE;
  sim::reportProgramFault("CloseHandle", sim::HandleText(object), "not an open handle");
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
  auto waitable = waitableOf(object, "WaitForSingleObject");
  if (!waitable) return WAIT_FAILED;
  return waitFor({waitable}, false, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !objects) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<sim::Waitable>> waitables;
  for (DWORD i = 0; i < count; ++i) {
    auto waitable = waitableOf(objects[i], "WaitForMultipleObjects");
    if (!waitable) return WAIT_FAILED;
    waitables.push_back(std::move(waitable));
  }
  return waitFor(waitables, waitAll != FALSE, milliseconds);
}

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR name) {
  auto& device = sim::Device::current();
  std::shared_ptr<sim::Event> event;
  if (name && *name) {
    auto& slot = device.service<EventNames>().byName[name];
    event = slot.lock();
    if (event) {
      auto handle = handles().add(event, sim::CurrentProcess());
      SetLastError(ERROR_ALREADY_EXISTS);
      return handle;
    }
    event = std::make_shared<sim::Event>(manualReset != FALSE, initialState != FALSE);
    slot = event;
  } else {
    event = std::make_shared<sim::Event>(manualReset != FALSE, initialState != FALSE);
  }
  SetLastError(ERROR_SUCCESS);
  return handles().add(event, sim::CurrentProcess());
}

BOOL SetEvent(HANDLE event) {
  auto target = std::dynamic_pointer_cast<sim::Event>(sim::resolveHandle(event));
  if (!target) {
    sim::reportProgramFault("SetEvent", sim::HandleText(event), "not an open event handle");
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  target->set();
  return TRUE;
}

void Sleep(DWORD milliseconds) {
  if (!sim::Scheduler::current()) return;  // the driver moves time with runUntil/settle
  auto& device = sim::Device::current();
  auto& cpu = device.scheduler();
  if (milliseconds == 0) {
    cpu.yield();
    return;
  }
  std::optional<std::uint64_t> deadline;
  if (milliseconds != INFINITE) deadline = device.clock().now() + milliseconds;
  // Other parts may wake a sleeping thread (a posted message); sleep on until due.
  while (!deadline || device.clock().now() < *deadline)
    if (cpu.block(deadline) == sim::WakeReason::Killed) return;
}
