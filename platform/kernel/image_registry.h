// The images installed on the device, found by device path ignoring case.
//
// Each image also gets a module handle (HMODULE/HINSTANCE), the same in every
// process. Installing an image takes the snapshot of its data from which each of
// its processes starts (kernel/process_data.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kernel/image.h"

namespace sim {

class Device;

class ImageRegistry {
 public:
  explicit ImageRegistry(Device& device) : device_(device) {}

  // Installs `image` under its path, replacing what was there (a process still
  // running the old image keeps it).
  std::shared_ptr<const ProgramImage> install(ProgramImage image);
  std::shared_ptr<const ProgramImage> find(std::u16string_view path) const;

  HMODULE moduleHandle(const ProgramImage& image) const;
  std::shared_ptr<const ProgramImage> byModule(HMODULE module) const;
  // How many images were installed so far: an image's bytes can move or change only
  // when another is installed.
  std::uint64_t installs() const { return installs_; }

 private:
  Device& device_;
  std::map<std::u16string, std::shared_ptr<const ProgramImage>> byPath_;  // key: folded path
  std::map<std::uintptr_t, std::shared_ptr<const ProgramImage>> modules_;  // every image ever installed
  std::map<const ProgramImage*, std::uintptr_t> handles_;
  std::uintptr_t nextModule_ = 0x40000000;
  std::uint64_t installs_ = 0;
};

// Device paths compare ignoring case (ASCII, Latin-1 and full-width Latin letters).
std::u16string foldCase(std::u16string_view text);

}  // namespace sim
