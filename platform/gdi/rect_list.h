// The rectangles of a region, kept in the region itself while they are few.
//
// The window system makes and combines regions at every change of the screen, and
// nearly all of them hold a handful of rectangles: keeping those inline spares an
// allocation per region, which under the sanitizers cost more than the combining.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include <windows.h>

namespace sim {

class RectList {
 public:
  static constexpr std::size_t kInline = 8;

  std::size_t size() const { return count_; }
  bool empty() const { return size() == 0; }
  RECT* data() { return spilled_ ? heap_.data() : inline_.data(); }
  const RECT* data() const { return spilled_ ? heap_.data() : inline_.data(); }
  RECT& operator[](std::size_t i) { return data()[i]; }
  const RECT& operator[](std::size_t i) const { return data()[i]; }
  RECT* begin() { return data(); }
  RECT* end() { return data() + size(); }
  const RECT* begin() const { return data(); }
  const RECT* end() const { return data() + size(); }
  operator std::span<const RECT>() const { return {data(), size()}; }

  void push_back(const RECT& rect) {
    if (!spilled_) {
      if (count_ < kInline) {
        inline_[count_++] = rect;
        return;
      }
      heap_.reserve(4 * kInline);
      heap_.assign(inline_.begin(), inline_.end());
      spilled_ = true;
    }
    heap_.push_back(rect);
    ++count_;
  }
  // Keeps the first `count` rectangles (no more than it holds).
  void truncate(std::size_t count) {
    if (spilled_) heap_.resize(count);
    count_ = count;
  }

 private:
  std::array<RECT, kInline> inline_{};
  std::size_t count_ = 0;  // how many rectangles it holds, inline or in heap_
  std::vector<RECT> heap_;
  bool spilled_ = false;
};

}  // namespace sim
