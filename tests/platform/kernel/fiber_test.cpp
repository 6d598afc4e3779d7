// Simulated threads as fibers: each has a stack of its own and its own exceptions
// in flight, all on the one host thread that booted the device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "kernel/device.h"
#include "kernel/fiber.h"
#include "tests/support/test_device.h"

#if defined(__SANITIZE_ADDRESS__)
#define TEST_WITH_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TEST_WITH_ASAN 1
#endif
#endif

#ifdef TEST_WITH_ASAN
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr std::size_t kFrameBytes = 4096;

// Fills a frame's buffer, recurses, and checks on the way back that nothing else
// wrote over it; at the bottom, gives the CPU to the other threads.
bool RecurseAndCheck(sim::Scheduler& cpu, std::uint64_t wakeAt, int tag, int depth) {
  char buffer[kFrameBytes];
  std::memset(buffer, tag * 31 + depth, sizeof buffer);
  bool below = depth == 0 ? (cpu.block(wakeAt), true) : RecurseAndCheck(cpu, wakeAt, tag, depth - 1);
  for (char c : buffer)
    if (c != static_cast<char>(tag * 31 + depth)) return false;
  return below;
}

TEST(Fibers, ThreadsRecurseDeepOnStacksOfTheirOwn) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto& cpu = device.scheduler();
  const int depth = static_cast<int>(sim::Fiber::kStackBytes / 2 / kFrameBytes);
  std::vector<int> intact(3, -1);
  for (int tag = 0; tag < 3; ++tag)
    cpu.spawn(nullptr, [&, tag] { intact[tag] = RecurseAndCheck(cpu, 10 + tag, tag, depth); });
  cpu.runUntilIdle();
  EXPECT_EQ(cpu.stackCount(), 3u) << "each thread waits at the bottom of its own recursion";
  cpu.runUntil(100);
  EXPECT_EQ(intact, (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(cpu.stackCount(), 0u);
}

TEST(Fibers, AThousandThreadsStartAndEndAndGiveTheirStacksBack) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto& cpu = device.scheduler();
  constexpr int kThreads = 1000;
  int ended = 0;
  for (int i = 0; i < kThreads; ++i)
    cpu.spawn(nullptr, [&, i] {
      cpu.block(1 + i % 7);
      ++ended;
    });
  cpu.runUntilIdle();
  EXPECT_EQ(cpu.stackCount(), static_cast<std::size_t>(kThreads));
  cpu.runUntil(10);
  EXPECT_EQ(ended, kThreads);
  EXPECT_EQ(cpu.stackCount(), 0u);
  EXPECT_EQ(cpu.liveThreadCount(), 0u);

  // A chain: each thread starts the next and ends; never more than two stacks.
  std::size_t mostStacks = 0;
  std::function<void(int)> link = [&](int left) {
    mostStacks = std::max(mostStacks, cpu.stackCount());
    if (left > 0) cpu.spawn(nullptr, [&, left] { link(left - 1); });
    cpu.yield();
  };
  cpu.spawn(nullptr, [&] { link(kThreads); });
  cpu.runUntilIdle();
  EXPECT_LE(mostStacks, 2u);
  EXPECT_EQ(cpu.stackCount(), 0u);
  EXPECT_EQ(cpu.liveThreadCount(), 0u);
}

// H waits inside a handler, U waits inside a destructor while its exception
// unwinds and then inside its own handler, K looks on and is killed. None of them
// may see another's exceptions.
TEST(Fibers, EveryThreadHasItsOwnExceptionsInFlight) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto& cpu = device.scheduler();
  std::vector<std::string> trace;
  cpu.spawn(nullptr, [&] {
    try {
      throw std::logic_error("h");
    } catch (const std::logic_error&) {
      cpu.block(15);
      try {
        std::rethrow_exception(std::current_exception());
      } catch (const std::exception& e) {
        trace.push_back(std::string("h handles ") + e.what());
      }
    }
  });
  cpu.spawn(nullptr, [&] {
    struct WaitWhileUnwinding {
      sim::Scheduler& cpu;
      std::vector<std::string>& trace;
      ~WaitWhileUnwinding() {
        cpu.block(10);
        trace.push_back("u unwinding " + std::to_string(std::uncaught_exceptions()));
      }
    };
    try {
      WaitWhileUnwinding wait{cpu, trace};
      throw std::runtime_error("u");
    } catch (const std::runtime_error& e) {
      cpu.block(20);
      trace.push_back(std::string("u handles ") + e.what());
    }
    trace.push_back("u done " + std::to_string(std::uncaught_exceptions()));
  });
  sim::SimThread& k = cpu.spawn(nullptr, [&] {
    trace.push_back("k sees " + std::to_string(std::uncaught_exceptions()));
    struct Unwound {
      std::vector<std::string>& trace;
      ~Unwound() { trace.push_back("k unwound"); }
    } unwound{trace};
    cpu.block(std::nullopt);
    trace.push_back("k resumed after being killed");
  });
  cpu.runUntilIdle();
  cpu.kill(k, 3);
  cpu.runUntil(30);
  EXPECT_EQ(trace, (std::vector<std::string>{"k sees 0", "k unwound", "u unwinding 1", "h handles h",
                                             "u handles u", "u done 0"}));
  EXPECT_EQ(k.exitCode(), 3u);
}

