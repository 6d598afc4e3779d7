#include "scenario/runner.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "handheld.h"
#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "shell/shortcut.h"
#include "text/utf.h"
#include "user.h"
#include "user/msgbox.h"
#include "user/window.h"

namespace sim::scenario {

namespace {

constexpr const char16_t* kChooserPath = u"\\Windows\\chooser.exe";
constexpr const char16_t* kLibraryPath = u"\\Program Files\\Brackenway\\Vornkit.dll";

std::u16string Wide(const std::string& text) {
  auto converted = Utf8ToUtf16(text);
  return converted ? *converted : std::u16string();
}

std::string Narrow(std::u16string_view text) {
  auto converted = Utf16ToUtf8(text);
  return converted ? *converted : std::string("?");
}

std::string Quote(std::u16string_view text) { return "\"" + Narrow(text) + "\""; }

std::string QuoteAll(const std::vector<std::u16string>& texts) {
  std::string out;
  for (const auto& text : texts) out += (out.empty() ? "" : " ") + Quote(text);
  return out.empty() ? "(nothing)" : out;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && _wcsicmp(std::u16string(a).c_str(), std::u16string(b).c_str()) == 0;
}

// The result of one chooser call, shared with the caller program.
struct ChooserResult {
  bool done = false;
  int result = 0;
  std::u16string path;
};

// Why a step did not hold; nothing when it did.
using Check = std::optional<std::string>;

class Runner {
 public:
  Runner(Handheld& handheld, std::ostream& transcript)
      : handheld_(handheld), user_(handheld), transcript_(transcript) {}

  Outcome run(const std::vector<Step>& steps) {
    user_.settle();
    for (const Step& step : steps) {
      transcript_ << "  " << step.line << ": " << step.word;
      for (const auto& arg : step.args) transcript_ << " " << (arg.find(' ') == std::string::npos && !arg.empty() ? arg : "'" + arg + "'");
      transcript_ << "\n";
      Check problem = runStep(step);
      if (problem) {
        transcript_ << "FAILED at line " << step.line << ": " << *problem << "\n";
        return Outcome::Failed;
      }
      if (!user_.settle()) {
        transcript_ << "FAILED at line " << step.line << ": the device did not settle within an hour of device time\n";
        return Outcome::Failed;
      }
    }
    transcript_ << "PASSED (" << steps.size() << " steps)\n";
    return Outcome::Passed;
  }

 private:
  std::u16string arg(const Step& step, size_t i) const { return Wide(step.args[i]); }
  std::vector<std::u16string> args(const Step& step, size_t from, size_t to) const {
    std::vector<std::u16string> out;
    for (size_t i = from; i < to && i < step.args.size(); ++i) out.push_back(Wide(step.args[i]));
    return out;
  }

  static Check Result(std::optional<UserError> error) {
    if (error) return error->message;
    return std::nullopt;
  }

  Check runStep(const Step& step) {
    static const std::map<std::string, Check (Runner::*)(const Step&)> kHandlers = {
        {"screen", &Runner::screen},
        {"folder", &Runner::folder},
        {"file", &Runner::file},
        {"sized", &Runner::sized},
        {"shortcut", &Runner::shortcut},
        {"remove", &Runner::remove},
        {"program", &Runner::program},
        {"fail", &Runner::fail},
        {"start", &Runner::start},
        {"open", &Runner::open},
        {"wait", &Runner::wait},
        {"close", &Runner::close},
        {"tap", &Runner::tap},
        {"choose", &Runner::choose},
        {"tap-item", &Runner::tapItem},
        {"double-tap-item", &Runner::doubleTapItem},
        {"hold-item", &Runner::holdItem},
        {"key", &Runner::key},
        {"type", &Runner::type},
        {"menu", &Runner::menu},
        {"ok", &Runner::ok},
        {"answer", &Runner::answer},
        {"chooser", &Runner::chooser},
        {"version", &Runner::version},
        {"show", &Runner::show},
        {"expect window", &Runner::expectWindow},
        {"expect dialog", &Runner::expectDialog},
        {"expect place", &Runner::expectPlace},
        {"expect text", &Runner::expectText},
        {"expect message", &Runner::expectMessage},
        {"expect no-message", &Runner::expectNoMessage},
        {"expect menu", &Runner::expectMenu},
        {"expect items", &Runner::expectItems},
        {"expect list", &Runner::expectList},
        {"expect row", &Runner::expectRow},
        {"expect columns", &Runner::expectColumns},
        {"expect selected", &Runner::expectSelected},
        {"expect file", &Runner::expectFile},
        {"expect no-file", &Runner::expectNoFile},
        {"expect folder", &Runner::expectFolder},
        {"expect shortcut", &Runner::expectShortcut},
        {"expect clipboard", &Runner::expectClipboard},
        {"expect started", &Runner::expectStarted},
        {"expect no-start", &Runner::expectNoStart},
        {"expect chosen", &Runner::expectChosen},
        {"expect running", &Runner::expectRunning},
        {"expect not-running", &Runner::expectNotRunning},
        {"expect ended", &Runner::expectEnded},
    };
    auto it = kHandlers.find(step.word);
    if (it == kHandlers.end()) return "no handler for '" + step.word + "'";
    return (this->*(it->second))(step);
  }

