// The state records of the common controls, one per window.
//
// A control's record lives in a device service rather than behind a window long, so
// that the device frees every record at shutdown even when a window was never
// destroyed. Handlers take a shared reference for the length of a message: a parent
// that destroys the control from inside a notification cannot pull the record out
// from under the handler that sent it.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

#include "kernel/device.h"

namespace sim {

template <class State>
class ControlTable {
 public:
  explicit ControlTable(Device&) {}

  static ControlTable& get() { return Device::current().service<ControlTable>(); }

  std::shared_ptr<State> attach(HWND hwnd) {
    auto state = std::make_shared<State>();
    records_[hwnd] = state;
    return state;
  }
  std::shared_ptr<State> find(HWND hwnd) const {
    auto it = records_.find(hwnd);
    return it == records_.end() ? nullptr : it->second;
  }
  void detach(HWND hwnd) { records_.erase(hwnd); }

  // The window procedure's frame shared by every control: the record is made at
  // WM_NCCREATE and dropped at WM_NCDESTROY; the messages between go to `dispatch`
  // with the record held for the length of the message.
  template <class Dispatch>
  LRESULT route(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Dispatch dispatch) {
    if (message == WM_NCCREATE) attach(hwnd);
    auto state = find(hwnd);
    if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      detach(hwnd);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return dispatch(hwnd, *state, message, wParam, lParam);
  }

 private:
  std::unordered_map<HWND, std::shared_ptr<State>> records_;
};

}  // namespace sim
