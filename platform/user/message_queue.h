// Per-thread message queues.
//
// A queue keeps sent messages, posted messages and input apart, and holds the
// thread's timers. The thread pulls in a fixed order: sent messages (handled at
// once, never returned), then posted messages, then input, then WM_PAINT for a
// window of the thread with something to paint (user/paint.h), then WM_TIMER (only
// when nothing else waits), then WM_QUIT. Anything may produce into a queue: its own
// thread, another simulated thread, or the driver (the host thread acting as the
// user); producing wakes the thread when it waits for messages.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace sim {

class Device;
class SimThread;

// A message sent from another thread (or from the driver), waiting for its receiver.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  SimThread* sender = nullptr;  // null when the driver sent it
  LRESULT result = 0;
  bool done = false;
  // Not a message for the window's procedure: the system asks the window's own
  // thread to destroy it (its owner is being destroyed on another thread).
  bool destroy = false;
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  std::uint64_t due = 0;
};

// Input waiting for the thread. Key events are aimed when pulled (at the focus
// window of that moment); taps are aimed when queued.
struct InputEvent {
  // Frame: a tap on a window's frame, which the system handles on the window's
  // thread (wParam the WindowPart, pt where).
  enum class Kind { Key, Mouse, Activate, Frame };
  Kind kind = Kind::Key;
  UINT message = 0;  // WM_KEYDOWN/WM_KEYUP, WM_CHAR for a typed character, or a mouse message
  HWND hwnd = nullptr;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  POINT pt{};  // screen position of a tap
  DWORD time = 0;
  bool hold = false;  // the button-down of a hold gesture
};

class MessageQueue {
 public:
  explicit MessageQueue(SimThread& thread) : thread_(thread) { keyState_.fill(0); }
  MessageQueue(const MessageQueue&) = delete;
  MessageQueue& operator=(const MessageQueue&) = delete;

  SimThread& thread() const { return thread_; }

  // --- producers (any thread or the driver) ---
  void post(const MSG& msg);
  void postInput(const InputEvent& event);
  void pushSent(std::shared_ptr<SentMessage> sent);
  void postQuit(int exitCode);
  // Makes a waiting GetMessageW or cross-thread SendMessageW of this thread
  // look again (a modal loop driven from outside uses it).
  void wake();

  // --- consumer side (on the queue's own thread) ---
  // Handles every waiting sent message; true when at least one was handled.
  bool handleSentMessages();
  // The next message for GetMessageW/PeekMessageW after sent messages were handled.
  // WM_TIMER is produced here; key state changes when a key message is removed.
  bool pull(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove);
  // Blocks the calling (own) thread until something is produced, woken, or a
  // timer is due.
  void waitForWork(bool timers = true);
  // Forgets posted messages, input and timers of a window being destroyed.
  void dropWindow(HWND hwnd);

  // --- timers ---
  UINT_PTR setTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
  bool killTimer(HWND hwnd, UINT_PTR id);
  void killTimersOf(HWND hwnd);
  const std::vector<Timer>& timers() const { return timers_; }

  // --- the thread's input state ---
  HWND focus = nullptr;
  HWND active = nullptr;
  SHORT keyState(int vk) const { return keyState_[static_cast<std::size_t>(vk & 0xFF)]; }
  void setKeyDown(int vk, bool down);
  DWORD lastMessageTime = 0;
  POINT lastMessagePos{};
  int sendNesting = 0;
  bool holding = false;  // the button-down being handled is a hold gesture's  // >0 while handling a message sent from another thread

  // Answers every message still waiting with 0 and wakes their senders (the thread
  // has ended); drops posted messages, input and timers.
  void release();
  bool released() const { return released_; }

 private:
  bool matches(const MSG& msg, HWND filter, UINT filterMin, UINT filterMax) const;
  bool pullPaint(MSG& out, HWND filter, UINT filterMin, UINT filterMax);
  bool pullTimer(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove);
  bool pullInput(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove);
  void deliverSent(SentMessage& sent);

  SimThread& thread_;
  std::deque<std::shared_ptr<SentMessage>> sent_;
  std::deque<MSG> posted_;
  std::deque<InputEvent> input_;
  std::vector<Timer> timers_;  // in the order they were set
  UINT_PTR nextThreadTimerId_ = 1;
  std::optional<int> quitCode_;
  std::array<SHORT, 256> keyState_{};
  bool waiting_ = false;
  bool woken_ = false;
  bool released_ = false;
};

// Every thread's queue; a thread gets one the first time it needs it.
class MessageQueues {
 public:
  explicit MessageQueues(Device& device) : device_(device) {}
  ~MessageQueues();

  static MessageQueues& get();
  MessageQueue& of(SimThread& thread);
  MessageQueue* find(const SimThread* thread) const;
  MessageQueue* findById(DWORD threadId) const;
  // The calling simulated thread's queue; null on the driver.
  MessageQueue* current();
  // Every queue made so far, released ones (of ended threads) included.
  std::vector<const MessageQueue*> all() const;

 private:
  Device& device_;
  std::map<const SimThread*, std::unique_ptr<MessageQueue>> queues_;
};

// Sends a message: a direct call on the window's own thread, otherwise queued for it
// while the sender waits (still answering messages sent to it). From the driver the
// device runs until the receiver has answered.
LRESULT SendMessageToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Has the thread of `hwnd` destroy it, as its procedure and a modal loop running
// it need; returns once it is done (or the thread has ended).
void DestroyOnItsThread(HWND hwnd);
// Posts as the system does for a tap, a key, a menu choice or the end of a dialog:
// not a program's call, so no injected failure of PostMessageW meets it (a program's
// failure must not lose what the person did, nor leave a modal loop asleep). False
// when the window is not there.
bool PostFromSystem(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Calls a window's current procedure directly on the calling thread.
LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sim
