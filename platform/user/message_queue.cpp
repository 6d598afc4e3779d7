#include "user/message_queue.h"

#include <algorithm>

#include "kernel/process_data.h"
#include "kernel/device.h"
#include "kernel/scheduler.h"
#include "user/nonclient.h"
#include "user/paint.h"
#include "user/window.h"

namespace sim {

namespace {

DWORD now() { return static_cast<DWORD>(Device::current().clock().now()); }

// A key going down or up changes the key state; a typed character (WM_CHAR) does
// not, whatever its code's low byte looks like.
bool IsKeyTransition(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

// Clears a flag even when the thread unwinds through the wait.
struct FlagGuard {
  bool& flag;
  explicit FlagGuard(bool& f) : flag(f) { flag = true; }
  ~FlagGuard() { flag = false; }
};

}  // namespace

// --- producers ---

void MessageQueue::post(const MSG& msg) {
  if (released_) return;
  posted_.push_back(msg);
  wake();
}

void MessageQueue::postInput(const InputEvent& event) {
  if (released_) return;
  input_.push_back(event);
  wake();
}

void MessageQueue::pushSent(std::shared_ptr<SentMessage> sent) {
  if (released_) {
    sent->done = true;
    return;
  }
  sent_.push_back(std::move(sent));
  wake();
}

void MessageQueue::postQuit(int exitCode) {
  if (released_) return;
  quitCode_ = exitCode;
  wake();
}

void MessageQueue::wake() {
  woken_ = true;
  if (waiting_) Device::current().scheduler().wake(thread_);
}

// --- consumer ---

void MessageQueue::deliverSent(SentMessage& sent) {
  struct Answer {
    SentMessage& sent;
    int& nesting;
    ~Answer() {
      --nesting;
      sent.done = true;
      if (sent.sender) Device::current().scheduler().wake(*sent.sender);
    }
  } answer{sent, sendNesting};
  ++sendNesting;
  if (!sent.destroy) {
    sent.result = CallWindowProcedure(sent.hwnd, sent.message, sent.wParam, sent.lParam);
    return;
  }
  if (Window* window = WindowSystem::get().find(sent.hwnd)) DestroyWindowTree(*window);
}

bool MessageQueue::handleSentMessages() {
  bool any = false;
  while (!sent_.empty()) {
    auto sent = sent_.front();
    sent_.pop_front();
    deliverSent(*sent);
    any = true;
  }
  return any;
}

bool MessageQueue::matches(const MSG& msg, HWND filter, UINT filterMin, UINT filterMax) const {
  if (filter && msg.hwnd != filter && !(msg.hwnd && IsChild(filter, msg.hwnd))) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

bool MessageQueue::pull(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
  for (auto it = posted_.begin(); it != posted_.end(); ++it) {
    if (!matches(*it, filter, filterMin, filterMax)) continue;
    out = *it;
    if (remove) posted_.erase(it);
    return true;
  }
  if (pullInput(out, filter, filterMin, filterMax, remove)) return true;
  if (pullPaint(out, filter, filterMin, filterMax)) return true;
  if (pullTimer(out, filter, filterMin, filterMax, remove)) return true;
  if (quitCode_) {
    MSG quit{nullptr, WM_QUIT, static_cast<WPARAM>(*quitCode_), 0, now(), lastMessagePos};
    if (filterMin == 0 && filterMax == 0 ? true : (WM_QUIT >= filterMin && WM_QUIT <= filterMax)) {
      out = quit;
      if (remove) quitCode_.reset();
      return true;
    }
  }
  return false;
}

bool MessageQueue::pullInput(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
  auto& windows = WindowSystem::get();
  for (auto it = input_.begin(); it != input_.end();) {
    InputEvent event = *it;
    if (event.kind == InputEvent::Kind::Activate) {
      // Activation requested from outside happens in input order, before the input
      // that follows it, whatever the filter.
      it = input_.erase(it);
      ActivateOnOwnThread(event.hwnd);
      it = input_.begin();
      continue;
    }
    if (event.kind == InputEvent::Kind::Frame) {
      it = input_.erase(it);
      TapFrame(event.hwnd, static_cast<WindowPart>(event.wParam), event.pt);
      it = input_.begin();
      continue;
    }
    MSG msg{event.hwnd, event.message, event.wParam, event.lParam, event.time, event.pt};
    if (event.kind == InputEvent::Kind::Key) {
      // Keys go to the window that has the focus when the thread takes them.
      HWND target = windows.find(focus) ? focus : (windows.find(active) ? active : nullptr);
      if (!target)
        if (Window* fg = windows.foreground(); fg && fg->thread == &thread_) target = fg->handle;
      msg.hwnd = target;
    } else {
      Window* capture = windows.capture();
      if (capture && capture->thread == &thread_ && capture->handle != event.hwnd) {
        POINT origin = windows.clientOrigin(*capture);
        msg.hwnd = capture->handle;
        msg.lParam = MAKELPARAM(event.pt.x - origin.x, event.pt.y - origin.y);
      }
      if (!windows.find(msg.hwnd)) {  // the window went away since the tap
        it = input_.erase(it);
        continue;
      }
    }
    if (!matches(msg, filter, filterMin, filterMax)) {
      ++it;
      continue;
    }
    out = msg;
    if (remove) {
      input_.erase(it);
      if (event.kind == InputEvent::Kind::Key && IsKeyTransition(event.message))
        setKeyDown(static_cast<int>(event.wParam), event.message == WM_KEYDOWN || event.message == WM_SYSKEYDOWN);
      else if (event.kind != InputEvent::Kind::Key)
        holding = event.hold;
    }
    return true;
  }
  return false;
}

// WM_PAINT is not queued: it is made for a window with something to paint whenever
// the thread looks, and stays until the window validates.
bool MessageQueue::pullPaint(MSG& out, HWND filter, UINT filterMin, UINT filterMax) {
  if (!(filterMin == 0 && filterMax == 0) && (WM_PAINT < filterMin || WM_PAINT > filterMax)) return false;
  Window* window = WindowToPaint(thread_, filter);
  if (!window) return false;
  out = MSG{window->handle, WM_PAINT, 0, 0, now(), lastMessagePos};
  return true;
}

bool MessageQueue::pullTimer(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
  const std::uint64_t clock = Device::current().clock().now();
  Timer* best = nullptr;
  for (Timer& timer : timers_) {
    if (timer.due > clock) continue;
    MSG msg{timer.hwnd, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc), 0, {}};
    if (!matches(msg, filter, filterMin, filterMax)) continue;
    if (!best || timer.due < best->due) best = &timer;
  }
  if (!best) return false;
  out = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), static_cast<DWORD>(clock),
            lastMessagePos};
  if (remove) best->due = clock + best->elapse;
  return true;
}

