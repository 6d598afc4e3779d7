// The shell's shortcut files: their text form, apart from reading and writing files.
//
// The device writes "N#target" in code page 932, N the target's length in characters.
// Readers are lenient the way the device's shell is: the count may be wrong or
// missing, a line break may follow the target, and files written by other tools in
// UTF-8 (with or without a byte-order mark) or UTF-16LE (with the mark) are read too.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "system_include/system_shell.h"
#include "text/result.h"

namespace sim {

inline constexpr std::size_t kMaxShortcutTarget = 256;  // characters
// Larger files are no shortcut; bounds what a reader loads.
inline constexpr std::size_t kMaxShortcutFileBytes = 4096;

// The file's bytes for `target`; fails for an empty or too long target or one with a
// character code page 932 cannot hold.
Result<std::string> EncodeShortcut(std::u16string_view target);
// The target text of a shortcut file's bytes; fails when they are not a shortcut.
Result<std::u16string> DecodeShortcut(std::span<const unsigned char> bytes);

// How the shell splits a target into its program and command line
// (SplitShortcutTarget) is in system_include/system_shell.h, for the device's programs.

}  // namespace sim
