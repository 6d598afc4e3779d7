// The window system: window records, the class registry, the window tree,
// activation, focus and capture.
//
// A window is a plain record owned by the WindowSystem device service. Handles are
// never reused within a device's life, so a stale HWND can always be told apart from
// a live one. Parts that build controls on top keep their own per-window state with
// Window::state<T>(), which dies with the window (after WM_NCDESTROY).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gdi/region.h"
#include "kernel/handle_records.h"

namespace sim {

class Device;
class SimThread;
struct Process;

struct WindowClass {
  ATOM atom = 0;
  std::u16string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int clsExtra = 0;
  int wndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  LPCWSTR menuName = nullptr;  // as registered (may be an integer resource id)
  Process* process = nullptr;  // registering process; null for system classes
  bool global() const { return (style & CS_GLOBALCLASS) != 0 || process == nullptr; }
};

enum class WindowLife { Creating, Alive, Destroying, Dead };

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<const WindowClass> windowClass;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG id = 0;  // GWL_ID: a child's id (given through hMenu)
  HINSTANCE instance = nullptr;
  LONG userData = 0;
  std::map<int, LONG> extra;  // window extra bytes, by index (DWL_* never overlap)
  std::u16string text;
  // Window rectangle: in the parent's client coordinates for a child, screen
  // coordinates for a top-level window. The client area lies inside the frame its
  // styles give it (user/nonclient.h).
  RECT rect{};
  Window* parent = nullptr;  // WS_CHILD windows only
  Window* owner = nullptr;   // top-level windows only
  std::vector<Window*> children;  // z-order, topmost first
  SimThread* thread = nullptr;    // the thread that created it; its procedure runs there
  Process* process = nullptr;
  // The process that put each procedure on this window (a replacement window
  // procedure, a dialog procedure), when it is not the class's own; putting an old
  // one back keeps its owner. A program's end leaves its procedures pointing at code
  // that is gone.
  std::map<const void*, Process*> procedureOwners;
  WindowLife life = WindowLife::Creating;

  // --- painting (user/paint.cpp) ---
  Region update;                 // client pixels waiting for WM_PAINT, client coordinates
  bool eraseBackground = false;  // the next BeginPaint sends WM_ERASEBKGND
  bool redrawOff = false;        // WM_SETREDRAW FALSE: nothing of it is invalidated or painted
  bool shellFrame = false;       // a full-screen dialog: no frame of its own, its title in the navigation bar
  // Insets (left, top, right, bottom) of a part inside the window that shows what
  // lies beneath it (a group box's inside); none for a solid window.
  std::optional<RECT> seeThrough;

  // A window stays usable while it is being destroyed (WM_DESTROY handlers still
  // read and change it).
  bool alive() const { return life != WindowLife::Dead; }
  bool isChild() const { return (style & WS_CHILD) != 0 && parent != nullptr; }
  int width() const { return static_cast<int>(rect.right - rect.left); }
  int height() const { return static_cast<int>(rect.bottom - rect.top); }

  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  ~Window() { dropStates(); }

  // State a part of the platform keeps for this window (a control's record), made
  // on first use.
  template <class T>
  T& state() {
    if (T* known = findState<T>()) return *known;
    auto made = std::make_unique<T>();
    addState(StateSlot{&kStateTag<T>, made.get(), [](void* object) { delete static_cast<T*>(object); }});
    return *made.release();
  }
  template <class T>
  T* findState() {
    return static_cast<T*>(stateTagged(&kStateTag<T>));
  }
  // Deletes the states, the newest first.
  void dropStates();

 private:
  // Every message to a control looks its state up and every control makes one, so
  // the few states of a window are kept in the record and found by a tag per type:
  // no hashing of type names and no allocation beyond the state itself.
  struct StateSlot {
    const void* tag = nullptr;
    void* object = nullptr;
    void (*destroy)(void*) = nullptr;
  };
  template <class T>
  static constexpr char kStateTag = 0;
  static constexpr std::size_t kInlineStates = 4;

  void* stateTagged(const void* tag) const;
  void addState(StateSlot slot);

  std::array<StateSlot, kInlineStates> states_{};
  std::size_t stateCount_ = 0;          // of states_ in use
  std::vector<StateSlot> moreStates_;  // those beyond the first few
};

// Input panel (soft keyboard) state; raising it shrinks the work area.
struct InputPanel {
  bool raised = false;
  int height = 80;
};

class WindowSystem {
 public:
  explicit WindowSystem(Device& device);
  ~WindowSystem();
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  // The window system of the current device.
  static WindowSystem& get();

  // --- handles ---
  // The live window of `hwnd`, or null; silent (for IsWindow and the automation layer).
  Window* find(HWND hwnd) const;
  // The live window of `hwnd`; for a destroyed or unknown handle sets
  // ERROR_INVALID_WINDOW_HANDLE and gives null. As on the device, a call given a
  // window that is gone just fails: window handles are checked by the system, and
  // a window of another program may go at any time.
  Window* checked(HWND hwnd, const char* operation);

  // --- classes (names compare ignoring case) ---
  // The class a process sees under `name`: its own first, then global ones.
  std::shared_ptr<const WindowClass> findClass(std::u16string_view name, Process* process);
  std::shared_ptr<const WindowClass> findClass(ATOM atom, Process* process);
  // 0 and an error code when the class exists already for that process.
  ATOM registerClass(const WNDCLASSW& wc, Process* process, DWORD* error);
  bool unregisterClass(std::u16string_view name, Process* process, DWORD* error);

