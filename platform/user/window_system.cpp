#include "user/window.h"

#include <algorithm>

#include "kernel/device.h"
#include "kernel/process.h"
#include "user/message_queue.h"
#include "user/nonclient.h"
#include "user/paint_messages.h"
#include "user/screen_layout.h"
#include "user/system_classes.h"
#include "user/window_text.h"

namespace sim {

WindowSystem::WindowSystem(Device& device)
    : device_(device), screenWidth_(device.config().screenWidth), screenHeight_(device.config().screenHeight) {
  inputPanel_.height = 80 * scale();
  WatchProcessEnds(*this);
  InstallWindowContexts();
}

// At shutdown every thread has ended: records go without messages.
WindowSystem::~WindowSystem() = default;

WindowSystem& WindowSystem::get() { return Device::current().service<WindowSystem>(); }

// A window is looked up by handle at nearly every call, mostly the same one many
// times in a row: the last one found is kept beside the list.
Window* WindowSystem::find(HWND hwnd) const {
  const auto key = reinterpret_cast<std::uintptr_t>(hwnd);
  if (key != recentHandle_ || recent_ == nullptr) {
    Window* found = windows_.find(key);
    if (found == nullptr) return nullptr;
    recentHandle_ = key;
    recent_ = found;
  }
  return recent_->alive() ? recent_ : nullptr;
}

Window* WindowSystem::checked(HWND hwnd, const char* /*operation*/) {
  if (Window* window = find(hwnd)) return window;
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return nullptr;
}

// --- per-window states ---

void* Window::stateTagged(const void* tag) const {
  for (std::size_t i = 0; i < stateCount_; ++i)
    if (states_[i].tag == tag) return states_[i].object;
  for (const StateSlot& slot : moreStates_)
    if (slot.tag == tag) return slot.object;
  return nullptr;
}

void Window::addState(StateSlot slot) {
  if (stateCount_ < kInlineStates)
    states_[stateCount_++] = slot;
  else
    moreStates_.push_back(slot);
}

// Each state is taken off the list before it is deleted: a state's destructor may
// still look up the others.
void Window::dropStates() {
  for (;;) {
    StateSlot last;
    if (!moreStates_.empty()) {
      last = moreStates_.back();
      moreStates_.pop_back();
    } else if (stateCount_ > 0) {
      last = states_[--stateCount_];
    } else {
      return;
    }
    last.destroy(last.object);
  }
}

// --- classes ---

void WindowSystem::ensureSystemClasses() {
  if (systemClassesRegistered_ || registeringSystemClasses_) return;
  registeringSystemClasses_ = true;
  RegisterSystemClasses();
  registeringSystemClasses_ = false;
  systemClassesRegistered_ = true;
}

std::shared_ptr<const WindowClass> WindowSystem::findClass(std::u16string_view name, Process* process) {
  ensureSystemClasses();
  std::shared_ptr<const WindowClass> global;
  for (const auto& cls : classes_) {
    if (!EqualsIgnoringCase(cls->name, name)) continue;
    if (cls->process == process && process) return cls;
    if (cls->global() && !global) global = cls;
  }
  return global;
}

std::shared_ptr<const WindowClass> WindowSystem::findClass(ATOM atom, Process* process) {
  ensureSystemClasses();
  for (const auto& cls : classes_)
    if (cls->atom == atom && (cls->global() || cls->process == process)) return cls;
  return nullptr;
}

ATOM WindowSystem::registerClass(const WNDCLASSW& wc, Process* process, DWORD* error) {
  ensureSystemClasses();
  const bool global = (wc.style & CS_GLOBALCLASS) != 0 || registeringSystemClasses_;
  if (!wc.lpszClassName || IS_INTRESOURCE(wc.lpszClassName) || !wc.lpfnWndProc || wc.cbClsExtra < 0 ||
      wc.cbWndExtra < 0) {
    *error = ERROR_INVALID_PARAMETER;
    return 0;
  }
  std::u16string_view name(wc.lpszClassName);
  for (const auto& cls : classes_) {
    if (!EqualsIgnoringCase(cls->name, name)) continue;
    // A program's own class may carry the name of a global one; two of one
    // process, or two global ones, may not.
    if (cls->process == (global ? nullptr : process) || (global && cls->global())) {
      *error = ERROR_CLASS_ALREADY_EXISTS;
      return 0;
    }
  }
  auto cls = std::make_shared<WindowClass>();
  cls->atom = nextAtom_++;
  cls->name = std::u16string(name);
  cls->style = wc.style;
  cls->proc = wc.lpfnWndProc;
  cls->clsExtra = wc.cbClsExtra;
  cls->wndExtra = wc.cbWndExtra;
  cls->instance = wc.hInstance;
  cls->icon = wc.hIcon;
  cls->cursor = wc.hCursor;
  cls->background = wc.hbrBackground;
  cls->menuName = wc.lpszMenuName;
  cls->process = registeringSystemClasses_ ? nullptr : process;
  classes_.push_back(cls);
  return cls->atom;
}

bool WindowSystem::unregisterClass(std::u16string_view name, Process* process, DWORD* error) {
  auto it = std::find_if(classes_.begin(), classes_.end(), [&](const auto& cls) {
    return EqualsIgnoringCase(cls->name, name) && (cls->process == process || cls->global());
  });
  if (it == classes_.end()) {
    *error = ERROR_CLASS_DOES_NOT_EXIST;
    return false;
  }
  for (const auto& [handle, window] : windows_)
    if (window->alive() && window->windowClass == *it) {
      *error = kErrorClassHasWindows;
      return false;
    }
  classes_.erase(it);
  return true;
}

// --- the tree ---

Window& WindowSystem::createRecord(std::shared_ptr<const WindowClass> cls, DWORD exStyle, DWORD style,
                                   Window* parent, Window* owner, SimThread* thread, Process* process) {
  auto owned = std::make_unique<Window>();
  Window& window = *owned;
  window.handle = reinterpret_cast<HWND>(nextHandle_);
  nextHandle_ += 4;
  window.proc = cls->proc;
  window.windowClass = std::move(cls);
  window.style = style;
  window.exStyle = exStyle;
  window.parent = parent;
  window.owner = owner;
  window.thread = thread;
  window.process = process;
  windows_.add(reinterpret_cast<std::uintptr_t>(window.handle), std::move(owned));
  if (parent) {
    // New children go to the bottom of the z-order: GW_CHILD gives the first created.
    parent->children.push_back(&window);
  } else {
    topLevel_.insert(topLevel_.begin(), &window);
  }
  return window;
}

void WindowSystem::retire(Window& window) {
  window.life = WindowLife::Dead;
  if (window.parent) {
    auto& siblings = window.parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), &window), siblings.end());
  } else {
    topLevel_.erase(std::remove(topLevel_.begin(), topLevel_.end(), &window), topLevel_.end());
  }
  for (auto& [handle, other] : windows_) {
    if (other->owner == &window) other->owner = nullptr;
    if (other->parent == &window) other->parent = nullptr;
  }
  if (foreground_ == window.handle) foreground_ = nullptr;
  if (capture_ == window.handle) capture_ = nullptr;
  window.dropStates();
  if (recent_ == &window) recent_ = nullptr;
  windows_.take(reinterpret_cast<std::uintptr_t>(window.handle));
}