void MessageQueue::waitForWork(bool timers) {
  if (woken_) {
    woken_ = false;
    return;
  }
  // Only timers still to come set the deadline: one due already but not wanted by
  // the caller's filter must not wake the thread over and over.
  std::optional<std::uint64_t> deadline;
  if (timers) {
    const std::uint64_t clock = Device::current().clock().now();
    for (const Timer& timer : timers_)
      if (timer.due > clock && (!deadline || timer.due < *deadline)) deadline = timer.due;
  }
  {
    FlagGuard guard(waiting_);
    Device::current().scheduler().block(deadline);
  }
  woken_ = false;
}

void MessageQueue::dropWindow(HWND hwnd) {
  std::erase_if(posted_, [&](const MSG& m) { return m.hwnd == hwnd; });
  std::erase_if(input_, [&](const InputEvent& e) { return e.hwnd == hwnd && e.kind != InputEvent::Kind::Key; });
  killTimersOf(hwnd);
  if (focus == hwnd) focus = nullptr;
  if (active == hwnd) active = nullptr;
}

// --- timers ---

UINT_PTR MessageQueue::setTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  const std::uint64_t due = Device::current().clock().now() + std::max<UINT>(elapse, 1);
  if (!hwnd) {
    // A thread timer keeps its id when the caller names an existing one.
    auto existing = std::find_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return !t.hwnd && t.id == id && id != 0; });
    if (existing == timers_.end()) {
      id = nextThreadTimerId_++;
      timers_.push_back(Timer{nullptr, id, elapse, proc, due});
    } else {
      *existing = Timer{nullptr, id, elapse, proc, due};
    }
    return id;
  }
  auto existing =
      std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (existing == timers_.end())
    timers_.push_back(Timer{hwnd, id, elapse, proc, due});
  else
    *existing = Timer{hwnd, id, elapse, proc, due};
  return id ? id : 1;
}

