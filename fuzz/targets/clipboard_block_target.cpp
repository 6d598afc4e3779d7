// The clipboard fuzzer's target: one file list through one action of the
// companion's clipboard bridge, on a handheld booted once, with the outcome
// checked against the reference reading of the block.
#include <algorithm>
#include <unordered_map>
#include <memory>

#include "bridge_oracle.h"
#include "bridge_session.h"
#include "file_list_reference.h"
#include "fs/names.h"
#include "fuzz_targets.h"
#include "kernel/fault_operations.h"

namespace fuzz {
namespace {

// Every program the device starts stays in its records; a fresh boot now and then
// keeps the records, and the time spent walking them, small.
constexpr std::size_t kProgramsPerBoot = 4000;

std::unique_ptr<BridgeSession>& Session() {
  static std::unique_ptr<BridgeSession> session;
  return session;
}


// Each selected item costs the paste a dialog and Send-To a program start, and the
// items after the first few bring nothing new: those actions see the block only up
// to the end of its fifth path (the folder and four items, enough for two items of
// the same name and a third besides). The path list, which costs little per item,
// sees the whole block, so that it meets its long texts.
constexpr std::size_t kPathsPerCostlyRequest = 5;

std::size_t PathsEnd(std::span<const std::uint8_t> block) {
  FileListReading reading = ReadFileList(block);
  return reading.paths.size() <= kPathsPerCostlyRequest ? block.size() : reading.ends[kPathsPerCostlyRequest - 1];
}

struct Decoded {
  BridgeRequest request;
  std::optional<BridgeFault> fault;
  std::span<const std::uint8_t> block;
};

Decoded Decode(std::span<const std::uint8_t> input) {
  auto byte = [&](std::size_t i) { return i < input.size() ? input[i] : std::uint8_t{0xFF}; };
  Decoded decoded;
  static constexpr int kActions[] = {kPathToClipboard, kSendTo, kPasteShortcut, kPathToClipboard};
  decoded.request.action = kActions[byte(0) & 3];
  decoded.request.passUnquoted = byte(0) & 4;
  decoded.request.declineOverwrite = byte(0) & 8;
  if (byte(1) < sim::kFaultOperations.size())
    decoded.fault = BridgeFault{std::string(sim::kFaultOperations[byte(1)].name), (byte(2) & 15) + 1, byte(2) >> 4};
  decoded.block = input.subspan(std::min(input.size(), kClipboardHeaderBytes));
  if (decoded.request.action != kPathToClipboard) decoded.block = decoded.block.first(PathsEnd(decoded.block));
  return decoded;
}

// Whether a path names something before the bridge runs. Every request starts
// from the same device (the session puts back what a request changed), so the
// answers hold from one request to the next.
class ExistingBefore {
 public:
  bool operator()(BridgeSession& session, const std::u16string& path) {
    if (known_.size() > kMaxKnown) known_.clear();
    auto [at, added] = known_.try_emplace(path, false);
    if (added) at->second = session.exists(path);
    return at->second;
  }

 private:
  static constexpr std::size_t kMaxKnown = 1 << 16;
  std::unordered_map<std::u16string, bool> known_;
};

ExistingBefore& KnownPaths() {
  static ExistingBefore known;
  return known;
}

// A path that named nothing before the run but names something after it names a
// shortcut the paste wrote; at its turn it names something when that shortcut came
// earlier.
ExistsFunction ExistsAtItsTurn(BridgeSession& session, ExistingBefore& before) {
  return [&session, &before](const std::u16string& path, const std::vector<std::u16string>& written) {
    if (before(session, path)) return true;
    if (written.empty() || !session.exists(path)) return false;
    auto name = session.entryName(path);
    return name && std::any_of(written.begin(), written.end(),
                               [&](const std::u16string& link) { return sim::fs::NamesEqual(link, *name); });
  };
}

}  // namespace

Finding RunClipboardBlock(std::span<const std::uint8_t> input) {
  auto& session = Session();
  if (session && session->programsStarted() > kProgramsPerBoot) session.reset();
  if (!session) session = std::make_unique<BridgeSession>();

  Decoded decoded = Decode(input);
  decoded.request.shortcutFolder = session->shortcutFolder();
  FileListReading reading = ReadFileList(decoded.block);
  for (const auto& path : reading.paths) KnownPaths()(*session, path);

  BridgeObservation seen;
  if (auto problem = session->run(decoded.request, decoded.block, decoded.fault, seen)) {
    session.reset();
    return problem;
  }
  BridgeExpectation expected = ExpectBridge(reading, decoded.request, ExistsAtItsTurn(*session, KnownPaths()));
  Finding finding = CompareBridge(decoded.request, decoded.fault, expected, seen, session->sendToTarget());
  session->reset();
  if (finding && decoded.fault) *finding += " (with " + decoded.fault->operation + " failing)";
  return finding;
}

void EndClipboardSession() { Session().reset(); }

}  // namespace fuzz
