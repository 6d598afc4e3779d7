#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/device.h"
#include "tests/support/test_device.h"

namespace {

TEST(Scheduler, ThreadsTakeTurnsOnlyAtBlockingCallsInTheSameOrderEveryTime) {
  auto runOnce = [] {
    test_support::TestDevice booted;
    sim::Device& device = *booted;
    auto& cpu = device.scheduler();
    std::vector<std::string> trace;
    for (std::string name : {"a", "b"}) {
      cpu.spawn(nullptr, [&, name] {
        for (int step = 0; step < 3; ++step) {
          trace.push_back(name + std::to_string(step) + "+");
          trace.push_back(name + std::to_string(step) + "-");  // no switch between + and -
          cpu.block(device.clock().now() + 10);
        }
      });
    }
    cpu.runUntil(1000);
    return trace;
  };
  auto first = runOnce();
  const std::vector<std::string> expected = {"a0+", "a0-", "b0+", "b0-", "a1+", "a1-",
                                             "b1+", "b1-", "a2+", "a2-", "b2+", "b2-"};
  EXPECT_EQ(first, expected);
  EXPECT_EQ(runOnce(), first);
}

TEST(Scheduler, ALongDeadlineIsReachedInOneStepOfTheClock) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto& cpu = device.scheduler();
  // The clock jumps from deadline to deadline: the sleeper is handed the CPU to start
  // and once more to wake, never to look at a clock that crawls towards its deadline.
  int handOvers = 0;
  cpu.setHandOverHook([&](sim::Process*) { ++handOvers; });
  bool woke = false;
  std::uint64_t wokeAt = 0;
  cpu.spawn(nullptr, [&] {
    cpu.block(device.clock().now() + 10 * 60 * 1000);
    woke = true;
    wokeAt = device.clock().now();
  });
  EXPECT_EQ(cpu.settle(10000, 3600 * 1000), sim::SettleResult::Settled);
  EXPECT_FALSE(woke) << "a deadline beyond the settle window is not reached";
  EXPECT_EQ(device.clock().now(), 0u) << "settling does not move the clock towards a far deadline";
  cpu.runUntil(device.clock().now() + 20 * 60 * 1000);
  EXPECT_TRUE(woke);
  EXPECT_EQ(wokeAt, 10u * 60 * 1000);
  EXPECT_EQ(device.clock().now(), 20u * 60 * 1000);
  EXPECT_EQ(handOvers, 2);
  cpu.setHandOverHook({});
}

TEST(Scheduler, ShutdownEndsThreadsBlockedForeverAndRunsTheirCleanup) {
  int cleanedUp = 0;
  {
    test_support::TestDevice booted;
    sim::Device& device = *booted;
    auto& cpu = device.scheduler();
    for (int i = 0; i < 3; ++i)
      cpu.spawn(nullptr, [&] {
        struct Guard {
          int& count;
          ~Guard() { ++count; }
        } guard{cleanedUp};
        cpu.block(std::nullopt);
        ADD_FAILURE() << "a blocked thread is not resumed normally at shutdown";
      });
    cpu.runUntilIdle();
    EXPECT_EQ(cpu.liveThreadCount(), 3u);
  }
  EXPECT_EQ(cleanedUp, 3);
}

TEST(Scheduler, WakeMakesABlockedThreadRunAfterTheWaker) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto& cpu = device.scheduler();
  std::vector<int> trace;
  sim::SimThread* sleeper = nullptr;
  sleeper = &cpu.spawn(nullptr, [&] {
    trace.push_back(1);
    EXPECT_EQ(cpu.block(std::nullopt), sim::WakeReason::Signaled);
    trace.push_back(3);
  });
  cpu.spawn(nullptr, [&] {
    cpu.wake(*sleeper);
    trace.push_back(2);
  });
  cpu.runUntilIdle();
  EXPECT_EQ(trace, (std::vector<int>{1, 2, 3}));
}

TEST(Device, OnlyOneDevicePerHostProcess) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  sim::DeviceConfig config;
  config.root = booted.root();
  EXPECT_THROW(sim::Device second(test_support::FailOnMisuse(config)), std::logic_error);
  EXPECT_EQ(sim::Device::active(), &device);
}

}  // namespace
