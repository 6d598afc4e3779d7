// A simulated thread's own stack and registers, run on the driver's host thread.
//
// The driver resumes a fiber; the fiber runs until it suspends itself or its body
// returns, and then the driver's resume() returns. Fibers never resume each other:
// every switch goes between the driver and one fiber, so the host thread's stack is
// always the one the driver comes back to.
//
// What belongs to a running thread on the host and is not in its registers moves
// with the fiber at each switch:
//  - the C++ runtime's exception state (how many exceptions are being thrown, which
//    are being handled): a fiber that unwinds, or waits inside a handler, must not
//    make another fiber look as if it were unwinding;
//  - AddressSanitizer's idea of the current stack and its fake stack (where it keeps
//    frames to find uses after return), told through the sanitizer's fiber
//    annotations. Without them it checks the wrong stack bounds when an exception is
//    thrown and reports false errors or misses real ones;
//  - what the leak checker scans: it sees the running stack, and every parked
//    one (each suspended fiber's, the driver's while a fiber runs) from its saved
//    stack pointer up, so a leak check made while threads wait neither calls what
//    they hold lost nor lets their dead frames hide a real leak.
//
// A fiber's stack has a guard page below it: an overflow stops the host process at
// once instead of writing over other memory.
#pragma once

#include <cstddef>
#include <functional>

namespace sim {

class Fiber {
 public:
  // Some forty times what the deepest thread of the tests and scenarios uses (about
  // 25 KiB, nested modal loops and sent messages with the sanitizers' larger
  // frames); pages never touched cost nothing.
  static constexpr std::size_t kStackBytes = 1024 * 1024;

  // Allocates the stack; `body` runs at the first resume(). It must not throw.
  explicit Fiber(std::function<void()> body);
  // Frees the stack. A fiber that started must have finished.
  ~Fiber();
  Fiber(const Fiber&) = delete;
  Fiber& operator=(const Fiber&) = delete;

  // On the driver: runs the fiber until it suspends or its body returns.
  void resume();
  // On the fiber: gives the host thread back to the driver until the next resume().
  void suspend();

  bool started() const { return started_; }
  bool finished() const { return finished_; }

 private:
  // The runtime's per-thread exception record, as the Itanium C++ ABI lays it out.
  struct ExceptionState {
    void* caughtExceptions = nullptr;
    unsigned int uncaughtExceptions = 0;
  };

  static void entry(void* from, void* self) noexcept;
  void swapExceptionState() noexcept;
  void exitToDriver() noexcept;
  const void* stackTop() const;
  const void* driverStackTop() const;

  std::function<void()> body_;
  void* stackBottom_ = nullptr;  // the guard page's start
  std::size_t stackBytes_ = 0;   // with the guard page
  void* context_ = nullptr;      // where the fiber goes on when resumed
  void* driver_ = nullptr;       // where the driver goes on when the fiber suspends
  ExceptionState exceptions_;    // the fiber's while the driver runs, the driver's while the fiber runs
  // AddressSanitizer's bookkeeping (unused in builds without it).
  void* fakeStack_ = nullptr;
  void* driverFakeStack_ = nullptr;
  const void* driverStackBottom_ = nullptr;
  std::size_t driverStackBytes_ = 0;
  bool started_ = false;
  bool finished_ = false;
};

}  // namespace sim
