// The order in which a folder search hands out a folder's entries.
//
// The device's file systems keep a folder's entries in the order they came to be,
// not sorted: what a folder held when the device first saw it comes in name order,
// every entry made since follows in the order it was made, and a renamed entry
// keeps its place (moved to another folder, it goes to that folder's end). Entries
// that appear on the host behind the device's back join the end when a search
// first finds them (several at once in name order); removed ones drop out. So
// every run lists the same way, whatever order the host keeps its folders in.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "fs/host_io.h"

namespace sim::fs {

class EntryOrder {
 public:
  // Puts a folder's entries, as the host lists them, in the folder's order.
  void arrange(const std::filesystem::path& folder, std::vector<HostEntry>& entries);

  // What the device did, told after the host has done it.
  void added(const std::filesystem::path& host);
  void removed(const std::filesystem::path& host);
  void moved(const std::filesystem::path& from, const std::filesystem::path& to);

  // Takes whatever the store holds now as what the device holds when it boots:
  // every folder lists in name order until the device changes it.
  void forgetAll() { folders_.clear(); }

 private:
  // A folder the device has seen: the place of each entry, by host name.
  struct Places {
    std::unordered_map<std::string, std::uint64_t> placeOf;
    std::uint64_t next = 0;
    void append(const std::string& hostName) { placeOf[hostName] = next++; }
  };

  // The places of a folder the device is changing; a folder it had not seen yet
  // is taken as it was before the change: its entries without `made`, with
  // `replaced` (the name an entry had before it was renamed to `made`).
  Places& placesBeforeChange(const std::filesystem::path& folder, const std::string& made,
                             const std::string* replaced);
  static void appendInNameOrder(Places& places, std::vector<const HostEntry*> entries);
  void forgetFoldersAtOrBelow(const std::filesystem::path& folder);
  void moveFoldersAtOrBelow(const std::filesystem::path& from, const std::filesystem::path& to);

  std::map<std::string, Places> folders_;  // by host path
};

}  // namespace sim::fs
