#include "bridge_session.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "companion.h"
#include "fs/names.h"
#include "handheld.h"
#include "kernel/image_registry.h"
#include "kernel/local_memory.h"
#include "user.h"
#include "user/clipboard.h"
#include "user/msgbox.h"
#include "user/window.h"

namespace fuzz {
namespace {

constexpr char16_t kBridgeProgramPath[] = u"\\Fuzz\\bridge.exe";
constexpr char16_t kSendToTargetPath[] = u"\\Fuzz\\record.exe";
constexpr char16_t kShortcutFolder[] = u"\\Fuzz\\Links\\";
constexpr char16_t kCompanionPath[] = u"\\Program Files\\Brackenway\\Brackenway.exe";
constexpr char16_t kQuestionStart[] = u"このﾌｫﾙﾀﾞに'";
constexpr char16_t kQuestionEnd[] = u"'へのｼｮｰﾄｶｯﾄを作成しますか?";
constexpr UINT kRunRequest = WM_APP + 1;
constexpr char16_t kPasteMessageId[] = u"#1001";  // the question's static text

// The path a paste question asks about, or the whole text when it is not a question.
std::u16string QuestionPath(const std::u16string& text) {
  std::u16string_view view(text);
  if (!view.starts_with(kQuestionStart) || !view.ends_with(kQuestionEnd)) return text;
  view.remove_prefix(std::u16string_view(kQuestionStart).size());
  view.remove_suffix(std::u16string_view(kQuestionEnd).size());
  return std::u16string(view);
}

sim::LocalMemory& LocalHeap(sim::Handheld& handheld) { return handheld.device().service<sim::LocalMemory>(); }

}  // namespace

struct BridgeSession::Pending {
  BridgeRequest request;
  std::vector<std::uint8_t> block;
  std::optional<BridgeFault> fault;
  bool finished = false;
  std::vector<UINT> clipboardFormats;
  std::optional<std::u16string> clipboardText;
  bool blockKept = false;
};

BridgeSession::BridgeSession()
    : handheld_(std::make_unique<sim::Handheld>()),
      user_(std::make_unique<sim::User>(*handheld_)),
      pending_(std::make_unique<Pending>()),
      shortcutFolder_(kShortcutFolder),
      sendToTarget_(kSendToTargetPath) {
  sim::ProgramImage recorder;
  recorder.path = kSendToTargetPath;
  recorder.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; };
  auto& registry = handheld_->device().service<sim::ImageRegistry>();
  registry.install(std::move(recorder));
  std::filesystem::create_directories(handheld_->folder() / "Fuzz");
  std::ofstream(handheld_->folder() / "Fuzz" / "record.exe") << "program image: recorder\n";
  if (!CreateDirectoryW(u"\\Fuzz\\Links", nullptr)) throw std::runtime_error("no shortcut folder on the handheld");
  auto companion = registry.find(kCompanionPath);
  if (!companion) throw std::runtime_error("the companion is not installed on the handheld");
  companionModule_ = registry.moduleHandle(*companion);

  sim::StartFunction(handheld_->device(), kBridgeProgramPath, [this] { return programMain(); });
  user_->settle();
  if (programThread_ == 0 || window_ == nullptr) throw std::runtime_error("the bridge program did not start");
  windowsAtRest_ = sim::WindowSystem::get().topLevel().size();
}

BridgeSession::~BridgeSession() {
  user_.reset();
  handheld_.reset();
}

// --- on the device ---

int BridgeSession::programMain() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.lpszClassName = u"FuzzBridge";
  if (!RegisterClassW(&windowClass)) return 1;
  // The bridge runs for a window, as it does for the File Explorer's: the clipboard
  // takes data only from its owner window.
  window_ = CreateWindowExW(0, u"FuzzBridge", u"bridge", 0, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
  if (window_ == nullptr) return 1;
  programThread_ = GetCurrentThreadId();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kRunRequest) {
      runOnDevice();
      pending_->finished = true;
      continue;
    }
    DispatchMessageW(&message);
  }
  return 0;
}

void BridgeSession::runOnDevice() {
  Pending& pending = *pending_;
  ResetCompanionState();
  companionState.instance = companionModule_;
  companionState.sendToTarget = sendToTarget_.c_str();
  companionState.currentFolder = shortcutFolder_.c_str();
  companionState.passUnquoted = pending.request.passUnquoted ? 1 : 0;
  UINT format = RegisterClipboardFormatW(FILE_LIST_FORMAT_NAME);

  // The File Explorer's copy: a block of the program's heap handed to the clipboard.
  void* block = LocalAlloc(LMEM_FIXED, pending.block.size());
  if (block != nullptr && !pending.block.empty()) CopyMemory(block, pending.block.data(), pending.block.size());
  if (block != nullptr && OpenClipboard(window_)) {
    EmptyClipboard();
    if (SetClipboardData(format, block) == nullptr) LocalFree(block);
    CloseClipboard();
  }

  auto& faults = handheld_->device().faults();
  if (pending.fault) faults.arm(pending.fault->operation, pending.fault->count, 0, pending.fault->skip);
  ProcessClipboardFileList(window_, format, pending.request.action);
  if (pending.fault) faults.arm(pending.fault->operation, 0);  // what the bridge left unused

  sim::Clipboard& clipboard = sim::Clipboard::get();
  pending.clipboardFormats = clipboard.formats();
  pending.clipboardText = clipboard.text();
  pending.blockKept = clipboard.bytes(format) == pending.block;
  if (OpenClipboard(window_)) {
    EmptyClipboard();
    CloseClipboard();
  }
  ResetCompanionState();
}

