// Feeds arbitrary bytes to the companion's clipboard bridge as the File Explorer's
// copied file list, once for each of its actions: the path list, Send-To and the
// shortcut paste.
//
// One handheld is booted for the whole session. A program of that device waits for
// thread messages; each input is handed to it with one message, and the driver then
// plays the user: it answers every paste dialog with "yes" and every message box
// with "yes" or "OK", so the shortcut is really written and an existing one really
// replaced. Send-To starts a recording program that only ends.
//
// Besides what the sanitizers catch, an input fails when the bridge waits with
// nothing on screen to answer, when it records a program fault, or when it leaves
// blocks of the device's local heap behind.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "companion.h"
#include "handheld.h"
#include "kernel/image_registry.h"
#include "kernel/local_memory.h"
#include "kernel/process.h"
#include "user.h"
#include "user/msgbox.h"

namespace {

constexpr char16_t kCompanionPath[] = u"\\Program Files\\Brackenway\\Brackenway.exe";
constexpr char16_t kBridgeProgramPath[] = u"\\Fuzz\\bridge.exe";
constexpr char16_t kSendToTargetPath[] = u"\\Fuzz\\record.exe";
constexpr char16_t kShortcutFolder[] = u"\\Fuzz\\Links\\";
constexpr UINT kRunInput = WM_APP + 1;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "==fuzz== %s\n", what);
  std::abort();
}

class BridgeSession {
 public:
  BridgeSession() : user_(handheld_) {
    InstallRecordingProgram();
    std::filesystem::create_directories(HostPath("Fuzz/Links"));
    auto& registry = handheld_.device().service<sim::ImageRegistry>();
    auto companion = registry.find(kCompanionPath);
    if (!companion) Fail("the companion is not installed on the handheld");
    companionModule_ = registry.moduleHandle(*companion);

    sim::StartFunction(handheld_.device(), kBridgeProgramPath, [this] { return ProgramMain(); });
    user_.settle();
    if (programThread_ == 0) Fail("the bridge program did not start");
  }

  // Runs one input through all three actions and checks the device afterwards.
  void Run(const std::uint8_t* data, std::size_t size) {
    input_.assign(data, data + size);
    finished_ = false;
    dialogsAnswered_ = 0;
    std::size_t blocksBefore = LiveLocalBlocks();
    if (!PostThreadMessageW(programThread_, kRunInput, 0, 0)) Fail("the bridge program takes no more input");
    user_.settle();
    AnswerUntilFinished(size);
    CheckDeviceIsClean(blocksBefore);
    ResetShortcutFolder();
  }

  int dialogsAnswered() const { return dialogsAnswered_; }

 private:
  std::filesystem::path HostPath(const char* relative) const { return handheld_.folder() / relative; }

