// Kernel objects and the device's handle table.
//
// A HANDLE is a number the device hands out; the table maps it to a shared kernel
// object. Other parts put their own objects in the table (an open file derives from
// KernelObject and closes its host file in its destructor), so CloseHandle works for
// every kind. A handle belongs to the process that created it and is closed when
// that process ends. Numbers are never reused, so a stale handle stays invalid.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

namespace sim {

class Device;
class SimThread;
struct Process;

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// An object a thread can wait for: a process, a thread, an event.
class Waitable : public KernelObject {
 public:
  virtual bool signaled() const = 0;
  // Called when a wait is satisfied by this object (an auto-reset event resets).
  virtual void consume() {}

  void addWaiter(SimThread& thread);
  void removeWaiter(SimThread& thread);
  // Makes every waiting thread ready; each checks the object again when it runs.
  void wakeWaiters();

 private:
  std::vector<SimThread*> waiters_;
};

class Event : public Waitable {
 public:
  explicit Event(bool manualReset, bool initialState) : manualReset_(manualReset), signaled_(initialState) {}
  bool signaled() const override { return signaled_; }
  void consume() override {
    if (!manualReset_) signaled_ = false;
  }
  void set();
  void reset() { signaled_ = false; }

 private:
  bool manualReset_;
  bool signaled_;
};

class HandleTable {
 public:
  explicit HandleTable(Device&) {}

  // A new handle to `object`, owned by `owner` (null: the driver's).
  HANDLE add(std::shared_ptr<KernelObject> object, Process* owner);
  std::shared_ptr<KernelObject> find(HANDLE handle) const;
  template <class T>
  std::shared_ptr<T> findAs(HANDLE handle) const {
    return std::dynamic_pointer_cast<T>(find(handle));
  }
  // False when the handle is unknown or already closed.
  bool close(HANDLE handle);
  // Closes every handle `owner` holds; gives how many there were.
  std::size_t closeOwnedBy(const Process* owner);
  std::size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    std::shared_ptr<KernelObject> object;
    const Process* owner;
  };
  std::map<std::uintptr_t, Entry> entries_;
  std::uintptr_t next_ = 0x10004;
};

// The pseudo handles of the calling process and thread (valid only for the caller).
inline HANDLE currentProcessPseudoHandle() { return reinterpret_cast<HANDLE>(std::uintptr_t{0x42}); }
inline HANDLE currentThreadPseudoHandle() { return reinterpret_cast<HANDLE>(std::uintptr_t{0x41}); }

// The object behind `handle`, the caller's pseudo handles included; null when the
// handle is unknown or closed.
std::shared_ptr<KernelObject> resolveHandle(HANDLE handle);

// A handle or pointer as a fault report writes it: "0x10008", or "NULL".
std::string HandleText(const void* handle);
// Who is calling, for fault reports: the device path of the calling thread's
// program, "thread N" for a thread of no process, "driver" for the host.
std::string CallerName();
// Records a misuse of the API by the caller: `call` was given `handle`, which is
// wrong as `problem` says.
void reportProgramFault(std::string_view call, std::string handle, std::string problem);

}  // namespace sim
