// The person's hands on the handheld in the page: the stylus, the keys, typed
// text, the input panel, the Start menu; and the device clock's controls. Input
// takes effect as the device runs its ready threads; time is left to the clock.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "gdi/frame_buffer.h"
#include "key_strokes.h"
#include "scenario/session.h"
#include "text/utf.h"
#include "user/input.h"
#include "user/menu_tracker.h"
#include "user/window.h"
#include "web/json.h"
#include "web/web_session.h"

namespace sim::web {

namespace {

constexpr char16_t kStartMenuFolder[] = u"\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ";
constexpr std::size_t kMaxTypedCharacters = 4096;

bool OnScreen(Device& device, POINT at) {
  return at.x >= 0 && at.y >= 0 && at.x < device.config().screenWidth && at.y < device.config().screenHeight;
}

bool Deliver(POINT at, Gesture gesture) {
  Input& input = Input::get();
  switch (gesture) {
    case Gesture::DoubleTap: return input.secondTap(at);
    case Gesture::Hold: return input.hold(at);
    case Gesture::Tap: break;
  }
  return input.tap(at);
}

// The shortcuts of one Start-menu folder, its folders holding their own.
std::string StartMenuEntries(const std::u16string& folder, int depth) {
  std::string out = "[";
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + u"\\*").c_str(), &found);
  bool first = true;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    std::u16string name = found.cFileName;
    std::u16string path = folder + u"\\" + name;
    bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    bool isShortcut = name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, u".lnk") == 0;
    if (!(isFolder && depth < 2) && !isShortcut) continue;
    out += first ? "" : ",";
    first = false;
    out += "{\"name\":" + JsonString(scenario::Narrow(isShortcut ? name.substr(0, name.size() - 4) : name));
    out += ",\"path\":" + JsonString(scenario::Narrow(path));
    if (isFolder) out += ",\"items\":" + StartMenuEntries(path, depth + 1);
    out += "}";
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return out + "]";
}

}  // namespace

Answer Refused(int status, std::string_view why) { return Answer{status, "{\"error\":" + JsonString(why) + "}"}; }

Answer WebSession::stylus(POINT at, Gesture gesture) {
  if (!OnScreen(device(), at)) return Refused(400, "the point is off the screen");
  std::string what = scenario::Narrow(user().whatIsAt(at));
  TapName name = NameTap(user(), at, gesture);
  const PixelBuffer& screen = FrameBuffer::get().pixels();
  const std::vector<std::uint8_t> before(screen.bits(), screen.bits() + screen.byteSize());
  bool taken = Deliver(at, gesture);
  device().scheduler().runUntilIdle();
  ++inputs_;
  FrameBuffer::get().catchUp();  // the system's own parts, drawn as the page will see them
  const bool changed = !std::equal(before.begin(), before.end(), screen.bits(), screen.bits() + screen.byteSize());
  if (recording_ && taken) recordTap(name, at, gesture);
  // `input` and `changed` let the page tell which picture shows this tap's effect.
  return Answer{200, std::string("{\"taken\":") + (taken ? "true" : "false") + ",\"what\":" + JsonString(what) +
                         ",\"input\":" + std::to_string(inputs_) + ",\"changed\":" + (changed ? "true" : "false") +
                         "}"};
}

Answer WebSession::whatIsAt(POINT at) {
  if (!OnScreen(device(), at)) return Refused(400, "the point is off the screen");
  return Answer{200, "{\"what\":" + JsonString(scenario::Narrow(user().whatIsAt(at))) + "}"};
}

// A menu opened from the menu bar is followed tap by tap: each submenu opened and
// the entry chosen at the end make one `menu` step; any other tap while it is open
// (an entry of a menu behind the innermost, outside the menu) leaves the taps that
// opened it as they were.
void WebSession::recordTap(const TapName& name, POINT at, Gesture gesture) {
  const bool menuOpen = MenuTracker::get().isOpen();
  switch (name.kind) {
    case TapName::Kind::MenuBarButton:
      if (menuOpen) return recorder_.menuOpened(name.text, PositionStep(at, gesture));
      break;
    case TapName::Kind::MenuItem:
      if (recorder_.menuDepth() == name.menuLevel + 1) {
        if (name.opensSubmenu && menuOpen) return recorder_.menuOpened(name.text, name.step);
        if (!name.opensSubmenu && !menuOpen && recorder_.menuChosen(name.text)) return;
      }
      break;
    case TapName::Kind::Position:
    case TapName::Kind::Named:
      break;
  }
  if (gesture == Gesture::DoubleTap)
    recorder_.replaceLastTap(name.step);
  else
    recorder_.add(name.step);
}

Answer WebSession::key(const std::string& name) {
  auto stroke = ParseKeyStroke(name);
  if (!stroke) return Refused(400, "no key is named " + name);
  SendKeyStroke(*stroke);
  device().scheduler().runUntilIdle();
  ++inputs_;
  record("key " + name);
  return Answer{};
}

Answer WebSession::text(const std::string& utf8) {
  auto wide = Utf8ToUtf16(utf8);
  if (!wide || wide->empty() || wide->size() > kMaxTypedCharacters) return Refused(400, "the text is not 1 to 4096 characters of UTF-8");
  if (!WindowSystem::get().foreground()) return Refused(409, "no window in front to type into");
  for (char16_t c : *wide) Input::get().character(c);
  device().scheduler().runUntilIdle();
  ++inputs_;
  if (recording_) recorder_.addTyped(utf8);
  return Answer{};
}

Answer WebSession::inputPanel(bool raised) {
  WindowSystem::get().setInputPanel(raised);
  device().scheduler().runUntilIdle();
  record(raised ? "sip on" : "sip off");
  return Answer{};
}

Answer WebSession::startMenu() {
  std::string programs;
  for (const auto& path : handheld_.installedPrograms())
    if (path.size() > 4 && _wcsicmp(path.c_str() + path.size() - 4, u".exe") == 0)
      programs += (programs.empty() ? "" : ",") + JsonString(scenario::Narrow(path));
  return Answer{200, "{\"shortcuts\":" + StartMenuEntries(kStartMenuFolder, 0) + ",\"programs\":[" + programs + "]}"};
}

Answer WebSession::open(const std::string& path) {
  auto line = StepLine("open", {path});
  if (!line || path.empty() || path.front() != '\\') return Refused(400, "not a device path");
  if (auto problem = runStep(*line, false)) return Refused(409, *problem);
  record(*line);
  return Answer{};
}

Answer WebSession::clockControl(const std::string& action, std::uint64_t ms, std::uint64_t realNow) {
  Scheduler& scheduler = device().scheduler();
  const std::uint64_t before = device().clock().now();
  if (action == "pause") {
    clock_.pause(realNow, before);
  } else if (action == "resume") {
    clock_.resume(realNow, before);
  } else if (action == "advance" && ms > 0 && ms <= 24ull * 3600 * 1000) {
    scheduler.runUntil(before + ms);
  } else if (action == "step") {
    // To the next thing due on the device (a timer, a sleep, a wait's end).
    auto due = scheduler.nextDeadline();
    if (!due) return Refused(409, "nothing is due on the device");
    scheduler.runUntil(std::max(*due, before));
  } else {
    return Refused(400, "the clock knows pause, resume, step and advance (1 ms to a day)");
  }
  const std::uint64_t after = device().clock().now();
  clock_.rebase(realNow, after);
  if (after > before) record("wait " + std::to_string(after - before));
  return Answer{};
}

void WebSession::record(const std::string& line) {
  if (recording_) recorder_.add(line);
}

}  // namespace sim::web
