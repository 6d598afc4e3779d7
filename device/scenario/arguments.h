// The values a step's arguments stand for, and the checks that refuse a malformed
// argument when the script is read. A step that passed its check reads its values
// with these same functions, so reading and running agree on every argument.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim::scenario {

// Why a step's arguments are malformed; nothing when they are fine.
using ArgumentProblem = std::optional<std::string>;
using ArgumentCheck = ArgumentProblem (*)(const std::vector<std::string>& args);

// A whole decimal number that fits T; nothing for anything else (a sign where T has
// none, blanks, a value out of T's range).
template <class T>
std::optional<T> ParseInteger(std::string_view text) {
  T value{};
  if (text.empty() || text.front() == '+') return std::nullopt;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "#1005": the id of a control (ids are 16-bit); nothing for a text.
std::optional<int> ParseControlId(std::string_view text);
inline bool LooksLikeControlId(std::string_view text) {
  return text.size() > 1 && text[0] == '#' && text.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

// What `fail NAME [COUNT] [after N]` asks for.
struct FailRequest {
  std::string operation;
  int count = 1;
  int skip = 0;
};
std::optional<FailRequest> ParseFail(const std::vector<std::string>& args);

// The screen sizes a handheld can be booted with, in pixels.
inline constexpr int kMinScreenSide = 160;
inline constexpr int kMaxScreenSide = 1024;

// --- the checks of the table of words ---
ArgumentProblem CheckScreen(const std::vector<std::string>& args);
ArgumentProblem CheckBytes(const std::vector<std::string>& args);
ArgumentProblem CheckFail(const std::vector<std::string>& args);
ArgumentProblem CheckMilliseconds(const std::vector<std::string>& args);
ArgumentProblem CheckControl(const std::vector<std::string>& args);
ArgumentProblem CheckControlId(const std::vector<std::string>& args);
ArgumentProblem CheckKeys(const std::vector<std::string>& args);
ArgumentProblem CheckAnswer(const std::vector<std::string>& args);
ArgumentProblem CheckChooser(const std::vector<std::string>& args);
ArgumentProblem CheckVersion(const std::vector<std::string>& args);
ArgumentProblem CheckInputPanel(const std::vector<std::string>& args);
ArgumentProblem CheckPoint(const std::vector<std::string>& args);
ArgumentProblem CheckPlace(const std::vector<std::string>& args);
ArgumentProblem CheckMenuState(const std::vector<std::string>& args);
ArgumentProblem CheckItemsEquals(const std::vector<std::string>& args);
ArgumentProblem CheckChosen(const std::vector<std::string>& args);
ArgumentProblem CheckExitCode(const std::vector<std::string>& args);
ArgumentProblem CheckPictureFile(const std::vector<std::string>& args);
ArgumentProblem CheckGoldenFile(const std::vector<std::string>& args);

}  // namespace sim::scenario
