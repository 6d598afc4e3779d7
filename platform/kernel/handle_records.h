// Records found by their handle, for handles that are handed out in growing order
// and never again (windows, device contexts): kept in the order they were made,
// which is their order by handle, so a record is found by bisection with no tree
// node to allocate per record.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace sim {

template <class T>
class HandleRecords {
 public:
  using Entry = std::pair<std::uintptr_t, std::unique_ptr<T>>;

  // `handle` lies above every handle added before it.
  void add(std::uintptr_t handle, std::unique_ptr<T> record) { entries_.emplace_back(handle, std::move(record)); }
  T* find(std::uintptr_t handle) const {
    const std::size_t at = indexOf(handle);
    return at == entries_.size() ? nullptr : entries_[at].second.get();
  }
  // Takes the record out of the list (null when there is none), so that it is
  // deleted after it has left it.
  std::unique_ptr<T> take(std::uintptr_t handle) {
    const std::size_t at = indexOf(handle);
    if (at == entries_.size()) return nullptr;
    std::unique_ptr<T> record = std::move(entries_[at].second);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
    return record;
  }
  std::size_t size() const { return entries_.size(); }
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

 private:
  std::size_t indexOf(std::uintptr_t handle) const {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), handle,
                               [](const Entry& entry, std::uintptr_t value) { return entry.first < value; });
    return it != entries_.end() && it->first == handle ? static_cast<std::size_t>(it - entries_.begin())
                                                       : entries_.size();
  }

  std::vector<Entry> entries_;
};

}  // namespace sim
