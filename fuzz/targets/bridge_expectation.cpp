#include "bridge_expectation.h"

#include <algorithm>

#include "fs/names.h"
#include "shell/shortcut.h"
#include "text/utf.h"

namespace fuzz {
namespace {

constexpr std::size_t kPathBuffer = 260;       // characters, terminator included
constexpr std::size_t kCommandLineBuffer = 262;
constexpr std::size_t kHostNameBytes = 255;

bool Reserved(char16_t c) {
  return c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos;
}

bool HasLoneSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
    bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
    if (low) return true;
    if (high && !(i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)) return true;
    if (high) ++i;
  }
  return false;
}

std::u16string Quoted(const std::u16string& path) { return u"\"" + path + u"\""; }

// The shortcut paste of one path, as the user sees it and as it leaves the folder.
class PasteModel {
 public:
  PasteModel(const BridgeRequest& request, BridgeExpectation& out) : request_(request), out_(out) {}

  const std::vector<std::u16string>& written() const { return written_; }

  void paste(const std::u16string& path) {
    out_.events.push_back({UserEvent::Kind::PasteQuestion, path});
    std::u16string name = ShortcutNameFor(path) + u".lnk";
    std::u16string link = request_.shortcutFolder + name;
    std::u16string target = Quoted(path);
    if (link.size() >= kPathBuffer || target.size() >= kPathBuffer) return failed();
    if (FoldedName(link) == FoldedName(path)) return failed();  // it would replace itself
    auto existing = out_.shortcuts.find(FoldedName(name));
    if (existing != out_.shortcuts.end()) {
      out_.events.push_back({UserEvent::Kind::MessageBox, std::u16string(kOverwriteText)});
      if (request_.declineOverwrite) return;
    }
    if (!ShortcutWritable(name, target)) return failed();
    if (existing != out_.shortcuts.end()) out_.shortcuts.erase(existing);
    out_.shortcuts[FoldedName(name)] = {name, target};
    written_.push_back(name);
  }

 private:
  void failed() { out_.events.push_back({UserEvent::Kind::MessageBox, std::u16string(kPasteFailedText)}); }

  const BridgeRequest& request_;
  BridgeExpectation& out_;
  std::vector<std::u16string> written_;
};

void Act(const std::u16string& path, const BridgeRequest& request, BridgeExpectation& out, PasteModel& paste) {
  switch (request.action) {
    case kPathToClipboard:
      if (!out.clipboardText.empty() || !out.acted.empty()) out.clipboardText += u"\n";
      out.clipboardText += path;
      break;
    case kSendTo: {
      std::u16string line = request.passUnquoted ? path : Quoted(path);
      if (line.size() < kCommandLineBuffer) out.commandLines.push_back(line);
      break;
    }
    case kPasteShortcut:
      paste.paste(path);
      break;
  }
}

}  // namespace

std::u16string FoldedName(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) c = sim::fs::FoldCase(c);
  return folded;
}

std::u16string ShortcutNameFor(const std::u16string& path) {
  std::size_t slash = path.rfind(u'\\');
  std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
  std::size_t dot = name.rfind(u'.');
  if (dot != std::u16string::npos && dot >= 1) name.resize(dot);
  return name;
}

bool ShortcutWritable(const std::u16string& fileName, const std::u16string& target) {
  if (fileName.empty() || fileName == u"." || fileName == u"..") return false;
  if (std::any_of(fileName.begin(), fileName.end(), Reserved) || HasLoneSurrogate(fileName)) return false;
  auto hostName = sim::Utf16ToUtf8(fileName);
  if (!hostName || hostName->size() > kHostNameBytes) return false;
  return static_cast<bool>(sim::EncodeShortcut(target));
}

BridgeExpectation ExpectBridge(const FileListReading& reading, const BridgeRequest& request,
                               const ExistsFunction& exists) {
  BridgeExpectation out;
  PasteModel paste(request, out);
  bool folderPending = !reading.desktop;
  for (const std::u16string& found : reading.paths) {
    if (folderPending) {
      folderPending = false;
      continue;
    }
    if (found.size() >= kPathBuffer) continue;
    std::u16string passed = found;
    if (!exists(found, paste.written())) passed.pop_back();
    std::u16string ifTestFails = found;
    ifTestFails.pop_back();
    Act(passed, request, out, paste);
    out.acted.push_back(passed);
    out.actedIfTestFails.push_back(ifTestFails);
  }
  return out;
}

}  // namespace fuzz
