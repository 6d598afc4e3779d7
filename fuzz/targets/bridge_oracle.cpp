#include "bridge_oracle.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "text/utf.h"

namespace fuzz {
namespace {

using Problem = std::optional<std::string>;

std::string Show(std::u16string_view text) { return "'" + sim::Utf16ToUtf8Replacing(text).text + "'"; }

std::string Show(const std::vector<std::u16string>& texts) {
  std::string shown = "[";
  for (const auto& text : texts) shown += (shown.size() > 1 ? ", " : "") + Show(text);
  return shown + "]";
}

std::string Show(const std::vector<UserEvent>& events) {
  std::string shown;
  for (const auto& event : events)
    shown += std::string(event.kind == UserEvent::Kind::PasteQuestion ? "\n    paste? " : "\n    box: ") +
             Show(event.text);
  return shown.empty() ? " (none)" : shown;
}

std::u16string Quoted(const std::u16string& path) { return u"\"" + path + u"\""; }

// The forms a selected item may take when it reaches an action: as expected, or,
// with the existence test made to fail, with one character dropped.
std::vector<std::vector<std::u16string>> Forms(const BridgeExpectation& expected, bool testMayFail) {
  std::vector<std::vector<std::u16string>> forms;
  for (std::size_t i = 0; i < expected.acted.size(); ++i) {
    forms.push_back({expected.acted[i]});
    if (testMayFail && expected.actedIfTestFails[i] != expected.acted[i])
      forms.back().push_back(expected.actedIfTestFails[i]);
  }
  return forms;
}

// True when `seen`, in order, are each one form of a different item, the items in
// block order (each item giving at most one). Taking the earliest item that fits is
// never worse than a later one.
template <class T>
bool InOrder(const std::vector<T>& seen, const std::vector<std::vector<std::u16string>>& forms,
             const std::function<bool(const T&, const std::u16string&)>& fits) {
  std::size_t item = 0;
  for (const T& one : seen) {
    auto fitsItem = [&](std::size_t i) {
      for (const auto& form : forms[i])
        if (fits(one, form)) return true;
      return false;
    };
    while (item < forms.size() && !fitsItem(item)) ++item;
    if (item == forms.size()) return false;
    ++item;
  }
  return true;
}

// True when `text` is one form of every item, joined by line feeds.
bool WholeJoin(const std::u16string& text, const std::vector<std::vector<std::u16string>>& forms) {
  if (forms.empty()) return text.empty();
  std::vector<std::size_t> reachable{0};  // positions in `text` after the items so far
  for (std::size_t i = 0; i < forms.size() && !reachable.empty(); ++i) {
    std::vector<std::size_t> next;
    for (std::size_t at : reachable)
      for (const auto& form : forms[i]) {
        std::u16string piece = (i == 0 ? u"" : u"\n") + form;
        if (text.compare(at, piece.size(), piece) == 0 && at + piece.size() <= text.size()) next.push_back(at + piece.size());
      }
    std::sort(next.begin(), next.end());
    next.erase(std::unique(next.begin(), next.end()), next.end());
    reachable = std::move(next);
  }
  return std::find(reachable.begin(), reachable.end(), text.size()) != reachable.end();
}

bool OnlyFileList(const BridgeObservation& seen) { return seen.blockKept && seen.clipboardFormats.size() == 1; }

Problem ExactPathList(const BridgeExpectation& expected, const BridgeObservation& seen) {
  if (seen.clipboardFormats != std::vector<UINT>{CF_UNICODETEXT})
    return "the clipboard does not hold the path list alone (" + std::to_string(seen.clipboardFormats.size()) +
           " formats)";
  if (seen.clipboardText != expected.clipboardText)
    return "path list " + Show(seen.clipboardText.value_or(u"<none>")) + ", expected " +
           Show(expected.clipboardText);
  return std::nullopt;
}

Problem ExactStarts(const BridgeExpectation& expected, const BridgeObservation& seen, const std::u16string& target) {
  std::vector<std::u16string> lines;
  for (const auto& start : seen.starts) {
    if (start.application != target || start.error != 0)
      return "a start of " + Show(start.application) + " with error " + std::to_string(start.error);
    lines.push_back(start.commandLine);
  }
  if (lines != expected.commandLines)
    return "Send-To command lines " + Show(lines) + ", expected " + Show(expected.commandLines);
  return std::nullopt;
}

Problem ExactPaste(const BridgeExpectation& expected, const BridgeObservation& seen) {
  if (seen.events != expected.events)
    return "the user saw" + Show(seen.events) + "\n  expected" + Show(expected.events);
  for (const auto& [key, file] : seen.shortcuts) {
    auto wanted = expected.shortcuts.find(key);
    if (wanted == expected.shortcuts.end()) return "an unexpected shortcut " + Show(file.first);
    if (file.first != wanted->second.first || file.second != wanted->second.second)
      return "shortcut " + Show(file.first) + " -> " + Show(file.second.value_or(u"<unreadable>")) + ", expected " +
             Show(wanted->second.first) + " -> " + Show(wanted->second.second);
  }
  if (seen.shortcuts.size() != expected.shortcuts.size())
    return "only " + std::to_string(seen.shortcuts.size()) + " of " + std::to_string(expected.shortcuts.size()) +
           " shortcuts were written";
  return std::nullopt;
}

Problem Exact(const BridgeRequest& request, const BridgeExpectation& expected, const BridgeObservation& seen,
              const std::u16string& target) {
  if (request.action != kSendTo && !seen.starts.empty()) return "a program was started";
  if (request.action != kPasteShortcut && !seen.shortcuts.empty()) return "a shortcut was written";
  if (request.action != kPasteShortcut && !seen.events.empty()) return "the user was asked" + Show(seen.events);
  if (request.action != kPathToClipboard && !OnlyFileList(seen)) return "the file list left the clipboard";
  switch (request.action) {
    case kPathToClipboard: return ExactPathList(expected, seen);
    case kSendTo: return ExactStarts(expected, seen, target);
    default: return ExactPaste(expected, seen);
  }
}

Problem PartialPathList(const BridgeExpectation& expected, const BridgeObservation& seen, bool testMayFail) {
  if (seen.clipboardFormats.empty() || OnlyFileList(seen)) return std::nullopt;  // nothing placed
  if (seen.clipboardFormats != std::vector<UINT>{CF_UNICODETEXT} || !seen.clipboardText)
    return "the clipboard holds neither the file list nor the path list alone";
  if (!WholeJoin(*seen.clipboardText, Forms(expected, testMayFail)))
    return "a partial path list " + Show(*seen.clipboardText) + ", expected " + Show(expected.clipboardText);
  return std::nullopt;
}

Problem PartialStarts(const BridgeRequest& request, const BridgeExpectation& expected, const BridgeObservation& seen,
                      const BridgeFault& fault, const std::u16string& target, bool testMayFail) {
  for (const auto& start : seen.starts)
    if (start.application != target || (start.error != 0 && fault.operation != "CreateProcessW"))
      return "a start of " + Show(start.application) + " with error " + std::to_string(start.error);
  std::function<bool(const sim::StartRecord&, const std::u16string&)> fits = [&](const auto& start, const auto& path) {
    return start.commandLine == (request.passUnquoted ? path : Quoted(path));
  };
  if (!InOrder(seen.starts, Forms(expected, testMayFail), fits))
    return "a Send-To command line that is no selected item's, in " + std::to_string(seen.starts.size()) + " starts";
  return std::nullopt;
}

Problem PartialPaste(const BridgeExpectation& expected, const BridgeObservation& seen, const BridgeFault& fault,
                     bool testMayFail) {
  auto forms = Forms(expected, testMayFail);
  bool textMayFail = fault.operation == "SetWindowTextW" || fault.operation == "SetDlgItemTextW";
  std::vector<std::u16string> asked;
  for (const auto& event : seen.events)
    if (event.kind == UserEvent::Kind::PasteQuestion && !textMayFail) asked.push_back(event.text);
  std::function<bool(const std::u16string&, const std::u16string&)> same = [](const auto& a, const auto& b) {
    return a == b;
  };
  if (!InOrder(asked, forms, same)) return "a paste question about no selected item:" + Show(seen.events);
  for (const auto& [key, file] : seen.shortcuts) {
    if (!file.second) return "a partial shortcut " + Show(file.first);
    bool known = false;
    for (const auto& itemForms : forms)
      for (const auto& path : itemForms)
        known = known || (FoldedName(ShortcutNameFor(path) + u".lnk") == key && *file.second == Quoted(path));
    if (!known) return "shortcut " + Show(file.first) + " -> " + Show(*file.second) + " is no selected item's";
  }
  return std::nullopt;
}

}  // namespace

Problem CompareBridge(const BridgeRequest& request, const std::optional<BridgeFault>& fault,
                      const BridgeExpectation& expected, const BridgeObservation& seen,
                      const std::u16string& sendToTarget) {
  Problem exact = Exact(request, expected, seen, sendToTarget);
  if (!exact || !fault) return exact;
  bool testMayFail = fault->operation == "GetFileAttributesW";
  if (request.action != kSendTo && !seen.starts.empty()) return "a program was started";
  if (request.action != kPasteShortcut && !seen.shortcuts.empty()) return "a shortcut was written";
  if (request.action != kPathToClipboard && !OnlyFileList(seen)) return "the file list left the clipboard";
  switch (request.action) {
    case kPathToClipboard: return PartialPathList(expected, seen, testMayFail);
    case kSendTo: return PartialStarts(request, expected, seen, *fault, sendToTarget, testMayFail);
    default: return PartialPaste(expected, seen, *fault, testMayFail);
  }
}

}  // namespace fuzz
