// A recorder for the menu and clipboard tests that window procedures (plain
// functions) can reach.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_device.h"

namespace test_support {

// What the window procedures of a test saw, in order.
struct Trace {
  std::vector<std::string> lines;
  void add(std::string line) { lines.push_back(std::move(line)); }
};

}  // namespace test_support
