#include "kernel/faults.h"

#include <windows.h>

#include "kernel/device.h"

namespace sim {

void Faults::arm(std::string operation, int count, std::uint32_t error, int skip) {
  if (count <= 0) {
    switches_.erase(operation);
    return;
  }
  switches_[std::move(operation)] = Switch{count, error, skip > 0 ? skip : 0};
}

void Faults::disarmAll() { switches_.clear(); }

std::optional<std::uint32_t> Faults::take(std::string_view operation) {
  auto it = switches_.find(operation);
  if (it == switches_.end()) return std::nullopt;
  if (it->second.skip > 0) {
    --it->second.skip;
    return std::nullopt;
  }
  std::uint32_t error = it->second.error;
  if (--it->second.remaining <= 0) switches_.erase(it);
  return error;
}

bool Faults::armed(std::string_view operation) const { return switches_.find(operation) != switches_.end(); }

bool FailsByInjection(std::string_view operation, std::uint32_t naturalError) {
  auto armed = Device::current().faults().take(operation);
  if (!armed) return false;
  SetLastError(*armed ? *armed : naturalError);
  return true;
}

void Faults::reportProgramFault(std::string program, std::string what) {
  programFaults_.push_back(ProgramFault{std::move(program), std::move(what)});
}

}  // namespace sim
