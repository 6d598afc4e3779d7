// Processes and threads of the device.
//
// A process runs a program image on one or more simulated threads. It ends when its
// entry returns, when it calls ExitProcess or is terminated, or when its last thread
// ends. Its start resolves the program's imports (kernel/loader.h) and gives the
// process its own copy of the program's data. Its end runs on that last thread,
// holding the CPU: thread and process exit observers (other parts destroy its
// windows, drop its clipboard ownership, ...), then the detach of its libraries,
// then its program's clean-up hook; then its local heap is freed, its handles are
// closed and its handle becomes signaled. Ended processes stay in the table so that
// the driver can ask how they ended.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kernel/handles.h"
#include "kernel/image.h"
#include "kernel/loader.h"

namespace sim {

class Device;
class SimThread;
struct Process;

// A thread of a process; its handle is signaled when the thread has ended.
class ThreadObject : public Waitable {
 public:
  explicit ThreadObject(Process& process) : process_(&process) {}
  bool signaled() const override { return ended; }

  Process& process() const { return *process_; }
  SimThread* thread = nullptr;
  bool ended = false;
  DWORD exitCode = STILL_ACTIVE;
  std::optional<DWORD> returned;  // the body's result when it returned normally

 private:
  Process* process_;
};

struct LoadedModule {
  std::shared_ptr<const ProgramImage> image;
  HMODULE handle;
  int references;
};

// What a process still held when it ended, which the device then freed for it: a
// program that frees everything it made leaves nothing here.
struct ProcessRemains {
  std::size_t localBlocks = 0;  // blocks of its local heap
  std::size_t handles = 0;      // open kernel handles (files, searches, processes, ...)
  std::size_t windows = 0;      // windows still there when the thread that made them ended
};

struct Process : Waitable {
  bool signaled() const override { return ended; }

  DWORD id = 0;
  std::u16string imagePath;  // the device path the image is installed under
  std::shared_ptr<const ProgramImage> image;
  std::u16string commandLine;  // as the entry received it; GetCommandLineW points here
  std::vector<std::shared_ptr<ThreadObject>> threads;
  bool ended = false;
  DWORD exitCode = STILL_ACTIVE;
  std::vector<LoadedModule> modules;  // libraries in load order

  // Set once the end of the process has been decided (ExitProcess, the entry
  // returning, TerminateProcess): the code wins over the last thread's own.
  bool exiting = false;
  // Set once the program's start-up hook is about to run; its clean-up hook runs at
  // the end only then.
  bool programConstructed = false;
  // Filled when the process ends.
  ProcessRemains remains;

  std::size_t liveThreads() const;
  std::string programName() const;  // image path as UTF-8, for fault reports
};

// One CreateProcessW or StartProgram call, whether it worked or not.
struct StartRecord {
  std::u16string application;  // as requested (or the first token of the command line)
  std::u16string commandLine;  // what the entry was given
  DWORD error = 0;             // 0 when the process started
  DWORD processId = 0;
};

class ProcessTable {
 public:
  explicit ProcessTable(Device& device) : device_(device) {}
  ~ProcessTable();

  struct Started {
    std::shared_ptr<Process> process;  // null on failure
    std::shared_ptr<ThreadObject> mainThread;
    DWORD error = 0;
  };
  // Starts a process as CreateProcessW does: `application` may be null, then the
  // program is the first token of `commandLine`. The start is logged.
  Started start(const char16_t* application, const char16_t* commandLine);
  // Starts a thread of `process` running `body`; its result is the thread's exit code.
  std::shared_ptr<ThreadObject> startThread(Process& process, std::function<DWORD()> body);

  // Ends the process: the calling thread (if it belongs to it) and every other one.
  // Returns normally when the caller is not one of its threads.
  void terminate(Process& process, DWORD exitCode);

  const std::vector<std::shared_ptr<Process>>& processes() const { return processes_; }
  std::vector<Process*> running(std::u16string_view imagePath) const;
  const std::vector<StartRecord>& startLog() const { return startLog_; }

  // Observers run, in the order added, on the ending thread while it holds the CPU.
  // They must not block: the thread may be ending because it was killed, and then
  // any blocking call unwinds at once.
  void addExitObserver(std::function<void(Process&)> observer);
  void addThreadExitObserver(std::function<void(SimThread&)> observer);

 private:
  void threadEnded(ThreadObject& thread, SimThread& sim);
  void endProcess(Process& process);
  DWORD runMain(Process& process, const std::vector<ResolvedImport>& imports);

  Device& device_;
  std::vector<std::shared_ptr<Process>> processes_;
  std::vector<StartRecord> startLog_;
  std::vector<std::function<void(Process&)>> exitObservers_;
  std::vector<std::function<void(SimThread&)>> threadExitObservers_;
  DWORD nextProcessId_ = 0x1000;
};

// The process of the calling simulated thread; null on the driver and on threads
// spawned straight on the scheduler.
Process* CurrentProcess();

// --- driver-side helpers (also callable from simulated threads) ---

// Starts a program as the shell does (logged); null when it cannot start.
Process* StartProgram(Device& device, std::u16string path, std::u16string cmdLine);
// For tests: installs a one-off program image at `imagePath` whose entry runs `body`,
// and starts it with an empty command line.
Process& StartFunction(Device& device, std::u16string imagePath, std::function<int()> body);

}  // namespace sim
