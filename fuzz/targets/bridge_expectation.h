// What the companion's clipboard bridge should do with a file list, worked out from
// the reference reading of the block (file_list_reference.h) and the companion's
// documented rules, for the clipboard fuzzer to compare with what it saw happen.
//
// The rules: the folder path is not acted on; a path of 260 or more characters is
// passed over (and still counts as the folder when it is the first); a path the
// file system does not know loses its last character, once. The path list joins
// the paths with line feeds; Send-To starts the program once per path with the path
// quoted (or not), when the command line fits in 262 characters; the shortcut paste
// asks once per path and writes "<folder><name>.lnk" with the quoted path.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "file_list_reference.h"

namespace fuzz {

inline constexpr int kPathToClipboard = 105;
inline constexpr int kSendTo = 120;
inline constexpr int kPasteShortcut = 101;

inline constexpr std::u16string_view kPasteFailedText = u"ｼｮｰﾄｶｯﾄの作成に失敗しました。";
inline constexpr std::u16string_view kOverwriteText = u"同名のファイルがすでに存在します。上書きしますか?";

// Whether a path names something on the device when the bridge tests it, given the
// shortcut names the paste has written before (it writes them as it goes).
using ExistsFunction = std::function<bool(const std::u16string& path, const std::vector<std::u16string>& written)>;

struct BridgeRequest {
  int action = kPathToClipboard;
  bool passUnquoted = false;
  bool declineOverwrite = false;
  std::u16string shortcutFolder;  // ends with a backslash
};

// One thing the user sees, in order: a paste question for a path, or a message box.
struct UserEvent {
  enum class Kind { PasteQuestion, MessageBox } kind;
  std::u16string text;  // the path asked about, or the message
  friend bool operator==(const UserEvent&, const UserEvent&) = default;
};

struct BridgeExpectation {
  // The selected items as the bridge passes them on, in block order.
  std::vector<std::u16string> acted;
  // The same items with a failed existence test (the repair applied, or applied
  // once more); a fault in that test may give either form.
  std::vector<std::u16string> actedIfTestFails;
  std::u16string clipboardText;            // path list
  std::vector<std::u16string> commandLines;  // Send-To, one per started program
  std::vector<UserEvent> events;           // shortcut paste
  // Shortcut paste: the files left in the folder, by their name in upper case, with
  // the name as written and the target.
  std::map<std::u16string, std::pair<std::u16string, std::u16string>> shortcuts;
};

BridgeExpectation ExpectBridge(const FileListReading& reading, const BridgeRequest& request,
                               const ExistsFunction& exists);

// A file name in the device's case, for comparing names as the device does.
std::u16string FoldedName(std::u16string_view name);
// The name of a shortcut to `path`: its last part without its last extension.
std::u16string ShortcutNameFor(const std::u16string& path);
// True when the platform can write a shortcut file of that name and target:
// a name the file system takes (host names are at most 255 bytes of UTF-8) and a
// target the shortcut format holds.
bool ShortcutWritable(const std::u16string& fileName, const std::u16string& target);

}  // namespace fuzz
