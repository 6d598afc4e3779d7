// Replays every input a fuzzer once found a fault with (tests/fuzz/inputs/TARGET/,
// one file per input, named after the fault) through the fuzzer's own target: the
// fault stays fixed when the target finds nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_targets.h"

namespace {

using Target = fuzz::Finding (*)(std::span<const std::uint8_t>);

std::vector<std::filesystem::path> Inputs(const char* target) {
  std::vector<std::filesystem::path> inputs;
  std::filesystem::path folder = std::filesystem::path(FUZZ_INPUTS_DIR) / target;
  if (std::filesystem::exists(folder))
    for (const auto& entry : std::filesystem::directory_iterator(folder)) inputs.push_back(entry.path());
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

void Replay(const char* target, Target run) {
  for (const auto& input : Inputs(target)) {
    std::ifstream in(input, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fuzz::Finding finding = run(bytes);
    EXPECT_FALSE(finding) << input.filename() << ": " << finding.value_or("");
  }
}

TEST(FuzzReplay, ClipboardBlock) {
  ASSERT_FALSE(Inputs("clipboard_block").empty());
  Replay("clipboard_block", fuzz::RunClipboardBlock);
  fuzz::EndClipboardSession();
}

TEST(FuzzReplay, ShortcutFile) {
  Replay("shortcut_file", fuzz::RunShortcutFile);
  fuzz::EndShortcutDevice();
}

TEST(FuzzReplay, ResourceImage) { Replay("resource_image", fuzz::RunResourceImage); }

TEST(FuzzReplay, ScenarioScript) { Replay("scenario_script", fuzz::RunScenarioScript); }

}  // namespace