TEST(Fibers, AProgramsOwnExceptionEndsTheThreadAndReachesTheDriver) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto& cpu = device.scheduler();
  std::vector<std::string> trace;
  sim::SimThread& thrower = cpu.spawn(
      nullptr, [] { throw std::runtime_error("out of the program"); },
      [&](sim::SimThread&) { trace.push_back("thrower finished"); });
  cpu.spawn(nullptr, [&] { trace.push_back("next ran"); });
  try {
    cpu.runUntilIdle();
    ADD_FAILURE() << "the exception was swallowed";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "out of the program");
  }
  EXPECT_EQ(thrower.state(), sim::ThreadState::Finished);
  EXPECT_EQ(trace, std::vector<std::string>{"thrower finished"}) << "the driver hears of it at once";
  cpu.runUntilIdle();
  EXPECT_EQ(trace, (std::vector<std::string>{"thrower finished", "next ran"}));
}

TEST(FibersDeathTest, ADeviceIsUsedFromTheHostThreadThatBootedItOnly) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  EXPECT_DEATH(std::thread([&] { device.scheduler().runUntilIdle(); }).join(),
               "runUntilIdle: called from a host thread other than the one that booted the device");
  EXPECT_DEATH(std::thread([] { sim::Device::current(); }).join(), "a device belongs to one host thread");
}

int Bottomless(int depth) {
  volatile char frame[kFrameBytes];
  frame[0] = static_cast<char>(depth);
  return depth > 1000000 ? frame[0] : Bottomless(depth + 1) + frame[0];
}

TEST(FibersDeathTest, AThreadThatOverflowsItsStackStopsAtTheGuardPage) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  EXPECT_DEATH(
      {
        device.scheduler().spawn(nullptr, [] { Bottomless(0); });
        device.scheduler().runUntilIdle();
      },
#ifdef TEST_WITH_ASAN
      "stack-overflow"
#else
      ""
#endif
  );
}

#ifdef TEST_WITH_ASAN
// What a parked stack holds is reachable only from it: a leak check made meanwhile
// (the fuzzer makes them between inputs), from the driver or from a running thread,
// must not call it lost.
TEST(Fibers, TheLeakCheckSeesWhatParkedStacksHold) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto& cpu = device.scheduler();
  auto heldByDriver = std::make_unique<std::string>(200, 'd');
  cpu.spawn(nullptr, [&] {
    auto heldByWaiter = std::make_unique<std::string>(200, 'w');
    cpu.block(std::nullopt);
  });
  int leaksSeenByThread = -1;
  cpu.spawn(nullptr, [&] { leaksSeenByThread = __lsan_do_recoverable_leak_check(); });
  cpu.runUntilIdle();
  EXPECT_EQ(leaksSeenByThread, 0);
  EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
}

constexpr std::uintptr_t kHidden = 0x5a5a5a5a5a5a5a5a;

// Loses a string, leaving pointers to it all over a frame deeper than a blocking
// call reaches; returns its address hidden from the leak checker.
__attribute__((noinline)) std::uintptr_t LoseBelowTheWaitingFrames() {
  volatile std::string* frame[2048];
  auto* lost = new std::string(200, 'x');
  for (auto& slot : frame) slot = lost;
  return reinterpret_cast<std::uintptr_t>(lost) ^ kHidden;
}

// The frames a waiting thread has returned from are dead: pointers left in them
// must not hide a leak.
TEST(FibersDeathTest, TheLeakCheckFindsALeakBelowAWaitingThreadsFrames) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto& cpu = device.scheduler();
  EXPECT_EXIT(
      {
        cpu.spawn(nullptr, [&] {
          (void)LoseBelowTheWaitingFrames();
          cpu.block(std::nullopt);
        });
        cpu.runUntilIdle();
        __lsan_do_leak_check();
        std::exit(0);
      },
      [](int status) { return WIFEXITED(status) && WEXITSTATUS(status) != 0; }, "detected memory leaks");
}

int ReadPast(int index) {
  char frame[16];
  std::memset(frame, 1, sizeof frame);
  const char* bytes = frame;  // past the bounds checks of the array's type
  return bytes[index];
}

TEST(FibersDeathTest, TheSanitizerChecksAThreadsOwnStack) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  volatile int past = 16;
  EXPECT_DEATH(
      {
        device.scheduler().spawn(nullptr, [&] { ReadPast(past); });
        device.scheduler().runUntilIdle();
      },
      "stack-buffer-overflow");
}
#endif

}  // namespace
