#include "scenario/command.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "device_listing.h"
#include "handheld.h"
#include "monkey/command.h"
#include "scenario/arguments.h"
#include "scenario/runner.h"
#include "scenario/script.h"

namespace sim::scenario {

namespace {

constexpr int kMalformed = static_cast<int>(Outcome::Malformed);

int Usage() {
  std::cerr << "usage: handheld [run FILE.scn [--device DIR] [--screens DIR] [--update-screens] | files |\n"
               "                serve [--port N] [--device DIR] [--screen W H] | monkey --seed S --steps N ...]\n";
  return kMalformed;
}

// Boots the sample device and prints its files and installed programs.
int ListSampleDevice() {
  try {
    Handheld handheld;
    std::cout << "Files:\n";
    PrintFileTree(std::cout);
    std::cout << "Installed programs:\n";
    PrintInstalledPrograms(std::cout, handheld);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "handheld: " << error.what() << "\n";
    return 1;
  }
}

std::optional<std::string> ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The tour beside the sources this program was built from, or in the current folder.
std::filesystem::path TourPath() {
  std::filesystem::path local = "examples/tour.scn";
  if (std::filesystem::exists(local)) return local;
  return std::filesystem::path(HANDHELD_SOURCE_DIR) / "examples" / "tour.scn";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

struct RunRequest {
  std::filesystem::path script;
  std::optional<std::filesystem::path> device;
  std::optional<std::filesystem::path> screens;  // one picture per step, and the pictures the run writes
  bool updateScreens = false;
};

// Golden images lie beside the script; what the run writes goes to the screens
// folder, or to the folder the command was started in.
RunOptions OptionsFor(const RunRequest& request, const std::string& text) {
  RunOptions options;
  options.screenFiles.hostFiles = true;
  options.screenFiles.scriptFolder = request.script.parent_path();
  options.screenFiles.outputFolder = request.screens.value_or(std::filesystem::path());
  options.screenFiles.updateGolden = request.updateScreens;
  options.stepScreens = request.screens;
  options.lines = Lines(text);
  options.title = "scenario " + request.script.filename().string();
  return options;
}

int RunFile(const RunRequest& request) {
  const std::filesystem::path& script = request.script;
  auto text = ReadText(script);
  if (!text) {
    std::cerr << "handheld: cannot read " << script.string() << "\n";
    return kMalformed;
  }
  auto parsed = ParseScript(*text);
  if (auto* error = std::get_if<ScriptError>(&parsed)) {
    std::cerr << script.string() << ":" << error->line << ": " << error->message << "\n";
    return kMalformed;
  }
  const auto& steps = std::get<std::vector<Step>>(parsed);
  HandheldOptions options;
  options.folder = request.device;
  // A script that names its screen boots the handheld with it.
  if (!steps.empty() && steps.front().word == "screen") {
    options.device.screenWidth = ParseInteger<int>(steps.front().args[0]).value();
    options.device.screenHeight = ParseInteger<int>(steps.front().args[1]).value();
  }
  std::unique_ptr<Handheld> handheld;
  try {
    handheld = std::make_unique<Handheld>(std::move(options));
  } catch (const std::exception& error) {
    std::cerr << "handheld: " << error.what() << "\n";
    return kMalformed;
  }
  std::cout << "scenario " << script.string() << "\n";
  Outcome outcome = RunSteps(*handheld, steps, std::cout, OptionsFor(request, *text));
  if (request.screens) std::cout << "the screen after every step: " << (*request.screens / "index.html").string() << "\n";
  return static_cast<int>(outcome);
}

int RunArguments(const std::vector<std::string>& args) {
  if (args.empty()) return RunFile(RunRequest{TourPath()});
  if (args.size() == 1 && args[0] == "files") return ListSampleDevice();
  if (args[0] == "monkey") return monkey::RunMonkeyCommand(std::vector<std::string>(args.begin() + 1, args.end()));
  if (args[0] != "run" || args.size() < 2) return Usage();
  RunRequest request{args[1]};
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--device" && i + 1 < args.size())
      request.device = args[++i];
    else if (args[i] == "--screens" && i + 1 < args.size())
      request.screens = args[++i];
    else if (args[i] == "--update-screens")
      request.updateScreens = true;
    else
      return Usage();
  }
  return RunFile(request);
}

}  // namespace

// Whatever goes wrong inside is reported and ends the command with the code of a
// run that could not be done; nothing escapes as an uncaught exception.
int RunCommand(int argc, char** argv) {
  try {
    return RunArguments(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::cout << "FAILED: the run stopped on an internal error: " << error.what() << "\n";
  } catch (...) {
    std::cout << "FAILED: the run stopped on an internal error\n";
  }
  return static_cast<int>(Outcome::Failed);
}

}  // namespace sim::scenario
