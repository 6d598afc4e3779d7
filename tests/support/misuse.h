// Fails the running test on every misuse of the platform it did not declare.
//
// A fixture boots its device with FailOnMisuse(config): each program fault is then
// a failure of the running test when it is reported, with its description. A test
// that provokes misuse on purpose declares it with an ExpectMisuse scope, which
// takes the faults of the named call and checks that exactly as many came.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "kernel/device.h"

namespace test_support {

class ExpectMisuse;

namespace misuse_detail {

// The open scopes, innermost last. Faults are reported on simulated threads.
struct Scopes {
  std::mutex mutex;
  std::vector<ExpectMisuse*> open;
};

inline Scopes& scopes() {
  static Scopes instance;
  return instance;
}

void Observe(const sim::ProgramFault& fault);

}  // namespace misuse_detail

class ExpectMisuse {
 public:
  // Within this scope the test provokes `count` misuses of `call` on purpose.
  explicit ExpectMisuse(std::string call, std::size_t count = 1) : call_(std::move(call)), count_(count) {
    std::lock_guard lock(misuse_detail::scopes().mutex);
    misuse_detail::scopes().open.push_back(this);
  }
  ~ExpectMisuse() {
    {
      std::lock_guard lock(misuse_detail::scopes().mutex);
      std::erase(misuse_detail::scopes().open, this);
    }
    EXPECT_EQ(faults_.size(), count_) << "misuses of " << call_ << " the test provoked";
  }
  ExpectMisuse(const ExpectMisuse&) = delete;
  ExpectMisuse& operator=(const ExpectMisuse&) = delete;

  // The faults taken so far, in the order they were reported.
  const std::vector<sim::ProgramFault>& faults() const { return faults_; }

 private:
  friend void misuse_detail::Observe(const sim::ProgramFault& fault);

  std::string call_;
  std::size_t count_;
  std::vector<sim::ProgramFault> faults_;
};

inline void misuse_detail::Observe(const sim::ProgramFault& fault) {
  {
    std::lock_guard lock(scopes().mutex);
    auto& open = scopes().open;
    auto taker = std::find_if(open.rbegin(), open.rend(), [&](ExpectMisuse* scope) { return scope->call_ == fault.call; });
    if (taker != open.rend()) {
      (*taker)->faults_.push_back(fault);
      return;
    }
  }
  ADD_FAILURE() << "misuse of the platform: " << fault.description();
}

// `config` with every program fault of the device reported to the running test.
inline sim::DeviceConfig FailOnMisuse(sim::DeviceConfig config) {
  config.programFaultObserver = misuse_detail::Observe;
  return config;
}

}  // namespace test_support
