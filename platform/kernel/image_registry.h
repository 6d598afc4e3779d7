// The images installed on the device, found by device path ignoring case.
//
// Each image also gets a module handle (HMODULE/HINSTANCE), the same in every
// process. The registry counts the users of each image (processes of a program,
// processes that loaded a library) and runs the image's start-up hook before its
// first user and its clean-up hook after its last. Two processes of one program alive
// at the same time therefore share its globals: the device has one address space, so
// giving each its own copy is impossible here, and sequential runs each start fresh.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kernel/image.h"

namespace sim {

class Device;

class ImageRegistry {
 public:
  explicit ImageRegistry(Device&) {}

  // Installs `image` under its path, replacing what was there (a process still
  // running the old image keeps it).
  std::shared_ptr<const ProgramImage> install(ProgramImage image);
  bool uninstall(std::u16string_view path);
  std::shared_ptr<const ProgramImage> find(std::u16string_view path) const;
  std::vector<std::shared_ptr<const ProgramImage>> installed() const;

  HMODULE moduleHandle(const ProgramImage& image) const;
  std::shared_ptr<const ProgramImage> byModule(HMODULE module) const;

  // Counts one more user of `image`; the first runs its start-up hook.
  void acquire(const ProgramImage& image);
  // Counts one user less; the last runs its clean-up hook.
  void release(const ProgramImage& image);
  int users(const ProgramImage& image) const;

 private:
  std::map<std::u16string, std::shared_ptr<const ProgramImage>> byPath_;  // key: folded path
  std::map<std::uintptr_t, std::shared_ptr<const ProgramImage>> modules_;  // every image ever installed
  std::map<const ProgramImage*, std::uintptr_t> handles_;
  std::map<const ProgramImage*, int> users_;
  std::uintptr_t nextModule_ = 0x40000000;
};

// Device paths compare ignoring case (ASCII, Latin-1 and full-width Latin letters).
std::u16string foldCase(std::u16string_view text);

}  // namespace sim
