// The EDIT class's text: changes by the user or the program, the limit, and undo.
#include <algorithm>

#include "user/edit_control.h"
#include "user/system_classes.h"

namespace sim {

namespace {

void Changed(Edit& edit) {
  Publish(edit);
  NotifyParent(edit.hwnd, EN_UPDATE);
  NotifyParent(edit.hwnd, EN_CHANGE);
}

EditState::Snapshot SnapshotOf(const EditState& state) { return {state.text, state.anchor, state.caret}; }

// Typing joins the characters typed just before when it goes on where they ended;
// anything else starts a change of its own.
void RememberForUndo(EditState& state, UndoAs undo, const EditState::Snapshot& before) {
  if (undo == UndoAs::Nothing) {
    state.undo.reset();
    state.typedUpTo.reset();
    return;
  }
  const bool joins = undo == UndoAs::Typing && state.undo && state.typedUpTo == before.caret &&
                     before.anchor == before.caret;
  if (!joins) state.undo = before;
  state.typedUpTo = undo == UndoAs::Typing ? std::optional<std::size_t>(state.caret) : std::nullopt;
}

}  // namespace

std::optional<Edit> EditOf(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window) return std::nullopt;
  return Edit{hwnd, *window, window->state<EditState>()};
}

void Publish(Edit& edit) {
  edit.window.text = edit.state.shown();
  ShowEditChange(edit);
}

void Select(Edit& edit, std::size_t anchor, std::size_t caret) {
  std::size_t length = edit.state.text.size();
  edit.state.anchor = std::min(anchor, length);
  edit.state.caret = std::min(caret, length);
  ShowEditChange(edit);
}

bool ReplaceSelection(Edit& edit, std::u16string insert, UndoAs undo) {
  EditState& state = edit.state;
  std::size_t start = state.selectionStart();
  std::size_t removed = state.selectionEnd() - start;
  std::size_t kept = state.text.size() - removed;
  std::size_t room = kept >= state.limit ? 0 : state.limit - kept;
  room = std::min(room, InsertionThatFits(edit, start, removed, insert));
  if (insert.size() > room) {
    insert.resize(room);
    NotifyParent(edit.hwnd, EN_MAXTEXT);
    // The notification may have destroyed the control.
    if (!WindowSystem::get().find(edit.hwnd)) return false;
  }
  if (insert.empty() && removed == 0) return false;
  EditState::Snapshot before = SnapshotOf(state);
  state.text.replace(start, removed, insert);
  state.anchor = state.caret = start + insert.size();
  RememberForUndo(state, undo, before);
  Changed(edit);
  return true;
}

bool Undo(Edit& edit) {
  EditState& state = edit.state;
  if (!state.undo) return false;
  EditState::Snapshot back = std::move(*state.undo);
  state.undo = SnapshotOf(state);
  state.typedUpTo.reset();
  state.text = std::move(back.text);
  Select(edit, back.anchor, back.caret);
  Changed(edit);
  return true;
}

}  // namespace sim
