// The EDIT class: single- and multi-line text boxes.
#pragma once

#include <cstddef>
#include <string>

#include <windows.h>

namespace sim {

struct EditState {
  static constexpr std::size_t kDefaultLimit = 30000;
  static constexpr std::size_t kMaximumLimit = 0x7FFFFFFE;

  std::u16string text;
  std::size_t anchor = 0;  // where the selection started
  std::size_t caret = 0;   // where it ends; typing goes here
  std::size_t limit = kDefaultLimit;
  bool focused = false;

  std::size_t selectionStart() const { return anchor < caret ? anchor : caret; }
  std::size_t selectionEnd() const { return anchor < caret ? caret : anchor; }
};

}  // namespace sim
