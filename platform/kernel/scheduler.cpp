#include "kernel/scheduler.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "kernel/clock.h"
#include "kernel/device.h"
#include "kernel/fiber.h"

namespace sim {

namespace {

[[noreturn]] void Misuse(const char* operation, const char* problem) {
  std::fprintf(stderr, "handheld: %s: %s\n", operation, problem);
  std::abort();
}

// Tells host threads apart by the address of a variable each has its own copy of:
// every platform call checks it, and reading it costs no call into the C library.
const void* HostThreadMark() {
  thread_local const char mark = 0;
  return &mark;
}

}  // namespace

SimThread::SimThread() = default;
SimThread::~SimThread() = default;

Scheduler::Scheduler(Clock& clock) : clock_(clock), hostThread_(HostThreadMark()) {}

Scheduler::~Scheduler() { terminateAll(); }

SimThread* Scheduler::current() {
  Device* device = Device::active();
  return device ? device->scheduler().running_ : nullptr;
}

void Scheduler::requireHostThread(const char* operation) const {
  if (HostThreadMark() != hostThread_)
    Misuse(operation, "called from a host thread other than the one that booted the device; "
                      "a device belongs to one host thread");
}

void Scheduler::requireDriver(const char* operation) const {
  requireHostThread(operation);
  if (running_) Misuse(operation, "called by a simulated thread; only the driver runs the device");
}

SimThread& Scheduler::runningThread(const char* operation) const {
  requireHostThread(operation);
  if (!running_) Misuse(operation, "called by the driver; only a simulated thread gives up the CPU");
  return *running_;
}

SimThread& Scheduler::spawn(Process* process, std::function<void()> body,
                            std::function<void(SimThread&)> onFinish) {
  requireHostThread("spawn");
  auto owned = std::make_unique<SimThread>();
  SimThread& thread = *owned;
  thread.id_ = nextThreadId_;
  nextThreadId_ += 4;
  thread.process_ = process;
  thread.body_ = std::move(body);
  thread.onFinish_ = std::move(onFinish);
  thread.killRequested_ = terminating_;
  threads_.push_back(std::move(owned));
  unfinished_.push_back(&thread);
  ready_.push_back(&thread);
  return thread;
}

// The bottom of every fiber's stack. Nothing but ThreadUnwind is expected here; a
// program's own exception is kept for the driver, since no frame of the device
// above it could handle it.
void Scheduler::threadMain(SimThread& self) {
  if (!self.killRequested_) {
    try {
      self.body_();
    } catch (const ThreadUnwind& unwind) {
      self.exitCode_ = unwind.exitCode;
    } catch (...) {
      if (!escaped_) escaped_ = std::current_exception();
    }
  }
  if (self.onFinish_) {
    try {
      self.onFinish_(self);
    } catch (const ThreadUnwind&) {
    } catch (...) {
      if (!escaped_) escaped_ = std::current_exception();
    }
  }
  self.state_ = ThreadState::Finished;
  unfinished_.erase(std::find(unfinished_.begin(), unfinished_.end(), &self));
  self.body_ = nullptr;
  self.onFinish_ = nullptr;
}

// Gives `thread` the CPU until it blocks, yields or ends.
void Scheduler::runTurn(SimThread& thread) {
  if (handOver_) handOver_(thread.dataOwner());
  if (!thread.fiber_) thread.fiber_ = std::make_unique<Fiber>([this, &thread] { threadMain(thread); });
  thread.state_ = ThreadState::Running;
  running_ = &thread;
  thread.fiber_->resume();
  running_ = nullptr;
  if (thread.fiber_->finished()) thread.fiber_.reset();
}

void Scheduler::runReady() {
  while (!ready_.empty() && !escaped_) {
    SimThread& next = *ready_.front();
    ready_.pop_front();
    runTurn(next);
  }
}

void Scheduler::rethrowEscaped() {
  if (escaped_) std::rethrow_exception(std::exchange(escaped_, nullptr));
}

void Scheduler::giveBackCpu(SimThread& self) { self.fiber_->suspend(); }

void Scheduler::unwindIfKilled(SimThread& self) {
  if (self.killRequested_ && std::uncaught_exceptions() == 0) throw ThreadUnwind{self.killExitCode_};
}

WakeReason Scheduler::block(std::optional<std::uint64_t> deadline) {
  SimThread& self = runningThread("block");
  if (self.killRequested_) {
    if (std::uncaught_exceptions() > 0) return WakeReason::Killed;
    throw ThreadUnwind{self.killExitCode_};
  }
  self.state_ = ThreadState::Blocked;
  self.deadline_ = deadline;
  self.blockSequence_ = nextBlockSequence_++;
  giveBackCpu(self);
  WakeReason reason = self.killRequested_ ? WakeReason::Killed : self.wakeReason_;
  if (reason == WakeReason::Killed) unwindIfKilled(self);
  return reason;
}

void Scheduler::yield() {
  SimThread& self = runningThread("yield");
  if (ready_.empty()) return;
  self.state_ = ThreadState::Ready;
  ready_.push_back(&self);
  giveBackCpu(self);
  unwindIfKilled(self);
}

void Scheduler::makeReady(SimThread& thread, WakeReason reason) {
  thread.state_ = ThreadState::Ready;
  thread.deadline_.reset();
  thread.wakeReason_ = reason;
  ready_.push_back(&thread);
}

void Scheduler::wake(SimThread& thread) {
  requireHostThread("wake");
  if (thread.state_ == ThreadState::Blocked) makeReady(thread, WakeReason::Signaled);
}

void Scheduler::runUntilIdle() {
  requireDriver("runUntilIdle");
  runReady();
  rethrowEscaped();
}

std::optional<std::uint64_t> Scheduler::nextDeadline() const {
  std::optional<std::uint64_t> next;
  for (const SimThread* thread : unfinished_)
    if (thread->state_ == ThreadState::Blocked && thread->deadline_ && (!next || *thread->deadline_ < *next))
      next = thread->deadline_;
  return next;
}

// Makes every thread whose deadline has come ready, earliest deadline first and,
// for equal deadlines, in the order they blocked.
bool Scheduler::wakeDue() {
  std::vector<SimThread*> due;
  for (SimThread* thread : unfinished_)
    if (thread->state_ == ThreadState::Blocked && thread->deadline_ && *thread->deadline_ <= clock_.now())
      due.push_back(thread);
  std::sort(due.begin(), due.end(), [](const SimThread* a, const SimThread* b) {
    if (*a->deadline_ != *b->deadline_) return *a->deadline_ < *b->deadline_;
    return a->blockSequence_ < b->blockSequence_;
  });
  for (SimThread* thread : due) makeReady(*thread, WakeReason::Timeout);
  return !due.empty();
}

void Scheduler::runUntil(std::uint64_t until) {
  requireDriver("runUntil");
  for (;;) {
    runUntilIdle();
    auto next = nextDeadline();
    if (!next || *next > until) break;
    clock_.advanceTo(*next);
    wakeDue();
  }
  clock_.advanceTo(until);
}

SettleResult Scheduler::settle(std::uint64_t windowMs, std::uint64_t limitMs) {
  requireDriver("settle");
  const std::uint64_t start = clock_.now();
  for (;;) {
    runUntilIdle();
    auto next = nextDeadline();
    if (!next || *next > clock_.now() + windowMs) return SettleResult::Settled;
    if (*next > start + limitMs) return SettleResult::StillBusy;
    clock_.advanceTo(*next);
    wakeDue();
  }
}

void Scheduler::kill(SimThread& thread, std::uint32_t exitCode) {
  requireHostThread("kill");
  if (thread.state_ == ThreadState::Finished || thread.killRequested_) return;
  thread.killRequested_ = true;
  thread.killExitCode_ = exitCode;
  thread.exitCode_ = exitCode;
  if (thread.state_ == ThreadState::Blocked) makeReady(thread, WakeReason::Killed);
}

void Scheduler::terminateAll() {
  requireDriver("terminateAll");
  terminating_ = true;
  for (;;) {
    bool anyLive = false;
    for (const auto& thread : threads_) {
      if (thread->state_ == ThreadState::Finished) continue;
      anyLive = true;
      thread->killRequested_ = true;
      if (thread->state_ == ThreadState::Blocked) makeReady(*thread, WakeReason::Killed);
    }
    if (!anyLive) break;
    runReady();
    // Nobody is left to hand the exception to: stop with it, as an exception that
    // leaves a host thread does.
    if (escaped_) [&]() noexcept { rethrowEscaped(); }();
  }
}

void Scheduler::setHandOverHook(std::function<void(Process*)> hook) {
  requireHostThread("setHandOverHook");
  handOver_ = std::move(hook);
}

Process* Scheduler::dataOwner() const { return running_ ? running_->dataOwner() : driverDataOwner_; }

void Scheduler::setDataOwner(Process* owner) {
  if (!running_) {
    driverDataOwner_ = owner;
    return;
  }
  running_->dataOwner_ = owner == running_->process_ ? nullptr : owner;
}

std::size_t Scheduler::liveThreadCount() const {
  return unfinished_.size();
}

std::size_t Scheduler::stackCount() const {
  return static_cast<std::size_t>(
      std::count_if(threads_.begin(), threads_.end(), [](const auto& t) { return t->fiber_ != nullptr; }));
}

}  // namespace sim
