// The modal loop of DialogBoxIndirectParamW and DialogBoxParamW, and EndDialog.
//
// A modal dialog is shown (whatever its template's WS_VISIBLE) when its loop first
// finds nothing waiting: after WM_INITDIALOG and whatever was posted or sent during
// it, so the program's first work is done before the dialog appears. A dialog
// ended before that point never appears.
#include "user/dialog.h"
#include "user/message_queue.h"
#include "user/window.h"

namespace sim {

namespace {

// Handles what was sent to the thread, then tells whether anything else waits.
bool NothingWaiting() {
  MessageQueue* queue = MessageQueues::get().current();
  if (!queue) return true;
  queue->handleSentMessages();
  MSG next{};
  return !queue->pull(next, nullptr, 0, 0, false);
}

void ShowModalDialog(HWND dialog, DialogState& state) {
  state.shown = true;
  const bool foreground = state.setForeground;
  if (!IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
  if (foreground && IsWindow(dialog)) SetForegroundWindow(dialog);
}

// Re-enables the owner a modal dialog disabled; done once, by whichever comes first
// of EndDialog and the dialog's end.
void ReleaseOwner(DialogState& state) {
  HWND owner = state.disabledOwner;
  state.disabledOwner = nullptr;
  if (owner && IsWindow(owner)) EnableWindow(owner, TRUE);
}

// One turn of the loop; false when WM_QUIT ended it.
bool PumpOnce(HWND dialog) {
  DialogState* state = FindDialogState(dialog);
  if (!state->shown && NothingWaiting()) {
    if ((state = FindDialogState(dialog)) && !state->ended) ShowModalDialog(dialog, *state);
    return true;
  }
  MSG msg{};
  if (!GetMessageW(&msg, nullptr, 0, 0)) {
    // WM_QUIT ends the dialog and stays for the caller's own loop.
    PostQuitMessage(static_cast<int>(msg.wParam));
    return false;
  }
  if (!IsWindow(dialog) || !IsDialogMessageW(dialog, &msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace

INT_PTR RunModalDialog(HWND dialog) {
  DialogState* state = FindDialogState(dialog);
  if (!state) return -1;
  HWND owner = state->disabledOwner;
  while ((state = FindDialogState(dialog)) && !state->ended)
    if (!PumpOnce(dialog)) break;
  INT_PTR result = 0;
  if ((state = FindDialogState(dialog))) {
    result = state->result;
    ReleaseOwner(*state);
    DestroyWindow(dialog);
  }
  if (owner && IsWindow(owner)) {
    if (!IsWindowEnabled(owner)) EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
  }
  return result;
}

}  // namespace sim

BOOL EndDialog(HWND dialog, INT_PTR result) {
  if (!sim::WindowSystem::get().checked(dialog, "EndDialog")) return FALSE;
  sim::DialogState* state = sim::FindDialogState(dialog);
  if (!state) return sim::Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
  if (state->ended) return TRUE;
  state->ended = true;
  state->result = result;
  if (!state->modal) return TRUE;
  // The owner comes back before the dialog goes, so activation returns to it.
  HWND owner = state->disabledOwner;
  state->disabledOwner = nullptr;
  if (owner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindowVisible(dialog)) ShowWindow(dialog, SW_HIDE);
  // Wakes the modal loop, wherever EndDialog was called from.
  sim::PostFromSystem(dialog, WM_NULL, 0, 0);
  return TRUE;
}
