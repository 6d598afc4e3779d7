// The EDIT class: single- and multi-line text boxes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include <windows.h>

namespace sim {

struct EditState {
  static constexpr std::size_t kDefaultLimit = 30000;
  static constexpr std::size_t kMaximumLimit = 0x7FFFFFFE;

  // The text and selection as they were before a change, for EM_UNDO.
  struct Snapshot {
    std::u16string text;
    std::size_t anchor = 0;
    std::size_t caret = 0;
  };

  std::u16string text;
  std::size_t anchor = 0;  // where the selection started
  std::size_t caret = 0;   // where it ends; typing goes here
  std::size_t limit = kDefaultLimit;
  bool focused = false;
  char16_t passwordChar = 0;        // shown in place of every character; 0 shows the text
  std::optional<Snapshot> undo;     // what EM_UNDO brings back; an undo can itself be undone
  std::optional<std::size_t> typedUpTo;  // the end of the characters typed since the last other change
  bool destroyed = false;                // WM_NCDESTROY freed the text
  int scrollX = 0;                       // pixels scrolled sideways to keep the caret in sight
  std::size_t firstLine = 0;             // the first line a multi-line box shows

  std::size_t selectionStart() const { return anchor < caret ? anchor : caret; }
  std::size_t selectionEnd() const { return anchor < caret ? caret : anchor; }
  // What the edit shows: the text, or as many password characters.
  std::u16string shown() const { return passwordChar ? std::u16string(text.size(), passwordChar) : text; }
};

}  // namespace sim
