#include "kernel/faults.h"

#include <windows.h>

#include <stdexcept>

#include "kernel/device.h"

namespace sim {

void Faults::arm(std::string_view operation, int count, std::uint32_t error, int skip) {
  if (!FindFaultOperation(operation))
    throw std::invalid_argument("'" + std::string(operation) + "' is not an operation that can be made to fail");
  if (count <= 0) {
    switches_.erase(std::string(operation));
    return;
  }
  switches_[std::string(operation)] = Switch{count, error, skip > 0 ? skip : 0};
}

std::optional<std::uint32_t> Faults::take(FaultName operation) {
  auto it = switches_.find(operation.name());
  if (it == switches_.end()) return std::nullopt;
  if (it->second.skip > 0) {
    --it->second.skip;
    return std::nullopt;
  }
  std::uint32_t error = it->second.error ? it->second.error : operation.operation().naturalError;
  if (--it->second.remaining <= 0) switches_.erase(it);
  return error;
}

bool Faults::armed(std::string_view operation) const { return switches_.find(operation) != switches_.end(); }

bool FailsByInjection(FaultName operation) {
  auto error = Device::current().faults().take(operation);
  if (!error) return false;
  SetLastError(*error);
  return true;
}

std::string ProgramFault::description() const {
  return program + ": " + call + "(" + handle + "): " + problem;
}

void Faults::reportProgramFault(ProgramFault fault) {
  programFaults_.push_back(std::move(fault));
  if (!observer_) return;
  const ProgramFault recorded = programFaults_.back();  // the observer may report again
  observer_(recorded);
}

}  // namespace sim
