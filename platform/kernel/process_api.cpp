// The process and thread API at the device boundary.
#include <windows.h>

#include <type_traits>

#include "kernel/device.h"
#include "kernel/handles.h"
#include "kernel/process.h"

namespace {

sim::ProcessTable& table() { return sim::Device::current().service<sim::ProcessTable>(); }
sim::HandleTable& handles() { return sim::Device::current().service<sim::HandleTable>(); }

// The object behind a handle, the caller's pseudo handles included; a wrong or
// closed handle is the program's fault.
template <class T>
std::shared_ptr<T> objectOf(HANDLE handle, const char* operation) {
  auto object = std::dynamic_pointer_cast<T>(sim::resolveHandle(handle));
  if (!object) {
    constexpr bool process = std::is_same_v<T, sim::Process>;
    sim::reportProgramFault(operation, sim::HandleText(handle),
                            process ? "not an open process handle" : "not an open thread handle");
    SetLastError(ERROR_INVALID_HANDLE);
  }
  return object;
}

}  // namespace

BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                    BOOL, DWORD creationFlags, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                    LPPROCESS_INFORMATION processInformation) {
  if (!applicationName && !commandLine) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (creationFlags & CREATE_SUSPENDED) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  auto started = table().start(applicationName, commandLine);
  if (!started.process) {
    SetLastError(started.error);
    return FALSE;
  }
  if (processInformation) {
    auto* owner = sim::CurrentProcess();
    processInformation->hProcess = handles().add(started.process, owner);
    processInformation->hThread = handles().add(started.mainThread, owner);
    processInformation->dwProcessId = started.process->id;
    processInformation->dwThreadId = started.mainThread->thread->id();
  }
  return TRUE;
}

void ExitProcess(UINT exitCode) {
  if (auto* process = sim::CurrentProcess()) table().terminate(*process, exitCode);
  // Not in a process (a bare scheduler thread): end the calling thread.
  throw sim::ThreadUnwind{exitCode};
}

void ExitThread(DWORD exitCode) { throw sim::ThreadUnwind{exitCode}; }

BOOL TerminateProcess(HANDLE process, UINT exitCode) {
  auto target = objectOf<sim::Process>(process, "TerminateProcess");
  if (!target) return FALSE;
  table().terminate(*target, exitCode);
  return TRUE;
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
  auto target = objectOf<sim::Process>(process, "GetExitCodeProcess");
  if (!target || !exitCode) {
    if (target) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *exitCode = target->ended ? target->exitCode : STILL_ACTIVE;
  return TRUE;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
  auto target = objectOf<sim::ThreadObject>(thread, "GetExitCodeThread");
  if (!target || !exitCode) {
    if (target) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *exitCode = target->ended ? target->exitCode : STILL_ACTIVE;
  return TRUE;
}

HANDLE GetCurrentProcess() { return sim::currentProcessPseudoHandle(); }
HANDLE GetCurrentThread() { return sim::currentThreadPseudoHandle(); }

DWORD GetCurrentProcessId() {
  auto* process = sim::CurrentProcess();
  return process ? process->id : 0;
}

DWORD GetCurrentThreadId() {
  auto* thread = sim::Scheduler::current();
  return thread ? thread->id() : 0;
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, DWORD, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD creationFlags, LPDWORD threadId) {
  auto* process = sim::CurrentProcess();
  if (!process || !start) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (creationFlags & CREATE_SUSPENDED) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto thread = table().startThread(*process, [start, parameter] { return start(parameter); });
  if (threadId) *threadId = thread->thread->id();
  return handles().add(thread, process);
}

LPWSTR GetCommandLineW() {
  // The driver and bare scheduler threads have no process: they get an empty line.
  struct NoCommandLine {
    explicit NoCommandLine(sim::Device&) {}
    WCHAR text[1] = {0};
  };
  auto* process = sim::CurrentProcess();
  return process ? process->commandLine.data() : sim::Device::current().service<NoCommandLine>().text;
}
