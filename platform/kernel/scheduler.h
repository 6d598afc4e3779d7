// The device's single CPU.
//
// Every simulated thread is a fiber (kernel/fiber.h) with a stack of its own, and
// all of them run on one host thread: the driver's, the host thread that booted
// the device (a test or the scenario runner). The driver hands the CPU to the
// oldest ready thread, which runs until it blocks, yields or ends inside a platform
// call and hands the CPU back; the driver then takes the next ready one, so a
// scenario runs the same way every time. When no simulated thread is ready the
// driver's own call returns. Only the driver moves the clock, and only to the
// earliest deadline of a blocked thread.
//
// The device belongs to that one host thread: a scheduler call from another host
// thread is a programming error and stops the host process with a message.
//
// Each thread works with the data of one process (its own, or for a while another's:
// see kernel/process_data.h). Where the CPU is handed over, a hand-over hook is told
// whose data the incoming thread works with, so the bytes can be put in place
// before it runs.
#pragma once

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace sim {

class Clock;
class Fiber;
struct Process;

enum class ThreadState { Ready, Running, Blocked, Finished };
enum class WakeReason { Signaled, Timeout, Killed };

// Thrown through a simulated thread's stack to end it: by ExitThread/ExitProcess,
// and by the device when it shuts down. Platform and suite code never catch it.
struct ThreadUnwind {
  std::uint32_t exitCode;
};

class SimThread {
 public:
  SimThread();
  ~SimThread();

  std::uint32_t id() const { return id_; }
  Process* process() const { return process_; }
  ThreadState state() const { return state_; }
  std::uint32_t exitCode() const { return exitCode_; }

  // The thread's last error (SetLastError, GetLastError).
  std::uint32_t lastError = 0;

  // The process whose data the thread works with: its own, unless it runs a
  // procedure another process installed (DataContext).
  Process* dataOwner() const { return dataOwner_ ? dataOwner_ : process_; }

 private:
  friend class Scheduler;
  std::uint32_t id_ = 0;
  Process* process_ = nullptr;
  Process* dataOwner_ = nullptr;  // null: the thread's own process
  ThreadState state_ = ThreadState::Ready;
  std::optional<std::uint64_t> deadline_;
  std::uint64_t blockSequence_ = 0;
  WakeReason wakeReason_ = WakeReason::Signaled;
  bool killRequested_ = false;
  std::uint32_t killExitCode_ = 0;
  std::uint32_t exitCode_ = 0;
  std::function<void()> body_;
  std::function<void(SimThread&)> onFinish_;
  std::unique_ptr<Fiber> fiber_;  // from its first turn until it has finished
};

enum class SettleResult { Settled, StillBusy };

class Scheduler {
 public:
  explicit Scheduler(Clock& clock);
  ~Scheduler();
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  // Creates a ready thread that runs `body` when it gets the CPU; `onFinish` runs
  // on that thread, holding the CPU, after the body has returned or unwound. An
  // exception other than ThreadUnwind that leaves `body` or `onFinish` ends the
  // thread as an unwind would, and the driver's call that ran it rethrows it.
  SimThread& spawn(Process* process, std::function<void()> body,
                   std::function<void(SimThread&)> onFinish = {});

  // The simulated thread holding the CPU, or null on the driver.
  static SimThread* current();

  // --- called by the running simulated thread ---
  // Gives up the CPU until wake() or, with a deadline, until device time reaches
  // it. During shutdown returns Killed and the caller's stack is unwound (unless
  // it is unwinding already, then the call returns at once).
  WakeReason block(std::optional<std::uint64_t> deadline);
  // Lets every other ready thread run first.
  void yield();
  // Makes a blocked thread ready (the caller keeps the CPU). No effect otherwise.
  void wake(SimThread& thread);

  // --- called by the driver ---
  // Runs ready threads until none is ready; the clock does not move.
  void runUntilIdle();
  // Runs, moving the clock through every deadline up to `until`, and leaves the
  // clock at `until`.
  void runUntil(std::uint64_t until);
  // Runs until no thread is ready and no deadline falls within `windowMs` of the
  // clock; gives up (StillBusy) once the clock would pass `start + limitMs`.
  SettleResult settle(std::uint64_t windowMs, std::uint64_t limitMs);
  // Ends every thread: blocked ones are woken with Killed and unwind. A program's
  // exception that leaves a thread meanwhile stops the host process with it.
  void terminateAll();
  // Ends one thread (callable by a running thread or the driver): a blocked thread
  // is made ready and unwinds with `exitCode` at its blocking call; a ready one
  // unwinds when it next returns from one; one not yet started never runs its body.
  // The caller itself is not unwound by this: it throws ThreadUnwind on its own.
  void kill(SimThread& thread, std::uint32_t exitCode);

  // Called with the data owner of each thread that is handed the CPU, before the
  // thread runs; an empty hook removes it.
  void setHandOverHook(std::function<void(Process*)> hook);
  // The process whose data the caller works with (the driver's is its own choice,
  // none at first), and changing it; only the holder of the CPU calls these.
  Process* dataOwner() const;
  void setDataOwner(Process* owner);

  // Stops the host process with a message naming `operation` when the caller is
  // not on the host thread that booted the device.
  void requireHostThread(const char* operation) const;

  std::optional<std::uint64_t> nextDeadline() const;
  std::size_t liveThreadCount() const;
  // Threads that have a stack now: those that started and have not finished.
  std::size_t stackCount() const;
  bool terminating() const { return terminating_; }

 private:
  void threadMain(SimThread& thread);
  void runReady();
  void runTurn(SimThread& thread);
  void rethrowEscaped();
  void giveBackCpu(SimThread& self);
  void unwindIfKilled(SimThread& self);
  SimThread& runningThread(const char* operation) const;
  void requireDriver(const char* operation) const;
  void makeReady(SimThread& thread, WakeReason reason);
  bool wakeDue();

  Clock& clock_;
  const void* hostThread_;  // HostThreadMark() of the host thread that booted the device
  SimThread* running_ = nullptr;
  std::deque<SimThread*> ready_;
  std::vector<std::unique_ptr<SimThread>> threads_;
  // Those not finished, in the order they started: a device that started
  // thousands of programs looks for the next deadline among the few still running.
  std::vector<SimThread*> unfinished_;
  std::uint32_t nextThreadId_ = 0x100;
  std::uint64_t nextBlockSequence_ = 0;
  bool terminating_ = false;
  std::exception_ptr escaped_;  // the first program exception that left a thread
  std::function<void(Process*)> handOver_;
  Process* driverDataOwner_ = nullptr;
};

}  // namespace sim