  void InstallRecordingProgram() {
    sim::ProgramImage recorder;
    recorder.path = kSendToTargetPath;
    recorder.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; };
    handheld_.device().service<sim::ImageRegistry>().install(std::move(recorder));
    std::filesystem::create_directories(HostPath("Fuzz"));
    std::ofstream(HostPath("Fuzz/record.exe")) << "program image: recorder\n";
  }

  // --- on the device ---

  // The bridge runs for a window, as it does for the File Explorer's: the clipboard
  // takes data only from its owner window.
  int ProgramMain() {
    programThread_ = GetCurrentThreadId();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = u"FuzzBridge";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, u"FuzzBridge", u"bridge", 0, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    if (window_ == nullptr) Fail("the bridge program has no window");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (message.hwnd == nullptr && message.message == kRunInput) {
        RunAllActions();
        finished_ = true;
        continue;
      }
      DispatchMessageW(&message);
    }
    return 0;
  }

  void RunAllActions() {
    ResetCompanionState();
    companionState.instance = companionModule_;
    companionState.sendToTarget = kSendToTargetPath;
    companionState.currentFolder = kShortcutFolder;
    UINT format = RegisterClipboardFormatW(FILE_LIST_FORMAT_NAME);
    for (int action : {ACTION_PATH_TO_CLIPBOARD, ACTION_SEND_TO, ACTION_PASTE_SHORTCUT}) {
      PlaceBlock(format);
      ProcessClipboardFileList(window_, format, action);
    }
    if (OpenClipboard(window_)) {
      EmptyClipboard();
      CloseClipboard();
    }
    ResetCompanionState();
  }

  // Puts the input on the clipboard as the File Explorer's copy does.
  void PlaceBlock(UINT format) {
    void* block = LocalAlloc(LMEM_FIXED, input_.size());
    if (block == nullptr) Fail("no device memory for the block");
    if (!input_.empty()) CopyMemory(block, input_.data(), input_.size());
    if (!OpenClipboard(window_)) Fail("the clipboard cannot be opened");
    EmptyClipboard();
    if (SetClipboardData(format, block) == nullptr) Fail("the clipboard refused the block");
    CloseClipboard();
  }

  // --- on the driver ---

  // Plays the user until the bridge program is done with the input. Each path can
  // bring at most a paste dialog and two message boxes.
  void AnswerUntilFinished(std::size_t size) {
    const std::size_t limit = 3 * (size / 2 + 4);
    for (std::size_t step = 0; !finished_; ++step) {
      if (step > limit) Fail("the bridge keeps asking more questions than the block has paths");
      if (sim::MessageBoxes::get().top()) {
        if (user_.answer(IDYES) && user_.answer(IDOK)) Fail("a message box offers neither yes nor OK");
        continue;
      }
      if (user_.findControl(u"#1") == nullptr) Fail("the bridge waits with nothing on screen to answer");
      if (user_.tap(u"#1")) Fail("the paste dialog's yes button cannot be tapped");
      ++dialogsAnswered_;
    }
  }

  std::size_t LiveLocalBlocks() { return handheld_.device().service<sim::LocalMemory>().liveBlocks(); }

  void CheckDeviceIsClean(std::size_t blocksBefore) {
    auto& faults = handheld_.device().faults();
    if (!faults.programFaults().empty()) {
      for (const auto& fault : faults.programFaults())
        std::fprintf(stderr, "==fuzz== misuse: %s\n", fault.description().c_str());
      Fail("a program misused the platform");
    }
    if (LiveLocalBlocks() != blocksBefore) Fail("the input left blocks of the local heap behind");
    if (user_.foreground() != nullptr && user_.findControl(u"#1") != nullptr)
      Fail("a dialog is still open after the bridge returned");
  }

  // Shortcuts written by one input must not turn the next input's paste into an
  // overwrite, or the same input would run differently each time.
  void ResetShortcutFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(HostPath("Fuzz/Links"), ignored);
    std::filesystem::create_directories(HostPath("Fuzz/Links"));
  }

  sim::Handheld handheld_;
  sim::User user_;
  HINSTANCE companionModule_ = nullptr;
  DWORD programThread_ = 0;
  HWND window_ = nullptr;
  std::vector<BYTE> input_;
  bool finished_ = false;
  int dialogsAnswered_ = 0;
};

// The session lives until the fuzzer exits, so the handheld shuts down cleanly and
// removes its folder.
std::unique_ptr<BridgeSession>& Session() {
  static std::unique_ptr<BridgeSession> session;
  return session;
}

// One existing item of the sample device must bring exactly one paste dialog;
// otherwise the harness would fuzz without ever reaching the shortcut paste.
void CheckHarness(BridgeSession& session) {
  std::vector<std::uint8_t> block(16, 0);
  auto append = [&](std::u16string_view path) {
    block.push_back(0x14);
    block.push_back(0x01);
    for (char16_t unit : path) {
      block.push_back(static_cast<std::uint8_t>(unit & 0xFF));
      block.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    block.push_back(0);
    block.push_back(0);
  };
  append(u"\\My Documents");
  append(u"\\My Documents\\Readme.txt");
  session.Run(block.data(), block.size());
  if (session.dialogsAnswered() != 1) Fail("the harness does not reach the paste dialog");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Session() = std::make_unique<BridgeSession>();
  CheckHarness(*Session());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Session()->Run(data, size);
  return 0;
}
