#include "kernel/process.h"
#include "kernel/process_data.h"
#include "user/window.h"

namespace sim {

Process* ProcedureOwner(const Window& window, const void* procedure) {
  auto found = window.procedureOwners.find(procedure);
  if (found != window.procedureOwners.end()) return found->second;
  const void* classProcedure = reinterpret_cast<const void*>(window.windowClass->proc);
  return procedure == classProcedure ? window.windowClass->process : nullptr;
}

void RecordProcedureOwner(Window& window, const void* procedure) {
  if (!procedure || procedure == reinterpret_cast<const void*>(window.windowClass->proc)) return;
  // A program that puts back the procedure it replaced does not take it over.
  auto [entry, added] = window.procedureOwners.try_emplace(procedure, CurrentDataOwner());
  if (!added && entry->second && entry->second->ended) entry->second = CurrentDataOwner();
}

}  // namespace sim