  // --- device set-up ---
  static bool MakeFolders(const std::u16string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
      if (i != path.size() && path[i] != u'\\') continue;
      std::u16string part = path.substr(0, i);
      if (part.empty() || part == u"\\") continue;
      DWORD attributes = GetFileAttributesW(part.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES && !CreateDirectoryW(part.c_str(), nullptr)) return false;
    }
    return true;
  }
  static std::u16string ParentOf(const std::u16string& path) {
    size_t slash = path.find_last_of(u'\\');
    return slash == std::u16string::npos || slash == 0 ? std::u16string() : path.substr(0, slash);
  }
  static bool WriteWholeFile(const std::u16string& path, const std::string& bytes,
                             std::optional<ULONGLONG> size = {}) {
    if (!ParentOf(path).empty() && !MakeFolders(ParentOf(path))) return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                written == bytes.size());
    if (ok && size) {
      LONG high = static_cast<LONG>(*size >> 32);
      SetLastError(NO_ERROR);
      DWORD low = SetFilePointer(file, static_cast<LONG>(*size & 0xFFFFFFFFu), &high, FILE_BEGIN);
      ok = !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) && SetEndOfFile(file);
    }
    CloseHandle(file);
    return ok;
  }
  static std::optional<std::string> ReadWholeFile(const std::u16string& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
  }
  static bool RemoveTree(const std::u16string& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str());
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((path + u"\\*.*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        RemoveTree(path + u"\\" + found.cFileName);
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    return RemoveDirectoryW(path.c_str());
  }

  Check folder(const Step& step) {
    if (!MakeFolders(arg(step, 0))) return "cannot make the folder " + step.args[0];
    return std::nullopt;
  }
  Check file(const Step& step) {
    if (!WriteWholeFile(arg(step, 0), step.args.size() > 1 ? step.args[1] : std::string()))
      return "cannot write the file " + step.args[0];
    return std::nullopt;
  }
  Check sized(const Step& step) {
    if (!WriteWholeFile(arg(step, 0), std::string(), std::stoull(step.args[1])))
      return "cannot write the file " + step.args[0];
    return std::nullopt;
  }
  Check shortcut(const Step& step) {
    std::u16string path = arg(step, 0);
    std::u16string target = arg(step, 1);
    if (!ParentOf(path).empty()) MakeFolders(ParentOf(path));
    DeleteFileW(path.c_str());
    if (!SHCreateShortcut(path.data(), target.data())) return "cannot write the shortcut " + step.args[0];
    return std::nullopt;
  }
  Check remove(const Step& step) {
    if (!RemoveTree(arg(step, 0))) return "cannot remove " + step.args[0];
    return std::nullopt;
  }
  Check program(const Step& step) {
    ProgramImage image;
    image.path = arg(step, 0);
    image.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; };
    handheld_.device().service<ImageRegistry>().install(std::move(image));
    if (!ParentOf(arg(step, 0)).empty()) MakeFolders(ParentOf(arg(step, 0)));
    if (GetFileAttributesW(arg(step, 0).c_str()) == INVALID_FILE_ATTRIBUTES && !WriteWholeFile(arg(step, 0), ""))
      return "cannot install the program " + step.args[0];
    return std::nullopt;
  }
  // The handheld was booted with the screen the script names; this confirms it.
  Check screen(const Step& step) {
    const DeviceConfig& config = handheld_.device().config();
    if (config.screenWidth == std::stoi(step.args[0]) && config.screenHeight == std::stoi(step.args[1]))
      return std::nullopt;
    return "the handheld was booted with a " + std::to_string(config.screenWidth) + " x " +
           std::to_string(config.screenHeight) + " screen";
  }
  Check fail(const Step& step) {
    handheld_.device().faults().arm(step.args[0], step.args.size() > 1 ? std::stoi(step.args[1]) : 1);
    return std::nullopt;
  }

  // --- acting ---
  Check start(const Step& step) {
    StartProgram(handheld_.device(), arg(step, 0), step.args.size() > 1 ? arg(step, 1) : u"");
    return std::nullopt;
  }
  Check open(const Step& step) {
    std::u16string path = arg(step, 0);
    if (path.size() > 4 && SameIgnoringCase(path.substr(path.size() - 4), u".lnk")) {
      WCHAR target[MAX_PATH] = {};
      if (!SHGetShortcutTarget(path.data(), target, MAX_PATH)) return "cannot read the shortcut " + step.args[0];
      ShortcutCommand command = SplitShortcutTarget(target);
      StartProgram(handheld_.device(), command.program, command.arguments);
    } else {
      StartProgram(handheld_.device(), path, u"");
    }
    return std::nullopt;
  }
  Check wait(const Step& step) {
    user_.wait(static_cast<DWORD>(std::stoul(step.args[0])));
    return std::nullopt;
  }
  Check close(const Step&) { return Result(user_.close()); }
  Check tap(const Step& step) { return Result(user_.tap(arg(step, 0))); }
  Check choose(const Step& step) { return Result(user_.choose(arg(step, 0), arg(step, 1))); }
  Check tapItem(const Step& step) { return Result(user_.touchItem(arg(step, 0), User::ItemGesture::Tap)); }
  Check doubleTapItem(const Step& step) {
    return Result(user_.touchItem(arg(step, 0), User::ItemGesture::DoubleTap));
  }
  Check holdItem(const Step& step) { return Result(user_.touchItem(arg(step, 0), User::ItemGesture::Hold)); }
  Check key(const Step& step) {
    std::string keys;
    for (const auto& a : step.args) keys += a + " ";
    return Result(user_.keys(keys));
  }
  Check type(const Step& step) { return Result(user_.type(arg(step, 0))); }
  Check menu(const Step& step) { return Result(user_.menu(args(step, 0, step.args.size()))); }
  Check ok(const Step&) { return Result(user_.ok()); }
  Check answer(const Step& step) {
    static const std::map<std::string, int> kIds = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
    return Result(user_.answer(kIds.at(step.args[0])));
  }
  Check chooser(const Step& step) {
    int ordinal = step.args[0] == "file" ? 2 : step.args[0] == "folder" ? 3 : 4;
    auto result = std::make_shared<ChooserResult>();
    chosen_ = result;
    HWND owner = user_.foreground();
    std::u16string title = arg(step, 1);
    std::u16string path = arg(step, 2);
    int mustExist = step.args.size() > 3 ? 1 : 0;
    StartFunction(handheld_.device(), kChooserPath, [=]() -> int {
      HMODULE library = LoadLibraryW(kLibraryPath);
      if (!library) return 1;
      WCHAR buffer[MAX_PATH] = {};
      for (size_t i = 0; i < path.size() && i < MAX_PATH - 1; ++i) buffer[i] = path[i];
      FARPROC proc = GetProcAddressW(library, MAKEINTRESOURCEW(ordinal));
      int answer = 0;
      if (ordinal == 4 && proc)
        answer = reinterpret_cast<int (*)(HWND, LPCWSTR, LPWSTR)>(proc)(owner, title.c_str(), buffer);
      else if (proc)
        answer = reinterpret_cast<int (*)(HWND, LPCWSTR, LPWSTR, int)>(proc)(owner, title.c_str(), buffer, mustExist);
      result->result = answer;
      result->path = buffer;
      result->done = true;
      FreeLibrary(library);
      return 0;
    });
    return std::nullopt;
  }
  // The caller program asks the library's version table (ordinal 1) for one entry.
  Check version(const Step& step) {
    auto result = std::make_shared<ChooserResult>();
    chosen_ = result;
    int which = std::stoi(step.args[0]);
    StartFunction(handheld_.device(), kChooserPath, [=]() -> int {
      HMODULE library = LoadLibraryW(kLibraryPath);
      if (!library) return 1;
      FARPROC proc = GetProcAddressW(library, MAKEINTRESOURCEW(1));
      if (proc) {
        result->result = reinterpret_cast<int (*)(int)>(proc)(which);
        result->done = true;
      }
      FreeLibrary(library);
      return proc ? 0 : 1;
    });
    return std::nullopt;
  }
  Check show(const Step&) {
    transcript_ << Narrow(user_.render());
    return std::nullopt;
  }

  // --- expecting ---
  Check expectWindow(const Step& step) {
    HWND top = user_.foreground();
    std::u16string wanted = arg(step, 0);
    if (top && (SameIgnoringCase(User::ClassOf(top), wanted) || User::TextOf(top) == wanted)) return std::nullopt;
    return "expected the window " + step.args[0] + " in front, found " +
           (top ? Quote(User::TextOf(top)) + " [" + Narrow(User::ClassOf(top)) + "]" : std::string("none"));
  }
  Check expectDialog(const Step& step) {
    HWND top = user_.foreground();
    std::u16string cls = top ? User::ClassOf(top) : u"";
    bool dialog = SameIgnoringCase(cls, u"Dialog") || cls == u"#32770";
    if (dialog && User::TextOf(top) == arg(step, 0)) return std::nullopt;
    return "expected the dialog " + Quote(arg(step, 0)) + " in front, found " +
           (top ? Quote(User::TextOf(top)) + " [" + Narrow(cls) + "]" : std::string("none"));
  }
  Check expectPlace(const Step& step) {
    Window* top = WindowSystem::get().find(user_.foreground());
    if (!top) return std::string("no window in front");
    RECT wanted{std::stoi(step.args[0]), std::stoi(step.args[1]), 0, 0};
    wanted.right = wanted.left + std::stoi(step.args[2]);
    wanted.bottom = wanted.top + std::stoi(step.args[3]);
    const RECT& found = top->rect;
    if (found.left == wanted.left && found.top == wanted.top && found.right == wanted.right &&
        found.bottom == wanted.bottom)
      return std::nullopt;
    return "expected the window in front at " + Place(wanted) + ", found it at " + Place(found);
  }
  static std::string Place(const RECT& rect) {
    return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ") " +
           std::to_string(rect.right - rect.left) + " x " + std::to_string(rect.bottom - rect.top);
  }
  Check expectText(const Step& step) {
    HWND control = user_.findControl(arg(step, 0));
    if (!control) return "no control " + step.args[0] + " in the window in front";
    if (User::TextOf(control) == arg(step, 1)) return std::nullopt;
    return "expected the text " + Quote(arg(step, 1)) + " in " + step.args[0] + ", found " + Quote(User::TextOf(control));
  }
  Check expectMessage(const Step& step) {
    const OpenMessageBox* box = MessageBoxes::get().top();
    if (!box) return "expected the message " + Quote(arg(step, 0)) + ", but no message box is open";
    if (box->text != arg(step, 0)) return "expected the message " + Quote(arg(step, 0)) + ", found " + Quote(box->text);
    if (step.args.size() > 1 && box->caption != arg(step, 1))
      return "expected the caption " + Quote(arg(step, 1)) + ", found " + Quote(box->caption);
    return std::nullopt;
  }
  Check expectNoMessage(const Step&) {
    const OpenMessageBox* box = MessageBoxes::get().top();
    if (!box) return std::nullopt;
    return "expected no message box, found " + Quote(box->text);
  }
  Check expectMenu(const Step& step) {
    std::vector<std::u16string> path = args(step, 0, step.args.size() - 1);
    const std::string& state = step.args.back();
    std::vector<std::u16string> parent(path.begin(), path.end() - 1);
    if (parent.empty()) return "name the menu-bar item and the item in its menu";
    if (auto error = user_.openMenu(parent)) return error->message;
    std::optional<MenuEntryView> entry;
    for (const auto& e : user_.openMenuEntries())
      if (!e.separator && e.text == path.back()) entry = e;
    user_.dismissMenu();
    if (!entry) return "the menu has no item " + Quote(path.back());
    bool holds = state == "enabled"   ? !entry->grayed
                 : state == "grayed"  ? entry->grayed
                 : state == "checked" ? entry->checked
                                      : !entry->checked;
    if (holds) return std::nullopt;
    return "expected " + Quote(path.back()) + " " + state + ", found it " + (entry->grayed ? "grayed" : "enabled") +
           " and " + (entry->checked ? "checked" : "unchecked");
  }
  static std::u16string EntryText(const MenuEntryView& entry) { return entry.separator ? u"-" : entry.text; }
  Check expectItems(const Step& step) {
    size_t equals = 0;
    while (step.args[equals] != "=") ++equals;
    if (auto error = user_.openMenu(args(step, 0, equals))) return error->message;
    auto entries = user_.openMenuEntries();
    user_.dismissMenu();
    std::vector<std::u16string> wanted = args(step, equals + 1, step.args.size());
    std::vector<std::u16string> found;
    for (const auto& entry : entries) found.push_back(EntryText(entry));
    bool open = !wanted.empty() && wanted.back() == u"...";
    if (open) wanted.pop_back();
    bool holds = open ? found.size() >= wanted.size() : found.size() == wanted.size();
    for (size_t i = 0; holds && i < wanted.size(); ++i) holds = wanted[i] == u"?" || wanted[i] == found[i];
    if (holds) return std::nullopt;
    return "expected the entries " + QuoteAll(wanted) + (open ? " ..." : "") + ", found " + QuoteAll(found);
  }
  Check expectList(const Step& step) {
    auto found = user_.listItems();
    auto wanted = args(step, 0, step.args.size());
    if (found == wanted) return std::nullopt;
    return "expected the list " + QuoteAll(wanted) + ", found " + QuoteAll(found);
  }
  Check expectColumns(const Step& step) {
    auto found = user_.listColumnHeaders();
    auto wanted = args(step, 0, step.args.size());
    if (found == wanted) return std::nullopt;
    return "expected the column headers " + QuoteAll(wanted) + ", found " + QuoteAll(found);
  }
  Check expectRow(const Step& step) {
    auto row = user_.listRow(arg(step, 0));
    if (!row) return "no list item " + Quote(arg(step, 0));
    auto wanted = args(step, 1, step.args.size());
    bool holds = row->size() >= wanted.size();
    for (size_t i = 0; holds && i < wanted.size(); ++i) holds = wanted[i] == u"?" || wanted[i] == (*row)[i];
    if (holds) return std::nullopt;
    return "expected the row " + QuoteAll(wanted) + ", found " + QuoteAll(*row);
  }
  Check expectSelected(const Step& step) {
    auto wanted = args(step, 0, step.args.size());
    if (user_.findList()) {
      auto found = user_.selectedListItems();
      if (found == wanted) return std::nullopt;
      return "expected the selection " + QuoteAll(wanted) + ", found " + QuoteAll(found);
    }
    auto path = user_.selectedTreePath();
    if (!path) return "the window in front has no list or tree";
    std::u16string want = wanted.empty() ? u"" : wanted.front();
    if (*path == want) return std::nullopt;
    return "expected the tree selection " + Quote(want) + ", found " + Quote(*path);
  }
  Check expectFile(const Step& step) {
    DWORD attributes = GetFileAttributesW(arg(step, 0).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return "expected the file " + step.args[0] + ", found none";
    if (step.args.size() < 2) return std::nullopt;
    auto bytes = ReadWholeFile(arg(step, 0));
    if (bytes && *bytes == step.args[1]) return std::nullopt;
    return "expected the file " + step.args[0] + " to hold \"" + step.args[1] + "\", found \"" + bytes.value_or("") + "\"";
  }
  Check expectNoFile(const Step& step) {
    if (GetFileAttributesW(arg(step, 0).c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return "expected nothing at " + step.args[0] + ", found something";
  }
  Check expectFolder(const Step& step) {
    DWORD attributes = GetFileAttributesW(arg(step, 0).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return "expected the folder " + step.args[0] + ", found none";
  }
  Check expectShortcut(const Step& step) {
    std::u16string path = arg(step, 0);
    WCHAR target[MAX_PATH] = {};
    if (!SHGetShortcutTarget(path.data(), target, MAX_PATH)) return "expected the shortcut " + step.args[0] + ", found none";
    if (std::u16string(target) == arg(step, 1)) return std::nullopt;
    return "expected the shortcut " + step.args[0] + " to point to " + Quote(arg(step, 1)) + ", found " + Quote(target);
  }
  Check expectClipboard(const Step& step) {
    std::u16string wanted;
    for (size_t i = 0; i < step.args.size(); ++i) wanted += (i ? u"\n" : u"") + arg(step, i);
    std::u16string found = user_.clipboardText();
    if (found == wanted) return std::nullopt;
    return "expected the clipboard text " + Quote(wanted) + ", found " + Quote(found);
  }
  std::vector<const StartRecord*> unmatchedStarts() {
    std::vector<const StartRecord*> starts;
    const auto& log = handheld_.device().service<ProcessTable>().startLog();
    for (size_t i = matchedStarts_; i < log.size(); ++i)
      if (!SameIgnoringCase(log[i].application, kChooserPath)) starts.push_back(&log[i]);
    return starts;
  }
  void markMatched(const StartRecord* record) {
    const auto& log = handheld_.device().service<ProcessTable>().startLog();
    matchedStarts_ = static_cast<size_t>(record - log.data()) + 1;
  }
  Check expectStarted(const Step& step) {
    auto starts = unmatchedStarts();
    if (starts.empty()) return "expected a start of " + step.args[0] + ", found no start";
    const StartRecord* first = starts.front();
    if (!SameIgnoringCase(first->application, arg(step, 0)))
      return "expected a start of " + step.args[0] + ", found " + Quote(first->application) + " " + Quote(first->commandLine);
    if (step.args.size() > 1 && first->commandLine != arg(step, 1))
      return "expected the command line " + Quote(arg(step, 1)) + ", found " + Quote(first->commandLine);
    markMatched(first);
    return std::nullopt;
  }
  Check expectNoStart(const Step&) {
    auto starts = unmatchedStarts();
    if (starts.empty()) return std::nullopt;
    return "expected no further start, found " + Quote(starts.front()->application) + " " + Quote(starts.front()->commandLine);
  }
  Check expectChosen(const Step& step) {
    if (!chosen_) return "no chooser was called";
    if (!chosen_->done) return "the chooser has not returned";
    if (std::to_string(chosen_->result) != step.args[0])
      return "expected the result " + step.args[0] + ", found " + std::to_string(chosen_->result);
    if (step.args.size() > 1 && chosen_->path != arg(step, 1))
      return "expected the path " + Quote(arg(step, 1)) + ", found " + Quote(chosen_->path);
    return std::nullopt;
  }
  std::vector<Process*> processesOf(const std::u16string& path, bool running) {
    std::vector<Process*> found;
    for (const auto& process : handheld_.device().service<ProcessTable>().processes())
      if (SameIgnoringCase(process->imagePath, path) && process->ended != running) found.push_back(process.get());
    return found;
  }
  Check expectRunning(const Step& step) {
    if (!processesOf(arg(step, 0), true).empty()) return std::nullopt;
    return "expected " + step.args[0] + " to run, but it does not";
  }
  Check expectNotRunning(const Step& step) {
    if (processesOf(arg(step, 0), true).empty()) return std::nullopt;
    return "expected " + step.args[0] + " not to run, but it does";
  }
  Check expectEnded(const Step& step) {
    auto ended = processesOf(arg(step, 0), false);
    if (ended.empty()) return "expected " + step.args[0] + " to have ended, but none has";
    if (step.args.size() < 2) return std::nullopt;
    for (Process* process : ended)
      if (std::to_string(process->exitCode) == step.args[1]) return std::nullopt;
    return "expected " + step.args[0] + " to end with " + step.args[1] + ", found " + std::to_string(ended.back()->exitCode);
  }

  Handheld& handheld_;
  User user_;
  std::ostream& transcript_;
  std::shared_ptr<ChooserResult> chosen_;
  size_t matchedStarts_ = 0;
};

}  // namespace

Outcome RunSteps(Handheld& handheld, const std::vector<Step>& steps, std::ostream& transcript) {
  return Runner(handheld, transcript).run(steps);
}

}  // namespace sim::scenario