  // --- the window tree ---
  // Creates the record (not yet announced to the window) and links it into the tree.
  Window& createRecord(std::shared_ptr<const WindowClass> cls, DWORD exStyle, DWORD style, Window* parent,
                       Window* owner, SimThread* thread, Process* process);
  // Unlinks a window whose WM_NCDESTROY has been delivered and marks it dead.
  void retire(Window& window);
  // Top-level windows in z-order, topmost first (visible or not).
  const std::vector<Window*>& topLevel() const { return topLevel_; }
  // Raises a top-level window (and the windows it owns above it).
  void bringToTop(Window& window);
  // Live windows created by a thread (children before parents are not guaranteed).
  std::vector<Window*> windowsOfThread(const SimThread* thread) const;
  std::vector<Window*> windowsOfProcess(const Process* process) const;

  // Top-left of a window's client area on the screen.
  POINT clientOrigin(const Window& window) const;
  // The window's rectangle (frame included) and its client area, on the screen.
  RECT screenRect(const Window& window) const;
  RECT clientScreenRect(const Window& window) const;
  // Visible means the window and all its parents have WS_VISIBLE.
  bool visible(const Window& window) const;
  bool enabled(const Window& window) const;
  // Whether a screen point lies on the window itself (not on a part of it that
  // shows what lies beneath).
  bool covers(const Window& window, POINT screen) const;
  // The deepest visible, enabled window under a screen point (top-level windows in
  // z-order, then their children); null when there is none.
  Window* windowFromPoint(POINT screen) const;

  // --- activation ---
  Window* foreground() const { return find(foreground_); }
  void setForegroundHandle(HWND hwnd) { foreground_ = hwnd; }
  Window* capture() const { return find(capture_); }
  void setCaptureHandle(HWND hwnd) { capture_ = hwnd; }

  // --- screen ---
  int screenWidth() const { return screenWidth_; }
  int screenHeight() const { return screenHeight_; }
  bool vga() const { return screenWidth_ >= 480; }
  static constexpr int kTitleBarHeight = 26;
  static constexpr int kMenuBarHeight = 26;
  int scale() const { return vga() ? 2 : 1; }
  // The screen less the title bar, the menu bar and a raised input panel.
  RECT workArea() const;
  const InputPanel& inputPanel() const { return inputPanel_; }
  // Raises or lowers the input panel and tells every top-level window
  // (WM_SETTINGCHANGE, SPI_SETSIPINFO). Call from a simulated thread.
  void setInputPanel(bool raised);

  // --- thread and process ends ---
  // Destroys the windows of a thread that is ending (called on that thread).
  void threadEnding(SimThread& thread);
  // True while `thread` is destroying its windows because it ends.
  bool ending(const SimThread* thread) const { return thread && thread == endingThread_; }
  void processEnding(Process& process);

 private:
  void ensureSystemClasses();

  Device& device_;
  HandleRecords<Window> windows_;
  mutable std::uintptr_t recentHandle_ = 0;  // see find()
  mutable Window* recent_ = nullptr;
  std::uintptr_t nextHandle_ = 0x10010;
  std::vector<std::shared_ptr<WindowClass>> classes_;
  ATOM nextAtom_ = 0xC001;
  std::vector<Window*> topLevel_;
  HWND foreground_ = nullptr;
  HWND capture_ = nullptr;
  int screenWidth_;
  int screenHeight_;
  InputPanel inputPanel_;
  bool systemClassesRegistered_ = false;
  bool registeringSystemClasses_ = false;
  const SimThread* endingThread_ = nullptr;
};

// --- helpers shared by the window part ---
Process* CurrentProcessOfThread();
// Sets the caller's last error and gives `result`.
template <class T>
T Fail(DWORD error, T result) {
  SetLastError(error);
  return result;
}

// True, with the misuse reported, when `proc` is the code of an ended program as far
// as `window` knows: `call` was about to run it for `message`, which on the device
// crashes the calling thread.
bool IntoEndedProgram(const char* call, const Window& window, WNDPROC proc, UINT message);

// Sends WM_DESTROY/WM_NCDESTROY and removes the window; the caller runs on the
// window's thread. Returns false when the window is already being destroyed.
bool DestroyWindowTree(Window& window);

// Has the window part told when processes end (by the kernel's process table).
void WatchProcessEnds(WindowSystem& windows);
DWORD ProcessIdOf(const Process* process);

// A procedure of a window runs with the data of the process it came from
// (kernel/process_data.h): the one that put it on the window, or for the class's
// procedure the process that registered the class; null for the platform's own.
Process* ProcedureOwner(const Window& window, const void* procedure);
// Notes that the calling code's process puts `procedure` on the window; the first
// live process to put an address there keeps it, and the class's procedure stays the
// class's.
void RecordProcedureOwner(Window& window, const void* procedure);

// Makes a top-level window the foreground window and raises it. Its thread activates
// it at once when it is the caller, otherwise when it next pulls messages.
void ActivateTopLevel(Window& window);
// Activation on the window's own thread: WM_ACTIVATE to the old and the new active
// window of the thread; the new one then takes the focus (DefWindowProcW).
void ActivateOnOwnThread(HWND hwnd);
// The top-level window a window belongs to.
Window& TopLevelOf(Window& window);

// Error of UnregisterClassW while windows of the class exist.
constexpr DWORD kErrorClassHasWindows = 1412;

}  // namespace sim
