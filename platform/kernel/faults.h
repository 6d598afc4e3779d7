// Named fault switches and the record of program faults.
//
// Every injected failure comes from a switch a test or scenario turned on: the
// next COUNT calls of an operation fail with a chosen error. Program faults are
// misuses of the API by a simulated program (a handle used after it was freed,
// an object destroyed twice, memory freed that is not the caller's); the device
// records each one, tells whoever watches, and carries on where the real device
// would crash or corrupt its memory.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/fault_operations.h"

namespace sim {

// One misuse: which program made which call with which handle, and what is wrong.
struct ProgramFault {
  std::string program;  // device path of the program whose thread made the call, or "driver"
  std::string call;     // the API function (or the platform's own step, e.g. "window procedure")
  std::string handle;   // the handle or pointer it was given, as text ("0x10008"); may be empty
  std::string problem;  // what is wrong with it, e.g. "not an open handle"

  // One line: `\Windows\x.exe: CloseHandle(0x10008): not an open handle`.
  std::string description() const;
};

using ProgramFaultObserver = std::function<void(const ProgramFault&)>;

class Faults {
 public:
  // The next `count` calls of `operation` fail, after `skip` calls that succeed;
  // error 0 means the operation's own error from the table of injectable
  // operations. Throws std::invalid_argument for a name that is not in that table.
  void arm(std::string_view operation, int count = 1, std::uint32_t error = 0, int skip = 0);
  // Consumes one armed failure of `operation`; gives the error code it fails with,
  // or nothing when the operation should succeed.
  std::optional<std::uint32_t> take(FaultName operation);
  bool armed(std::string_view operation) const;

  // Records the fault and hands it to the observer (on the thread that misused).
  void reportProgramFault(ProgramFault fault);
  const std::vector<ProgramFault>& programFaults() const { return programFaults_; }
  void observeProgramFaults(ProgramFaultObserver observer) { observer_ = std::move(observer); }

 private:
  struct Switch {
    int remaining;
    std::uint32_t error;
    int skip;
  };
  std::map<std::string, Switch, std::less<>> switches_;
  std::vector<ProgramFault> programFaults_;
  ProgramFaultObserver observer_;
};

// True, with the calling thread's last error set, when a test or scenario armed a
// failure of `operation` on the current device.
bool FailsByInjection(FaultName operation);

}  // namespace sim
