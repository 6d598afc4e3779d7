// Keeps a folder's last-write time across a change of its entries.
//
// The device's store does not date a folder by the changes inside it; the host
// does, with the host's clock. Without this, every listing of a folder that was
// touched would show the host's time instead of the device's.
#pragma once

#include <filesystem>
#include <optional>

#include "fs/host_io.h"

namespace sim::fs {

class FolderTimeKeeper {
 public:
  explicit FolderTimeKeeper(std::filesystem::path folder) : folder_(std::move(folder)) {
    if (auto stat = StatNode(folder_)) ticks_ = stat->writeTicks;
  }
  ~FolderTimeKeeper() {
    if (ticks_) SetWriteTime(folder_, *ticks_);
  }
  FolderTimeKeeper(const FolderTimeKeeper&) = delete;
  FolderTimeKeeper& operator=(const FolderTimeKeeper&) = delete;

 private:
  std::filesystem::path folder_;
  std::optional<std::uint64_t> ticks_;
};

}  // namespace sim::fs
