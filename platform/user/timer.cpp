// Timers: kept in the queue of the window's thread and turned into WM_TIMER when
// that thread pulls messages and one is due.
#include <windows.h>

#include "kernel/faults.h"
#include "user/message_queue.h"
#include "user/window.h"

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (sim::FailsByInjection("SetTimer")) return 0;
  auto& queues = sim::MessageQueues::get();
  if (!hwnd) {
    sim::MessageQueue* queue = queues.current();
    if (!queue) return sim::Fail<UINT_PTR>(ERROR_INVALID_PARAMETER, 0);
    return queue->setTimer(nullptr, id, elapse, proc);
  }
  sim::Window* window = sim::WindowSystem::get().checked(hwnd, "SetTimer");
  if (!window || !window->thread) return 0;
  return queues.of(*window->thread).setTimer(hwnd, id, elapse, proc);
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto& queues = sim::MessageQueues::get();
  sim::MessageQueue* queue = nullptr;
  if (hwnd) {
    sim::Window* window = sim::WindowSystem::get().checked(hwnd, "KillTimer");
    if (!window || !window->thread) return FALSE;
    queue = &queues.of(*window->thread);
  } else {
    queue = queues.current();
  }
  if (!queue || !queue->killTimer(hwnd, id)) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  return TRUE;
}
