#include "fs/entry_order.h"

#include <algorithm>
#include <utility>

#include "fs/host_text.h"
#include "fs/names.h"

namespace sim::fs {

namespace {

bool IsAtOrBelow(const std::string& candidate, const std::string& folder) {
  return candidate.starts_with(folder) && (candidate.size() == folder.size() || candidate[folder.size()] == '/');
}

void SortByName(std::vector<const HostEntry*>& entries) {
  std::sort(entries.begin(), entries.end(),
            [](const HostEntry* a, const HostEntry* b) { return NameLess(a->name, b->name); });
}

}  // namespace

void EntryOrder::arrange(const std::filesystem::path& folder, std::vector<HostEntry>& entries) {
  Places& places = folders_[folder.string()];
  std::vector<std::pair<std::uint64_t, std::size_t>> placed;  // place, index in `entries`
  placed.reserve(entries.size());
  std::vector<const HostEntry*> noticed;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    auto known = places.placeOf.find(entries[i].hostName);
    if (known == places.placeOf.end())
      noticed.push_back(&entries[i]);
    else
      placed.emplace_back(known->second, i);
  }
  if (placed.size() < places.placeOf.size()) {
    // Some entries are gone from the host: they drop out.
    std::unordered_map<std::string, std::uint64_t> present;
    present.reserve(placed.size() + noticed.size());
    for (const auto& [place, index] : placed) present.emplace(entries[index].hostName, place);
    places.placeOf = std::move(present);
  }
  SortByName(noticed);
  for (const HostEntry* entry : noticed) {
    placed.emplace_back(places.next, static_cast<std::size_t>(entry - entries.data()));
    places.append(entry->hostName);
  }
  std::sort(placed.begin(), placed.end());
  std::vector<HostEntry> ordered;
  ordered.reserve(entries.size());
  for (const auto& [place, index] : placed) ordered.push_back(std::move(entries[index]));
  entries = std::move(ordered);
}

void EntryOrder::appendInNameOrder(Places& places, std::vector<const HostEntry*> entries) {
  SortByName(entries);
  for (const HostEntry* entry : entries) places.append(entry->hostName);
}

EntryOrder::Places& EntryOrder::placesBeforeChange(const std::filesystem::path& folder, const std::string& made,
                                                   const std::string* replaced) {
  auto [it, unseen] = folders_.try_emplace(folder.string());
  if (!unseen) return it->second;
  auto listed = ListHostFolder(folder);
  if (!listed) return it->second;
  std::erase_if(*listed, [&](const HostEntry& entry) { return entry.hostName == made; });
  if (replaced)
    if (auto name = HostNameToDevice(*replaced)) listed->push_back(HostEntry{std::move(*name), *replaced, false});
  std::vector<const HostEntry*> before;
  for (const HostEntry& entry : *listed) before.push_back(&entry);
  appendInNameOrder(it->second, std::move(before));
  return it->second;
}

void EntryOrder::added(const std::filesystem::path& host) {
  std::string name = host.filename().string();
  placesBeforeChange(host.parent_path(), name, nullptr).append(name);
  // A folder made where the host had one the device never saw go starts empty.
  forgetFoldersAtOrBelow(host);
}

void EntryOrder::removed(const std::filesystem::path& host) {
  if (auto folder = folders_.find(host.parent_path().string()); folder != folders_.end())
    folder->second.placeOf.erase(host.filename().string());
  forgetFoldersAtOrBelow(host);
}

void EntryOrder::moved(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::string oldName = from.filename().string(), newName = to.filename().string();
  if (from.parent_path() == to.parent_path()) {
    Places& places = placesBeforeChange(to.parent_path(), newName, &oldName);
    auto old = places.placeOf.find(oldName);
    std::uint64_t place = old != places.placeOf.end() ? old->second : places.next++;
    if (old != places.placeOf.end()) places.placeOf.erase(old);
    places.placeOf[newName] = place;
  } else {
    if (auto folder = folders_.find(from.parent_path().string()); folder != folders_.end())
      folder->second.placeOf.erase(oldName);
    placesBeforeChange(to.parent_path(), newName, nullptr).append(newName);
  }
  moveFoldersAtOrBelow(from, to);
}

void EntryOrder::forgetFoldersAtOrBelow(const std::filesystem::path& folder) {
  std::string key = folder.string();
  for (auto it = folders_.lower_bound(key); it != folders_.end() && it->first.starts_with(key);)
    it = IsAtOrBelow(it->first, key) ? folders_.erase(it) : std::next(it);
}

void EntryOrder::moveFoldersAtOrBelow(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::string source = from.string(), target = to.string();
  std::vector<std::pair<std::string, Places>> moved;
  for (auto it = folders_.lower_bound(source); it != folders_.end() && it->first.starts_with(source);) {
    if (!IsAtOrBelow(it->first, source)) {
      ++it;
      continue;
    }
    moved.emplace_back(target + it->first.substr(source.size()), std::move(it->second));
    it = folders_.erase(it);
  }
  forgetFoldersAtOrBelow(to);
  for (auto& [key, places] : moved) folders_.insert_or_assign(std::move(key), std::move(places));
}

}  // namespace sim::fs
