#include "scenario/arguments.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "key_strokes.h"
#include "kernel/fault_operations.h"

namespace sim::scenario {

namespace {

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

ArgumentProblem NotANumber(std::string_view text, std::string_view what) {
  return Quoted(text) + " is not " + std::string(what);
}

bool OneOf(const std::string& text, std::initializer_list<std::string_view> words) {
  return std::find(words.begin(), words.end(), text) != words.end();
}

std::string AcceptedOperations() {
  std::string names;
  for (const auto& operation : kFaultOperations) names += (names.empty() ? "" : ", ") + std::string(operation.name);
  return names;
}

}  // namespace

std::optional<int> ParseControlId(std::string_view text) {
  if (!LooksLikeControlId(text)) return std::nullopt;
  auto id = ParseInteger<int>(text.substr(1));
  if (!id || *id > 0xFFFF) return std::nullopt;
  return id;
}

std::optional<FailRequest> ParseFail(const std::vector<std::string>& args) {
  if (args.empty() || !FindFaultOperation(args[0])) return std::nullopt;
  FailRequest request{args[0]};
  std::size_t next = 1;
  if (next < args.size() && args[next] != "after") {
    auto count = ParseInteger<int>(args[next]);
    if (!count || *count < 1) return std::nullopt;
    request.count = *count;
    ++next;
  }
  if (next < args.size()) {
    if (args[next] != "after" || next + 2 != args.size()) return std::nullopt;
    auto skip = ParseInteger<int>(args[next + 1]);
    if (!skip || *skip < 0) return std::nullopt;
    request.skip = *skip;
  }
  return request;
}

ArgumentProblem CheckScreen(const std::vector<std::string>& args) {
  for (const auto& side : args) {
    auto pixels = ParseInteger<int>(side);
    if (!pixels || *pixels < kMinScreenSide || *pixels > kMaxScreenSide)
      return Quoted(side) + " is not a screen side from " + std::to_string(kMinScreenSide) + " to " +
             std::to_string(kMaxScreenSide) + " pixels";
  }
  return std::nullopt;
}

ArgumentProblem CheckBytes(const std::vector<std::string>& args) {
  if (ParseInteger<ULONGLONG>(args[1])) return std::nullopt;
  return NotANumber(args[1], "a file size in bytes");
}

ArgumentProblem CheckFail(const std::vector<std::string>& args) {
  if (!FindFaultOperation(args[0]))
    return Quoted(args[0]) + " is not an operation that can be made to fail; these can: " + AcceptedOperations();
  if (!ParseFail(args)) return std::string("usage: fail OPERATION [COUNT] [after N], COUNT from 1, N from 0");
  return std::nullopt;
}

ArgumentProblem CheckMilliseconds(const std::vector<std::string>& args) {
  if (ParseInteger<DWORD>(args[0])) return std::nullopt;
  return NotANumber(args[0], "a number of milliseconds from 0 to 4294967295");
}

// A control named by its text, or by an id that fits a control's 16 bits.
ArgumentProblem CheckControl(const std::vector<std::string>& args) {
  if (!LooksLikeControlId(args[0]) || ParseControlId(args[0])) return std::nullopt;
  return Quoted(args[0]) + " is not a control id from #0 to #65535";
}

ArgumentProblem CheckControlId(const std::vector<std::string>& args) {
  if (ParseControlId(args[0])) return std::nullopt;
  return Quoted(args[0]) + " is not a control id from #0 to #65535";
}

ArgumentProblem CheckKeys(const std::vector<std::string>& args) {
  for (const auto& key : args)
    if (!ParseKeyStroke(key)) return "unknown key " + Quoted(key);
  return std::nullopt;
}

ArgumentProblem CheckAnswer(const std::vector<std::string>& args) {
  if (OneOf(args[0], {"ok", "cancel", "yes", "no"})) return std::nullopt;
  return "answer must be ok, cancel, yes or no, not " + Quoted(args[0]);
}

ArgumentProblem CheckChooser(const std::vector<std::string>& args) {
  if (!OneOf(args[0], {"file", "folder", "tree"})) return "chooser must be file, folder or tree, not " + Quoted(args[0]);
  if (args.size() == 4 && args[3] != "must-exist") return std::string("the fourth argument of chooser can only be must-exist");
  return std::nullopt;
}

ArgumentProblem CheckVersion(const std::vector<std::string>& args) {
  auto index = ParseInteger<int>(args[0]);
  if (index && *index >= 0) return std::nullopt;
  return NotANumber(args[0], "an entry index from 0");
}

ArgumentProblem CheckInputPanel(const std::vector<std::string>& args) {
  if (OneOf(args[0], {"on", "off"})) return std::nullopt;
  return "sip must be on or off, not " + Quoted(args[0]);
}

ArgumentProblem CheckPoint(const std::vector<std::string>& args) {
  for (const auto& arg : args) {
    auto value = ParseInteger<int>(arg);
    if (!value || *value < 0 || *value >= kMaxScreenSide) return NotANumber(arg, "a screen pixel");
  }
  return std::nullopt;
}

ArgumentProblem CheckPlace(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    auto value = ParseInteger<int>(args[i]);
    if (!value) return NotANumber(args[i], "a number of pixels");
    if (i >= 2 && *value < 0) return Quoted(args[i]) + " is not a width or height: it is negative";
  }
  return std::nullopt;
}

ArgumentProblem CheckMenuState(const std::vector<std::string>& args) {
  if (OneOf(args.back(), {"enabled", "grayed", "checked", "unchecked"})) return std::nullopt;
  return "expect menu ends with enabled, grayed, checked or unchecked, not " + Quoted(args.back());
}

ArgumentProblem CheckItemsEquals(const std::vector<std::string>& args) {
  auto equals = std::find(args.begin(), args.end(), "=");
  if (equals == args.end()) return std::string("expect items needs '=' between the menu path and its entries");
  if (equals == args.begin()) return std::string("expect items needs a menu before '='");
  return std::nullopt;
}

ArgumentProblem CheckChosen(const std::vector<std::string>& args) {
  if (ParseInteger<int>(args[0])) return std::nullopt;
  return NotANumber(args[0], "a result");
}

ArgumentProblem CheckExitCode(const std::vector<std::string>& args) {
  if (args.size() < 2 || ParseInteger<DWORD>(args[1])) return std::nullopt;
  return NotANumber(args[1], "an exit code from 0 to 4294967295");
}

// A picture's file: a name ending in .png (any case) with something before it.
ArgumentProblem CheckPictureFile(const std::vector<std::string>& args) {
  std::filesystem::path file(args[0]);
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".png" && file.stem() != "") return std::nullopt;
  return Quoted(args[0]) + " is not the name of a .png file";
}

// A golden image lies beside its scenario: a relative path that stays below the
// scenario's folder.
ArgumentProblem CheckGoldenFile(const std::vector<std::string>& args) {
  if (auto problem = CheckPictureFile(args)) return problem;
  std::filesystem::path file(args[0]);
  bool climbs = std::any_of(file.begin(), file.end(), [](const auto& part) { return part == ".."; });
  if (file.is_absolute() || file.has_root_name() || file.has_root_directory() || climbs)
    return Quoted(args[0]) + " is not a path below the scenario's folder";
  return std::nullopt;
}

}  // namespace sim::scenario
