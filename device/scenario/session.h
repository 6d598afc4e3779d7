// What the steps of one scenario run share: the handheld, the user acting on it,
// the transcript, and what earlier steps left to be looked at.
#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "handheld.h"
#include "scenario/screen_files.h"
#include "scenario/script.h"
#include "user.h"

namespace sim::scenario {

// The caller program of `chooser` and `version`; expectations of starts skip it.
inline constexpr char16_t kCallerProgramPath[] = u"\\Windows\\chooser.exe";

// The result of one call of the caller program, shared with it.
struct ChooserResult {
  bool done = false;
  int result = 0;
  std::u16string path;
};

class Session {
 public:
  Session(Handheld& handheld, std::ostream& transcript) : handheld(handheld), user(handheld), transcript(transcript) {}

  Device& device() { return handheld.device(); }

  Handheld& handheld;
  User user;
  std::ostream& transcript;
  std::shared_ptr<ChooserResult> chosen;  // the last chooser or version call
  std::size_t matchedStarts = 0;          // starts of the log matched by expectations
  ScreenFiles screenFiles;                // none unless the run reads and writes host files
};

// --- texts between the script (UTF-8) and the device (UTF-16) ---
std::u16string Wide(const std::string& text);
std::string Narrow(std::u16string_view text);
std::string Quote(std::u16string_view text);
std::string QuoteAll(const std::vector<std::u16string>& texts);
bool SameIgnoringCase(std::u16string_view a, std::u16string_view b);
// Argument `i` of the step as device text; arguments from..to (end by default).
std::u16string Arg(const Step& step, std::size_t i);
std::vector<std::u16string> Args(const Step& step, std::size_t from, std::size_t to = SIZE_MAX);

}  // namespace sim::scenario
