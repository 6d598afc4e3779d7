// A list of plain values kept in its owner while they are few, on the heap beyond.
//
// Regions and text layouts are made at every change of the screen and every
// DrawTextW, and nearly all of them are small: keeping their rectangles, characters,
// positions and lines inline spares the allocations that under the sanitizers cost
// more than the work itself.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <type_traits>
#include <vector>

namespace sim {

template <class T, std::size_t N>
class InlineList {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  std::size_t size() const { return count_; }
  bool empty() const { return size() == 0; }
  T* data() { return spilled_ ? heap_.data() : inline_.data(); }
  const T* data() const { return spilled_ ? heap_.data() : inline_.data(); }
  T& operator[](std::size_t i) { return data()[i]; }
  const T& operator[](std::size_t i) const { return data()[i]; }
  T* begin() { return data(); }
  T* end() { return data() + size(); }
  const T* begin() const { return data(); }
  const T* end() const { return data() + size(); }
  operator std::span<const T>() const { return {data(), size()}; }

  void push_back(const T& value) {
    if (!spilled_) {
      if (count_ < N) {
        inline_[count_++] = value;
        return;
      }
      heap_.reserve(4 * N);
      heap_.assign(inline_.begin(), inline_.end());
      spilled_ = true;
    }
    heap_.push_back(value);
    ++count_;
  }
  void append(std::span<const T> values) {
    for (const T& value : values) push_back(value);
  }
  // Keeps the first `count` values (no more than it holds).
  void truncate(std::size_t count) {
    if (spilled_) heap_.resize(count);
    count_ = count;
  }

 private:
  std::array<T, N> inline_{};
  std::size_t count_ = 0;  // how many values it holds, inline or in heap_
  std::vector<T> heap_;
  bool spilled_ = false;
};

}  // namespace sim
