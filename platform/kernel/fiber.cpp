#include "kernel/fiber.h"

#include "kernel/address_sanitizer.h"

#include <boost/context/detail/fcontext.hpp>
#include <boost/context/protected_fixedsize_stack.hpp>
#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#ifdef HANDHELD_ASAN
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#include <sanitizer/lsan_interface.h>
#define HANDHELD_NO_ASAN __attribute__((no_sanitize("address")))
#else
#define HANDHELD_NO_ASAN
#endif

namespace sim {

namespace {

namespace ctx = boost::context;

// The sanitizer's fiber annotations: before a switch, the stack being switched to;
// after it, on the new stack, the fake stack that stack had kept.
inline void StartSwitch(void** fakeStackSave, const void* bottom, std::size_t bytes) {
#ifdef HANDHELD_ASAN
  __sanitizer_start_switch_fiber(fakeStackSave, bottom, bytes);
#else
  (void)fakeStackSave, (void)bottom, (void)bytes;
#endif
}

inline void FinishSwitch(void* fakeStack, const void** previousBottom, std::size_t* previousBytes) {
#ifdef HANDHELD_ASAN
  __sanitizer_finish_switch_fiber(fakeStack, previousBottom, previousBytes);
#else
  (void)fakeStack, (void)previousBottom, (void)previousBytes;
#endif
}

// The leak checker scans the host thread's current stack only. Every parked stack,
// a suspended fiber's or the driver's while a fiber runs, is shown to it from the
// stack pointer the switch left (its saved registers lie there) to its top: what
// only a waiting thread holds is not lost. The dead frames below that pointer are
// left out, so stale pointers in them do not hide a real leak.
inline void ShowParkedStack(const void* stackPointer, const void* top) {
#ifdef HANDHELD_ASAN
  __lsan_register_root_region(stackPointer, static_cast<std::size_t>(static_cast<const char*>(top) -
                                                                     static_cast<const char*>(stackPointer)));
#else
  (void)stackPointer, (void)top;
#endif
}

inline void HideParkedStack(const void* stackPointer, const void* top) {
#ifdef HANDHELD_ASAN
  __lsan_unregister_root_region(stackPointer, static_cast<std::size_t>(static_cast<const char*>(top) -
                                                                       static_cast<const char*>(stackPointer)));
#else
  (void)stackPointer, (void)top;
#endif
}

ctx::protected_fixedsize_stack StackAllocator() { return ctx::protected_fixedsize_stack(Fiber::kStackBytes); }

[[noreturn]] void Fatal(const char* message) {
  std::fprintf(stderr, "handheld: %s\n", message);
  std::abort();
}

}  // namespace

Fiber::Fiber(std::function<void()> body) : body_(std::move(body)) {
  ctx::stack_context stack = StackAllocator().allocate();
  stackBytes_ = stack.size;
  stackBottom_ = static_cast<char*>(stack.sp) - stack.size;
}

Fiber::~Fiber() {
  // A suspended fiber still has frames whose destructors never ran: freeing its
  // stack would lose whatever they hold.
  if (started_ && !finished_) Fatal("a simulated thread's stack was freed while the thread was suspended in it");
#ifdef HANDHELD_ASAN
  // Frames left by the final switch keep their redzones poisoned; the next mapping
  // at these addresses must not inherit them.
  ASAN_UNPOISON_MEMORY_REGION(stackBottom_, stackBytes_);
#endif
  ctx::stack_context stack;
  stack.size = stackBytes_;
  stack.sp = static_cast<char*>(stackBottom_) + stackBytes_;
  StackAllocator().deallocate(stack);
}

void Fiber::swapExceptionState() noexcept {
  auto* host = reinterpret_cast<ExceptionState*>(abi::__cxa_get_globals());
  std::swap(*host, exceptions_);
}

const void* Fiber::stackTop() const { return static_cast<char*>(stackBottom_) + stackBytes_; }

const void* Fiber::driverStackTop() const {
  return static_cast<const char*>(driverStackBottom_) + driverStackBytes_;
}

void Fiber::resume() {
  if (finished_) Fatal("a finished simulated thread was resumed");
  if (!started_) {
    started_ = true;
    context_ = ctx::detail::make_fcontext(const_cast<void*>(stackTop()), stackBytes_,
                                          [](ctx::detail::transfer_t from) { Fiber::entry(from.fctx, from.data); });
  } else {
    HideParkedStack(context_, stackTop());
  }
  swapExceptionState();
  StartSwitch(&driverFakeStack_, stackBottom_, stackBytes_);
  ctx::detail::transfer_t back = ctx::detail::jump_fcontext(context_, this);
  FinishSwitch(driverFakeStack_, nullptr, nullptr);
  swapExceptionState();
  context_ = back.fctx;
  if (!finished_) ShowParkedStack(context_, stackTop());
}

void Fiber::suspend() {
  HideParkedStack(driver_, driverStackTop());
  StartSwitch(&fakeStack_, driverStackBottom_, driverStackBytes_);
  ctx::detail::transfer_t back = ctx::detail::jump_fcontext(driver_, nullptr);
  driver_ = back.fctx;
  FinishSwitch(fakeStack_, &driverStackBottom_, &driverStackBytes_);
  ShowParkedStack(driver_, driverStackTop());
}

// The fiber's first frame. It keeps no frame of its own on the sanitizer's fake
// stack, which is destroyed before the last switch away from here.
HANDHELD_NO_ASAN void Fiber::entry(void* driver, void* fiber) noexcept {
  Fiber& self = *static_cast<Fiber*>(fiber);
  self.driver_ = driver;
  FinishSwitch(nullptr, &self.driverStackBottom_, &self.driverStackBytes_);
  ShowParkedStack(driver, self.driverStackTop());
  self.body_();
  self.body_ = nullptr;
  self.finished_ = true;
  self.exitToDriver();
}

HANDHELD_NO_ASAN void Fiber::exitToDriver() noexcept {
  HideParkedStack(driver_, driverStackTop());
  StartSwitch(nullptr, driverStackBottom_, driverStackBytes_);
  ctx::detail::jump_fcontext(driver_, nullptr);
  Fatal("a finished simulated thread was resumed");
}

}  // namespace sim
