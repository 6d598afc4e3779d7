// A simulated handheld: a device booted over a host folder, with its programs
// installed.
//
// Without a folder the handheld boots over a fresh copy of the sample device in a
// new temporary folder, which it removes when it is destroyed. Only one handheld
// runs in a host process at a time.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kernel/device.h"
#include "program_catalog.h"

namespace sim {

struct HandheldOptions {
  // Boot over this host folder as it is; without one, over a sample device copy.
  std::optional<std::filesystem::path> folder;
  // Screen, clock and time zone; the root is filled in by the handheld.
  DeviceConfig device;
  ProgramCatalog programs = StandardPrograms();
};

class Handheld {
 public:
  // Throws std::logic_error when a handheld (or any device) already runs, and
  // std::runtime_error when the folder cannot be used or prepared.
  explicit Handheld(HandheldOptions options = {});
  ~Handheld();
  Handheld(const Handheld&) = delete;
  Handheld& operator=(const Handheld&) = delete;

  Device& device() { return *device_; }
  const std::filesystem::path& folder() const { return folder_; }
  // Device paths of the installed programs, in installation order.
  const std::vector<std::u16string>& installedPrograms() const { return installed_; }

 private:
  void install(const ProgramSource& source);

  std::filesystem::path folder_;
  bool ownsFolder_ = false;
  std::unique_ptr<Device> device_;
  std::vector<std::u16string> installed_;
};

// The storage card every handheld has, a top-level folder.
inline constexpr char16_t kStorageCardName[] = u"Storage Card";

}  // namespace sim