namespace {

bool OwnedBy(const Window& window, const Window& owner) {
  for (const Window* o = window.owner; o; o = o->owner)
    if (o == &owner) return true;
  return false;
}

}  // namespace

void WindowSystem::bringToTop(Window& window) {
  ScreenChange change;
  if (window.parent) {
    auto& siblings = window.parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), &window), siblings.end());
    siblings.insert(siblings.begin(), &window);
    return;
  }
  // The window goes to the top; the windows it owns stay above it, in their order.
  // The list is reordered where it is, as this runs at every activation.
  topLevel_.erase(std::remove(topLevel_.begin(), topLevel_.end(), &window), topLevel_.end());
  auto ownedEnd = topLevel_.begin();
  for (auto it = topLevel_.begin(); it != topLevel_.end(); ++it)
    if (OwnedBy(**it, window)) std::rotate(ownedEnd++, it, it + 1);
  topLevel_.insert(ownedEnd, &window);
}

std::vector<Window*> WindowSystem::windowsOfThread(const SimThread* thread) const {
  std::vector<Window*> result;
  for (const auto& [handle, window] : windows_)
    if (window->alive() && window->thread == thread) result.push_back(window.get());
  return result;
}

std::vector<Window*> WindowSystem::windowsOfProcess(const Process* process) const {
  std::vector<Window*> result;
  for (const auto& [handle, window] : windows_)
    if (window->alive() && window->process == process) result.push_back(window.get());
  return result;
}

