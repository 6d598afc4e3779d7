// Where the window part meets processes: who is calling, and thread ends.
#include <cstdio>

#include "kernel/device.h"
#include "kernel/handles.h"
#include "kernel/process.h"
#include "kernel/scheduler.h"
#include "user/window.h"

namespace sim {

Process* CurrentProcessOfThread() { return CurrentProcess(); }

DWORD ProcessIdOf(const Process* process) { return process ? process->id : 0; }

bool IntoEndedProgram(const char* call, const Window& window, WNDPROC proc, UINT message) {
  const Process* owner = ProcedureOwner(window, reinterpret_cast<const void*>(proc));
  if (!owner || !owner->ended) return false;
  // While the device shuts down, programs end one after the other and the windows
  // of those still ending hear of it (activation passing back to an owner): such a
  // message goes nowhere, and no program did anything wrong.
  if (Device::current().scheduler().terminating()) return true;
  char problem[64];
  std::snprintf(problem, sizeof problem, "message 0x%04X to a procedure of ended ", message);
  reportProgramFault(call, HandleText(window.handle), problem + owner->programName());
  return true;
}

// A thread's windows die with it, on that thread, before its process is signaled.
void WatchProcessEnds(WindowSystem& windows) {
  Device& device = Device::current();
  (void)windows;
  device.service<ProcessTable>().addThreadExitObserver([&device](SimThread& thread) {
    if (auto* system = device.findService<WindowSystem>()) system->threadEnding(thread);
  });
  device.service<ProcessTable>().addExitObserver([&device](Process& process) {
    if (auto* system = device.findService<WindowSystem>()) system->processEnding(process);
  });
}

}  // namespace sim
