// The clipboard fuzzer against the companion itself: the File Explorer's own blocks
// through every action, with and without faults, give no finding; and outcomes that
// are wrong the way a faulty bridge would get them wrong are findings.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "bridge_oracle.h"
#include "explorer.h"
#include "fuzz_targets.h"
#include "kernel/fault_operations.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Input(std::uint8_t flags, std::uint8_t operation, std::uint8_t fault, const Bytes& block) {
  Bytes input = {flags, operation, fault};
  input.insert(input.end(), block.begin(), block.end());
  return input;
}

// Items that exist, one that does not, a folder, and two that give the same
// shortcut name; the faults the bridge meets on every path.
TEST(ClipboardTarget, FindsNothingWrongWithTheBridgeOnTheFileExplorersBlocks) {
  const Bytes block = explorer::BuildFileListBlock(
      u"\\My Documents\\", {u"Readme.txt", u"gone.txt", u"Personal", u"README.doc"});
  const std::uint8_t actions[] = {0x00, 0x01, 0x05, 0x02, 0x0A};
  const char* operations[] = {"GetFileAttributesW", "CreateProcessW", "SHCreateShortcut", "LocalAlloc",
                              "OpenClipboard", "DialogBoxIndirectParamW", "WriteFile", "SetClipboardData"};
  for (std::uint8_t action : actions) {
    fuzz::Finding finding = fuzz::RunClipboardBlock(Input(action, 0xFF, 0, block));
    EXPECT_FALSE(finding) << "action " << int(action) << ": " << finding.value_or("");
    for (const char* operation : operations) {
      auto index = static_cast<std::uint8_t>(sim::FaultOperationIndex(operation));
      for (std::uint8_t fault : {0x00, 0x11}) {
        finding = fuzz::RunClipboardBlock(Input(action, index, fault, block));
        EXPECT_FALSE(finding) << "action " << int(action) << ", " << operation << " " << int(fault) << ": "
                              << finding.value_or("");
      }
    }
  }
  fuzz::EndClipboardSession();
}

class BridgeOracle : public ::testing::Test {
 protected:
  static constexpr UINT kFileList = 0xC001;
  const std::u16string target = u"\\Fuzz\\record.exe";
  const fuzz::FileListReading reading{false, {u"\\Temp", u"\\Temp\\a.txt", u"\\Temp\\b"}, {}};

  fuzz::BridgeExpectation expect(const fuzz::BridgeRequest& request) {
    return fuzz::ExpectBridge(reading, request, [](const auto&, const auto&) { return true; });
  }
  static fuzz::BridgeObservation FileListKept() {
    fuzz::BridgeObservation seen;
    seen.clipboardFormats = {kFileList};
    seen.blockKept = true;
    return seen;
  }
};

TEST_F(BridgeOracle, PathListIsWholeOrNotPlaced) {
  fuzz::BridgeRequest request{fuzz::kPathToClipboard, false, false, u"\\Links\\"};
  const auto expected = expect(request);
  fuzz::BridgeObservation seen;
  seen.clipboardFormats = {CF_UNICODETEXT};
  seen.clipboardText = u"\\Temp\\a.txt\n\\Temp\\b";
  EXPECT_FALSE(fuzz::CompareBridge(request, std::nullopt, expected, seen, target));

  const fuzz::BridgeFault fault{"LocalAlloc", 1, 0};
  seen.clipboardText = u"\\Temp\\a.txt";
  EXPECT_TRUE(fuzz::CompareBridge(request, std::nullopt, expected, seen, target));
  EXPECT_TRUE(fuzz::CompareBridge(request, fault, expected, seen, target)) << "a fault leaves no partial list";
  EXPECT_FALSE(fuzz::CompareBridge(request, fault, expected, FileListKept(), target));
  EXPECT_TRUE(fuzz::CompareBridge(request, std::nullopt, expected, FileListKept(), target));

  // A failed existence test may drop a character from a path that exists.
  const fuzz::BridgeFault test{"GetFileAttributesW", 1, 0};
  seen.clipboardText = u"\\Temp\\a.tx\n\\Temp\\b";
  EXPECT_FALSE(fuzz::CompareBridge(request, test, expected, seen, target));
  EXPECT_TRUE(fuzz::CompareBridge(request, fault, expected, seen, target));
}

TEST_F(BridgeOracle, SendToStartsOnlySelectedItemsInOrder) {
  fuzz::BridgeRequest request{fuzz::kSendTo, false, false, u"\\Links\\"};
  const auto expected = expect(request);
  const fuzz::BridgeFault fault{"CreateProcessW", 1, 0};
  auto seen = FileListKept();
  seen.starts = {{target, u"\"\\Temp\\b\"", 0, 7}};
  EXPECT_TRUE(fuzz::CompareBridge(request, std::nullopt, expected, seen, target)) << "an item was left out";
  EXPECT_FALSE(fuzz::CompareBridge(request, fault, expected, seen, target));
  seen.starts = {{target, u"\"\\Temp\\b\"", 0, 7}, {target, u"\"\\Temp\\a.txt\"", 0, 8}};
  EXPECT_TRUE(fuzz::CompareBridge(request, fault, expected, seen, target)) << "out of order";
  seen.starts = {{target, u"\\Temp\\a.txt", 0, 7}};
  EXPECT_TRUE(fuzz::CompareBridge(request, fault, expected, seen, target)) << "unquoted";
  seen.starts = {{target, u"\"\\Temp\\a.txt\"", 0, 7}};
  seen.blockKept = false;
  EXPECT_TRUE(fuzz::CompareBridge(request, fault, expected, seen, target)) << "the file list was replaced";
}

TEST_F(BridgeOracle, PasteLeavesOnlyWholeShortcutsOfSelectedItems) {
  fuzz::BridgeRequest request{fuzz::kPasteShortcut, false, false, u"\\Links\\"};
  const auto expected = expect(request);
  const fuzz::BridgeFault fault{"WriteFile", 1, 0};
  auto seen = FileListKept();
  seen.events = expected.events;
  for (const auto& [key, file] : expected.shortcuts) seen.shortcuts[key] = {file.first, file.second};
  EXPECT_FALSE(fuzz::CompareBridge(request, std::nullopt, expected, seen, target));

  seen.shortcuts[fuzz::FoldedName(u"b.lnk")].second.reset();
  EXPECT_TRUE(fuzz::CompareBridge(request, fault, expected, seen, target)) << "a shortcut that does not read";
  seen.shortcuts[fuzz::FoldedName(u"b.lnk")].second = u"\"\\Temp\\a.txt\"";
  EXPECT_TRUE(fuzz::CompareBridge(request, fault, expected, seen, target)) << "another item's target";
  seen.shortcuts.erase(fuzz::FoldedName(u"b.lnk"));
  EXPECT_TRUE(fuzz::CompareBridge(request, std::nullopt, expected, seen, target)) << "one was not written";
  EXPECT_FALSE(fuzz::CompareBridge(request, fault, expected, seen, target));
  seen.events.insert(seen.events.begin(), {fuzz::UserEvent::Kind::PasteQuestion, u"\\Temp\\c"});
  EXPECT_TRUE(fuzz::CompareBridge(request, fault, expected, seen, target)) << "a question about no item";
}

}  // namespace
