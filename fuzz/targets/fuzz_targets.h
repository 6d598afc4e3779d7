// The fuzz targets: each takes one input, runs it and checks the outcome, and gives
// a description of what went wrong (nothing when all held). The fuzzers built with
// clang call them for every input; the suite's tests replay the inputs that once
// went wrong, kept under tests/fuzz/, through the same functions.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace fuzz {

using Finding = std::optional<std::string>;

// The companion's clipboard bridge on a file list (clipboard_block_target.cpp).
// The input's first three bytes choose the request and a fault:
//   byte 0: bits 0-1 the action (0 path list, 1 Send-To, 2 and 3 shortcut paste),
//           bit 2 Send-To passes the path unquoted, bit 3 the user declines to
//           overwrite a shortcut;
//   byte 1: an injectable operation by its place in the platform's table (no fault
//           when beyond it);
//   byte 2: the fault's count (low 4 bits, plus one) and how many calls succeed
//           first (high 4 bits).
// The rest is the block. The first input boots a handheld that later inputs share.
Finding RunClipboardBlock(std::span<const std::uint8_t> input);
// Shuts that handheld down (only one device runs in a host process at a time).
void EndClipboardSession();
inline constexpr std::size_t kClipboardHeaderBytes = 3;

// The resource image reader on a whole .res image (resource_image_target.cpp).
Finding RunResourceImage(std::span<const std::uint8_t> input);

// The shortcut file reader on a file's bytes (shortcut_file_target.cpp), on a bare
// device that the first input boots and later ones share.
Finding RunShortcutFile(std::span<const std::uint8_t> input);
void EndShortcutDevice();

// The scenario script reader on a script's text (scenario_script_target.cpp).
Finding RunScenarioScript(std::span<const std::uint8_t> input);

}  // namespace fuzz