// --- on the driver ---

std::optional<std::string> BridgeSession::run(const BridgeRequest& request, std::span<const std::uint8_t> block,
                                              const std::optional<BridgeFault>& fault, BridgeObservation& seen) {
  Pending& pending = *pending_;
  pending = Pending{};
  pending.request = request;
  pending.block.assign(block.begin(), block.end());
  pending.fault = fault;
  std::size_t blocksBefore = LocalHeap(*handheld_).liveBlocks();
  std::size_t startsBefore = handheld_->device().service<sim::ProcessTable>().startLog().size();

  if (!PostThreadMessageW(programThread_, kRunRequest, 0, 0)) return "the bridge program takes no more requests";
  user_->settle();
  if (auto problem = answerUntilFinished(block.size(), seen)) return problem;
  if (auto problem = checkDevice(blocksBefore, startsBefore)) return problem;

  const auto& log = handheld_->device().service<sim::ProcessTable>().startLog();
  seen.starts.assign(log.begin() + static_cast<std::ptrdiff_t>(startsBefore), log.end());
  seen.clipboardFormats = pending.clipboardFormats;
  seen.clipboardText = pending.clipboardText;
  seen.blockKept = pending.blockKept;
  noteShortcuts(seen);
  return std::nullopt;
}

// Plays the user until the program is done with the request. Each path brings at
// most a paste question and two message boxes.
std::optional<std::string> BridgeSession::answerUntilFinished(std::size_t blockSize, BridgeObservation& seen) {
  const std::size_t limit = 3 * (blockSize / 2 + 4);
  for (std::size_t step = 0; !pending_->finished; ++step) {
    if (step > limit) return "the bridge asks more questions than the block has paths";
    if (const sim::OpenMessageBox* box = sim::MessageBoxes::get().top()) {
      seen.events.push_back({UserEvent::Kind::MessageBox, box->text});
      bool overwrite = box->text == kOverwriteText;
      int answer = overwrite ? (pending_->request.declineOverwrite ? IDNO : IDYES) : IDOK;
      if (user_->answer(answer) && (overwrite || user_->answer(IDYES)))
        return "a message box offers no answer the user would give";
      continue;
    }
    HWND question = user_->findControl(kPasteMessageId);
    if (question == nullptr) return "the bridge waits with nothing on screen to answer";
    seen.events.push_back({UserEvent::Kind::PasteQuestion, QuestionPath(sim::User::TextOf(question))});
    if (user_->tap(u"#1")) return "the paste question's yes button cannot be tapped";
  }
  return std::nullopt;
}

std::optional<std::string> BridgeSession::checkDevice(std::size_t blocksBefore, std::size_t startsBefore) {
  sim::Device& device = handheld_->device();
  if (!device.faults().programFaults().empty()) {
    std::string report = "a program misused the platform:";
    for (const auto& fault : device.faults().programFaults()) report += "\n  " + fault.description();
    return report;
  }
  if (LocalHeap(*handheld_).liveBlocks() != blocksBefore) return "the request left blocks of the local heap behind";
  if (!sim::MessageBoxes::get().open().empty()) return "a message box is still open after the bridge returned";
  if (sim::WindowSystem::get().topLevel().size() != windowsAtRest_)
    return "a window is still there after the bridge returned";
  // The programs the request started are the newest of the device's records.
  auto& table = device.service<sim::ProcessTable>();
  std::vector<DWORD> started;
  for (std::size_t i = startsBefore; i < table.startLog().size(); ++i)
    if (table.startLog()[i].error == 0) started.push_back(table.startLog()[i].processId);
  const auto& processes = table.processes();
  for (auto at = processes.rbegin(); at != processes.rend() && !started.empty(); ++at) {
    auto id = std::find(started.begin(), started.end(), (*at)->id);
    if (id == started.end()) continue;
    started.erase(id);
    if (!(*at)->ended) return "a Send-To program is still running";
    if (!sim::WindowSystem::get().windowsOfProcess(at->get()).empty()) return "an ended program left a window";
  }
  return std::nullopt;
}

std::vector<std::u16string> BridgeSession::shortcutNames() {
  std::vector<std::u16string> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((shortcutFolder_ + u"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.emplace_back(found.cFileName);
  while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

void BridgeSession::noteShortcuts(BridgeObservation& seen) {
  written_ = shortcutNames();
  for (const std::u16string& name : written_) {
    std::u16string path = shortcutFolder_ + name;
    WCHAR target[MAX_PATH];
    std::optional<std::u16string> read;
    if (SHGetShortcutTarget(path.data(), target, MAX_PATH)) read = target;
    seen.shortcuts[FoldedName(name)] = {name, read};
  }
}

void BridgeSession::reset() {
  for (const std::u16string& name : written_) DeleteFileW((shortcutFolder_ + name).c_str());
  written_.clear();
}

std::size_t BridgeSession::programsStarted() {
  return handheld_->device().service<sim::ProcessTable>().startLog().size();
}

bool BridgeSession::exists(const std::u16string& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::u16string> BridgeSession::entryName(const std::u16string& path) {
  if (sim::fs::HasWildcards(path)) return std::nullopt;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  return std::u16string(found.cFileName);
}

}  // namespace fuzz