RECT WindowSystem::screenRect(const Window& window) const {
  POINT origin{0, 0};
  if (window.isChild()) origin = clientOrigin(*window.parent);
  return RECT{origin.x + window.rect.left, origin.y + window.rect.top, origin.x + window.rect.right,
              origin.y + window.rect.bottom};
}

POINT WindowSystem::clientOrigin(const Window& window) const {
  RECT outer = screenRect(window);
  RECT client = ClientAreaOf(window);
  return POINT{outer.left + client.left, outer.top + client.top};
}

RECT WindowSystem::clientScreenRect(const Window& window) const {
  RECT outer = screenRect(window);
  RECT client = ClientAreaOf(window);
  return RECT{outer.left + client.left, outer.top + client.top, outer.left + client.right,
              outer.top + client.bottom};
}

bool WindowSystem::visible(const Window& window) const {
  for (const Window* w = &window; w; w = w->isChild() ? w->parent : nullptr)
    if (!(w->style & WS_VISIBLE)) return false;
  return true;
}

bool WindowSystem::enabled(const Window& window) const { return !(window.style & WS_DISABLED); }

namespace {
bool contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
}  // namespace

bool WindowSystem::covers(const Window& window, POINT screen) const {
  RECT outer = screenRect(window);
  if (!contains(outer, screen)) return false;
  if (!window.seeThrough) return true;
  const RECT& in = *window.seeThrough;
  return !contains(RECT{outer.left + in.left, outer.top + in.top, outer.right - in.right, outer.bottom - in.bottom},
                   screen);
}

Window* WindowSystem::windowFromPoint(POINT screen) const {
  // The system's surfaces above the windows (menus, input panel, navigation bar)
  // take the points they cover.
  if (SystemSurface* surface = ScreenLayout::get().surfaceAt(screen); surface && surface->layer() >= 0) return nullptr;
  for (Window* top : topLevel_) {
    if (!(top->style & WS_VISIBLE) || !contains(screenRect(*top), screen)) continue;
    Window* hit = top;
    for (bool descended = true; descended;) {
      descended = false;
      if (!contains(clientScreenRect(*hit), screen)) break;
      for (Window* child : hit->children) {
        if (!(child->style & WS_VISIBLE) || !enabled(*child) || !covers(*child, screen)) continue;
        hit = child;
        descended = true;
        break;
      }
    }
    return hit;
  }
  return nullptr;
}

// --- screen ---

RECT WindowSystem::workArea() const {
  const int s = scale();
  RECT area{0, kTitleBarHeight * s, screenWidth_, screenHeight_ - kMenuBarHeight * s};
  if (inputPanel_.raised) area.bottom -= inputPanel_.height;
  return area;
}

void WindowSystem::setInputPanel(bool raised) {
  if (inputPanel_.raised == raised) return;
  {
    ScreenChange change;
    inputPanel_.raised = raised;
  }
  std::vector<HWND> targets;
  for (Window* w : topLevel_) targets.push_back(w->handle);
  for (HWND hwnd : targets)
    if (find(hwnd)) SendMessageToWindow(hwnd, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
}

// --- ends ---

void WindowSystem::threadEnding(SimThread& thread) {
  // What the thread's program did not destroy itself is counted as left behind.
  if (Process* process = thread.process()) process->remains.windows += windowsOfThread(&thread).size();
  const SimThread* outer = endingThread_;
  endingThread_ = &thread;
  // Top-level windows first: destroying one takes its children and owned windows.
  for (;;) {
    auto mine = windowsOfThread(&thread);
    if (mine.empty()) break;
    Window* root = mine.front();
    for (Window* w : mine)
      if (!w->isChild()) root = w;
    if (!DestroyWindowTree(*root)) break;
  }
  endingThread_ = outer;
  if (MessageQueue* queue = MessageQueues::get().find(&thread)) queue->release();
}

void WindowSystem::processEnding(Process& process) {
  const SimThread* outer = endingThread_;
  endingThread_ = Scheduler::current();
  for (;;) {
    auto mine = windowsOfProcess(&process);
    if (mine.empty()) break;
    Window* root = mine.front();
    for (Window* w : mine)
      if (!w->isChild()) root = w;
    if (!DestroyWindowTree(*root)) break;
  }
  endingThread_ = outer;
  // What remains of its windows (another thread's, already ended) and its own
  // classes go with it.
  {
    ScreenChange change;
    for (Window* w : windowsOfProcess(&process)) retire(*w);
  }
  std::erase_if(classes_, [&](const auto& cls) { return cls->process == &process; });
}

}  // namespace sim
