#include "kernel/scheduler.h"

#include <algorithm>
#include <exception>

#include "kernel/clock.h"

namespace sim {

namespace {
thread_local SimThread* tlsCurrent = nullptr;
}

Scheduler::Scheduler(Clock& clock) : clock_(clock) {}

Scheduler::~Scheduler() {
  terminateAll();
  for (auto& thread : threads_)
    if (thread->host_.joinable()) thread->host_.join();
}

SimThread* Scheduler::current() { return tlsCurrent; }

SimThread& Scheduler::spawn(Process* process, std::function<void()> body,
                            std::function<void(SimThread&)> onFinish) {
  std::unique_lock lock(mutex_);
  reapFinishedLocked();
  auto owned = std::make_unique<SimThread>();
  SimThread& thread = *owned;
  thread.id_ = nextThreadId_;
  nextThreadId_ += 4;
  thread.process_ = process;
  thread.body_ = std::move(body);
  thread.onFinish_ = std::move(onFinish);
  thread.killRequested_ = terminating_;
  threads_.push_back(std::move(owned));
  ready_.push_back(&thread);
  thread.host_ = std::thread([this, &thread] { threadMain(thread); });
  return thread;
}

void Scheduler::threadMain(SimThread& self) {
  {
    std::unique_lock lock(mutex_);
    waitForTurnLocked(lock, self);
  }
  tlsCurrent = &self;
  if (!self.killRequested_) {
    try {
      self.body_();
    } catch (const ThreadUnwind& unwind) {
      self.exitCode_ = unwind.exitCode;
    }
  }
  if (self.onFinish_) {
    try {
      self.onFinish_(self);
    } catch (const ThreadUnwind&) {
    }
  }
  tlsCurrent = nullptr;
  std::unique_lock lock(mutex_);
  self.state_ = ThreadState::Finished;
  self.body_ = nullptr;
  self.onFinish_ = nullptr;
  self.locals_.clear();
  dispatchNextLocked();
}

void Scheduler::waitForTurnLocked(std::unique_lock<std::mutex>& lock, SimThread& self) {
  self.turn_.wait(lock, [&] { return running_ == &self; });
  self.state_ = ThreadState::Running;
}

void Scheduler::dispatchNextLocked() {
  if (ready_.empty()) {
    running_ = nullptr;
    driverTurn_.notify_one();
    return;
  }
  running_ = ready_.front();
  ready_.pop_front();
  if (handOver_) handOver_(running_->dataOwner());
  running_->turn_.notify_one();
}

WakeReason Scheduler::block(std::optional<std::uint64_t> deadline) {
  SimThread& self = *tlsCurrent;
  std::unique_lock lock(mutex_);
  if (self.killRequested_) {
    if (std::uncaught_exceptions() > 0) return WakeReason::Killed;
    lock.unlock();
    throw ThreadUnwind{self.killExitCode_};
  }
  self.state_ = ThreadState::Blocked;
  self.deadline_ = deadline;
  self.blockSequence_ = nextBlockSequence_++;
  dispatchNextLocked();
  waitForTurnLocked(lock, self);
  WakeReason reason = self.killRequested_ ? WakeReason::Killed : self.wakeReason_;
  if (reason == WakeReason::Killed && std::uncaught_exceptions() == 0) {
    lock.unlock();
    throw ThreadUnwind{self.killExitCode_};
  }
  return reason;
}

void Scheduler::yield() {
  SimThread& self = *tlsCurrent;
  std::unique_lock lock(mutex_);
  if (ready_.empty()) return;
  self.state_ = ThreadState::Ready;
  ready_.push_back(&self);
  dispatchNextLocked();
  waitForTurnLocked(lock, self);
  if (self.killRequested_ && std::uncaught_exceptions() == 0) {
    lock.unlock();
    throw ThreadUnwind{self.killExitCode_};
  }
}

void Scheduler::wake(SimThread& thread) {
  std::unique_lock lock(mutex_);
  if (thread.state_ != ThreadState::Blocked) return;
  thread.state_ = ThreadState::Ready;
  thread.deadline_.reset();
  thread.wakeReason_ = WakeReason::Signaled;
  ready_.push_back(&thread);
}

void Scheduler::runUntilIdleLocked(std::unique_lock<std::mutex>& lock) {
  if (ready_.empty()) return;
  dispatchNextLocked();
  driverTurn_.wait(lock, [&] { return running_ == nullptr; });
}

void Scheduler::runUntilIdle() {
  std::unique_lock lock(mutex_);
  runUntilIdleLocked(lock);
}

std::optional<std::uint64_t> Scheduler::nextDeadlineLocked() const {
  std::optional<std::uint64_t> next;
  for (const auto& thread : threads_)
    if (thread->state_ == ThreadState::Blocked && thread->deadline_ && (!next || *thread->deadline_ < *next))
      next = thread->deadline_;
  return next;
}

std::optional<std::uint64_t> Scheduler::nextDeadline() const {
  std::unique_lock lock(mutex_);
  return nextDeadlineLocked();
}

// Makes every thread whose deadline has come ready, earliest deadline first and,
// for equal deadlines, in the order they blocked.
bool Scheduler::wakeDueLocked() {
  std::vector<SimThread*> due;
  for (const auto& thread : threads_)
    if (thread->state_ == ThreadState::Blocked && thread->deadline_ && *thread->deadline_ <= clock_.now())
      due.push_back(thread.get());
  std::sort(due.begin(), due.end(), [](const SimThread* a, const SimThread* b) {
    if (*a->deadline_ != *b->deadline_) return *a->deadline_ < *b->deadline_;
    return a->blockSequence_ < b->blockSequence_;
  });
  for (SimThread* thread : due) {
    thread->state_ = ThreadState::Ready;
    thread->deadline_.reset();
    thread->wakeReason_ = WakeReason::Timeout;
    ready_.push_back(thread);
  }
  return !due.empty();
}

void Scheduler::runUntil(std::uint64_t until) {
  std::unique_lock lock(mutex_);
  for (;;) {
    runUntilIdleLocked(lock);
    auto next = nextDeadlineLocked();
    if (!next || *next > until) break;
    clock_.advanceTo(*next);
    wakeDueLocked();
  }
  clock_.advanceTo(until);
}

SettleResult Scheduler::settle(std::uint64_t windowMs, std::uint64_t limitMs) {
  std::unique_lock lock(mutex_);
  const std::uint64_t start = clock_.now();
  for (;;) {
    runUntilIdleLocked(lock);
    auto next = nextDeadlineLocked();
    if (!next || *next > clock_.now() + windowMs) return SettleResult::Settled;
    if (*next > start + limitMs) return SettleResult::StillBusy;
    clock_.advanceTo(*next);
    wakeDueLocked();
  }
}

void Scheduler::kill(SimThread& thread, std::uint32_t exitCode) {
  std::unique_lock lock(mutex_);
  if (thread.state_ == ThreadState::Finished || thread.killRequested_) return;
  thread.killRequested_ = true;
  thread.killExitCode_ = exitCode;
  thread.exitCode_ = exitCode;
  if (thread.state_ == ThreadState::Blocked) {
    thread.state_ = ThreadState::Ready;
    thread.deadline_.reset();
    thread.wakeReason_ = WakeReason::Killed;
    ready_.push_back(&thread);
  }
}

void Scheduler::terminateAll() {
  std::unique_lock lock(mutex_);
  terminating_ = true;
  for (;;) {
    bool anyLive = false;
    for (const auto& thread : threads_) {
      if (thread->state_ == ThreadState::Finished) continue;
      anyLive = true;
      thread->killRequested_ = true;
      if (thread->state_ == ThreadState::Blocked) {
        thread->state_ = ThreadState::Ready;
        thread->deadline_.reset();
        thread->wakeReason_ = WakeReason::Killed;
        ready_.push_back(thread.get());
      }
    }
    if (!anyLive) break;
    runUntilIdleLocked(lock);
  }
  reapFinishedLocked();
}

void Scheduler::setHandOverHook(std::function<void(Process*)> hook) {
  std::unique_lock lock(mutex_);
  handOver_ = std::move(hook);
}

Process* Scheduler::dataOwner() const {
  SimThread* self = tlsCurrent;
  return self ? self->dataOwner() : driverDataOwner_;
}

void Scheduler::setDataOwner(Process* owner) {
  SimThread* self = tlsCurrent;
  if (!self) {
    driverDataOwner_ = owner;
    return;
  }
  self->dataOwner_ = owner == self->process_ ? nullptr : owner;
}

std::size_t Scheduler::liveThreadCount() const {
  std::unique_lock lock(mutex_);
  return static_cast<std::size_t>(std::count_if(threads_.begin(), threads_.end(), [](const auto& t) {
    return t->state_ != ThreadState::Finished;
  }));
}

// Joins the host threads of finished simulated threads; their records stay so that
// pointers other parts still hold remain valid until the scheduler goes.
void Scheduler::reapFinishedLocked() {
  for (auto& thread : threads_)
    if (thread->state_ == ThreadState::Finished && thread->host_.joinable() && thread.get() != tlsCurrent) {
      // A finished thread may still be between its last dispatch and returning
      // from its host function; joining under the lock is safe because it no
      // longer takes the lock after marking itself finished.
      thread->host_.join();
    }
}

}  // namespace sim
