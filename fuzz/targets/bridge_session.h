// A handheld booted once for the clipboard fuzzer, with a program that runs the
// companion's clipboard bridge for the driver, one request at a time, and resets
// afterwards only what the request changed.
//
// The program puts the block on the clipboard as the File Explorer's copy does,
// arms the requested fault, runs the bridge for its window and notes what the
// clipboard holds afterwards. The driver meanwhile plays the user: it notes every
// paste question and message box and answers it (yes to a paste, yes or no to an
// overwrite as asked, OK otherwise). Send-To starts a recording program that only
// ends.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bridge_expectation.h"
#include "kernel/process.h"

namespace sim {
class Handheld;
class User;
}  // namespace sim

namespace fuzz {

struct BridgeFault {
  std::string operation;
  int count = 1;
  int skip = 0;
};

struct BridgeObservation {
  std::vector<UserEvent> events;
  std::vector<sim::StartRecord> starts;
  std::vector<UINT> clipboardFormats;
  std::optional<std::u16string> clipboardText;
  bool blockKept = false;  // the file list is still on the clipboard, unchanged
  // The shortcut folder afterwards, by name in upper case: the name, and the target
  // (nothing when the file does not read as a shortcut).
  std::map<std::u16string, std::pair<std::u16string, std::optional<std::u16string>>> shortcuts;
};

class BridgeSession {
 public:
  BridgeSession();
  ~BridgeSession();
  BridgeSession(const BridgeSession&) = delete;
  BridgeSession& operator=(const BridgeSession&) = delete;

  // Runs the bridge once; a problem the oracle needs no expectation for (a misuse,
  // a leak, a window or process left behind, a bridge that waits with nothing to
  // answer) is returned as text, and the session is then no longer usable.
  std::optional<std::string> run(const BridgeRequest& request, std::span<const std::uint8_t> block,
                                 const std::optional<BridgeFault>& fault, BridgeObservation& seen);

  // --- for the oracle, on the driver, with no fault armed ---
  bool exists(const std::u16string& path);
  // The name of the folder entry that `path` resolves to; nothing when there is none.
  std::optional<std::u16string> entryName(const std::u16string& path);
  const std::u16string& shortcutFolder() const { return shortcutFolder_; }
  const std::u16string& sendToTarget() const { return sendToTarget_; }

  // Deletes the shortcuts the last request left in the folder (run() notes them),
  // so that a shortcut one request wrote never turns the next one's paste into an
  // overwrite.
  void reset();
  // How many programs the device has started since it booted.
  std::size_t programsStarted();

 private:
  struct Pending;
  int programMain();
  void runOnDevice();
  std::optional<std::string> answerUntilFinished(std::size_t blockSize, BridgeObservation& seen);
  std::optional<std::string> checkDevice(std::size_t blocksBefore, std::size_t startsBefore);
  void noteShortcuts(BridgeObservation& seen);
  std::vector<std::u16string> shortcutNames();

  std::unique_ptr<sim::Handheld> handheld_;
  std::unique_ptr<sim::User> user_;
  std::unique_ptr<Pending> pending_;
  std::u16string shortcutFolder_;
  std::u16string sendToTarget_;
  std::vector<std::u16string> written_;  // the shortcut folder after the last request
  HINSTANCE companionModule_ = nullptr;
  DWORD programThread_ = 0;
  HWND window_ = nullptr;
  std::size_t windowsAtRest_ = 0;
};

}  // namespace fuzz