bool MessageQueue::killTimer(HWND hwnd, UINT_PTR id) {
  auto it =
      std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == timers_.end()) return false;
  timers_.erase(it);
  return true;
}

void MessageQueue::killTimersOf(HWND hwnd) {
  std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
}

void MessageQueue::setKeyDown(int vk, bool down) {
  auto& state = keyState_[static_cast<std::size_t>(vk & 0xFF)];
  if (down) {
    if (!(state & 0x8000)) state = static_cast<SHORT>((state ^ 1) | 0x8000);  // low bit: toggled
  } else {
    state = static_cast<SHORT>(state & 1);
  }
}

void MessageQueue::release() {
  released_ = true;
  auto waiting = std::move(sent_);
  sent_.clear();
  for (auto& sent : waiting) {
    sent->result = 0;
    sent->done = true;
    if (sent->sender) Device::current().scheduler().wake(*sent->sender);
  }
  posted_.clear();
  input_.clear();
  timers_.clear();
  quitCode_.reset();
  focus = active = nullptr;
}

// --- the queues ---

MessageQueues::~MessageQueues() = default;

MessageQueues& MessageQueues::get() { return Device::current().service<MessageQueues>(); }

MessageQueue& MessageQueues::of(SimThread& thread) {
  auto& slot = queues_[&thread];
  if (!slot) slot = std::make_unique<MessageQueue>(thread);
  return *slot;
}

MessageQueue* MessageQueues::find(const SimThread* thread) const {
  auto it = queues_.find(thread);
  return it == queues_.end() ? nullptr : it->second.get();
}

std::vector<const MessageQueue*> MessageQueues::all() const {
  std::vector<const MessageQueue*> queues;
  for (const auto& [thread, queue] : queues_) queues.push_back(queue.get());
  return queues;
}

MessageQueue* MessageQueues::findById(DWORD threadId) const {
  for (const auto& [thread, queue] : queues_)
    if (thread->id() == threadId && !queue->released()) return queue.get();
  return nullptr;
}

MessageQueue* MessageQueues::current() {
  SimThread* thread = Scheduler::current();
  return thread ? &of(*thread) : nullptr;
}

// --- sending ---

LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window || !window->proc) return 0;
  // Reported once: the window's messages go nowhere after, as its thread would have crashed.
  if (IntoEndedProgram("window procedure", *window, window->proc, message)) {
    window->proc = nullptr;
    return 0;
  }
  WNDPROC proc = window->proc;
  DataContext context(ProcedureOwner(*window, reinterpret_cast<const void*>(proc)));
  return proc(hwnd, message, wParam, lParam);
}

namespace {

// Queues `sent` for the thread of its window and waits for the answer.
LRESULT SendToThread(SimThread* receiver, std::shared_ptr<SentMessage> sent) {
  SimThread* self = Scheduler::current();
  auto& queues = MessageQueues::get();
  queues.of(*receiver).pushSent(sent);
  if (!self) {
    // The driver cannot wait inside the device: it lets the device run until the
    // receiver has answered or everything waits.
    Device::current().scheduler().runUntilIdle();
    return sent->done ? sent->result : 0;
  }
  MessageQueue& mine = queues.of(*self);
  while (!sent->done) {
    // A blocked sender still answers what others send to it.
    if (mine.handleSentMessages()) continue;
    if (receiver->state() == ThreadState::Finished) return 0;
    mine.waitForWork(false);
  }
  return sent->result;
}

}  // namespace

LRESULT SendMessageToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = WindowSystem::get().checked(hwnd, "SendMessageW");
  if (!window) return 0;
  SimThread* self = Scheduler::current();
  SimThread* receiver = window->thread;
  if (receiver == self) return CallWindowProcedure(hwnd, message, wParam, lParam);
  if (!receiver || receiver->state() == ThreadState::Finished) return 0;
  return SendToThread(receiver, std::make_shared<SentMessage>(SentMessage{hwnd, message, wParam, lParam, self, 0, false}));
}

void DestroyOnItsThread(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window || !window->thread || window->thread == Scheduler::current()) return;
  if (window->thread->state() == ThreadState::Finished) return;
  auto sent = std::make_shared<SentMessage>(SentMessage{hwnd, 0, 0, 0, Scheduler::current(), 0, false});
  sent->destroy = true;
  SendToThread(window->thread, sent);
}

}  // namespace sim
