#include "monkey/supervise.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "monkey/scenario_text.h"
#include "monkey/shrink.h"
#include "scenario/script.h"

namespace sim::monkey {

namespace fsys = std::filesystem;

namespace {

std::string ReadText(const fsys::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The sanitizer's one-line summary of what it found, if it found something.
std::string SummaryOf(const std::string& errors) {
  std::size_t at = errors.find("SUMMARY: ");
  if (at == std::string::npos) return "";
  return errors.substr(at, errors.find('\n', at) - at);
}

ChildEnd Ended(int status, const fsys::path& errors) {
  ChildEnd end;
  end.crash = SummaryOf(ReadText(errors));
  if (WIFEXITED(status)) {
    end.exited = end.crash.empty();
    end.code = WEXITSTATUS(status);
  } else if (end.crash.empty()) {
    end.crash = "signal " + std::to_string(WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  }
  return end;
}

void RedirectStderr(const fsys::path& errors) {
  int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd >= 0) {
    ::dup2(fd, 2);
    ::close(fd);
  }
}

// The line number of the last step a transcript shows ("  12: tap ...").
int LastStepLine(const std::string& transcript) {
  int last = 0;
  std::istringstream lines(transcript);
  std::string line;
  while (std::getline(lines, line)) {
    std::size_t colon = line.find(':');
    if (line.starts_with("  ") && colon != std::string::npos && colon > 2 &&
        line.find_first_not_of("0123456789", 2) == colon)
      last = std::stoi(line.substr(2, colon - 2));
  }
  return last;
}

// `handheld run SCRIPT [--device COPY]` in a fresh process; how it ended.
ChildEnd RunScript(const fsys::path& script, const std::optional<fsys::path>& device, const fsys::path& errors) {
  const fsys::path transcript = fsys::path(errors).replace_extension(".out");
  std::optional<fsys::path> copy;
  if (device) {
    copy = fsys::temp_directory_path() / ("monkey-replay-" + std::to_string(::getpid()));
    fsys::remove_all(*copy);
    fsys::copy(*device, *copy, fsys::copy_options::recursive | fsys::copy_options::copy_symlinks);
  }
  std::cout.flush();
  pid_t child = ::fork();
  if (child == 0) {
    RedirectStderr(errors);
    int out = ::open(transcript.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, 1);
    std::vector<std::string> args{"/proc/self/exe", "run", script.string()};
    if (copy) args.insert(args.end(), {"--device", copy->string()});
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (copy) fsys::remove_all(*copy);
  ChildEnd end = Ended(status, errors);
  end.lastLine = LastStepLine(ReadText(transcript));
  fsys::remove(transcript);
  return end;
}

std::string ScreenLine(const MonkeyOptions& options) {
  if (options.screenWidth == 240 && options.screenHeight == 320) return "";
  return "screen " + std::to_string(options.screenWidth) + " " + std::to_string(options.screenHeight) + "\n";
}

}  // namespace

ChildEnd RunInChild(const std::function<int()>& body, const fsys::path& errors) {
  std::cout.flush();
  std::cerr.flush();
  pid_t child = ::fork();
  if (child == 0) {
    RedirectStderr(errors);
    int code = body();
    std::cout.flush();
    std::exit(code);  // through exit, so that the leak checker looks at the host process too
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  std::cerr << ReadText(errors);
  return Ended(status, errors);
}

void ShrinkCrash(const MonkeyOptions& options, const fsys::path& journal, const std::string& crash,
                 const fsys::path& out, std::ostream& report, int budget) {
  auto parsed = scenario::ParseScript(ReadText(journal));
  if (!std::holds_alternative<std::vector<scenario::Step>>(parsed)) {
    report << "monkey: the journal of the run cannot be read back\n";
    return;
  }
  const auto steps = std::get<std::vector<scenario::Step>>(parsed);
  const fsys::path script = fsys::path(journal).replace_extension(".try.scn");
  const fsys::path errors = fsys::path(journal).replace_extension(".try.err");
  auto write = [&](const std::vector<std::size_t>& kept) {
    std::vector<scenario::Step> picked;
    for (std::size_t index : kept) picked.push_back(steps[index]);
    std::ofstream(script, std::ios::binary) << ScreenLine(options) << FormatScenario({}, picked);
    return picked.size();
  };
  const int firstLine = ScreenLine(options).empty() ? 1 : 2;
  auto stillFails = [&](const std::vector<std::size_t>& kept) -> std::optional<std::size_t> {
    write(kept);
    ChildEnd end = RunScript(script, options.device, errors);
    if (end.crash != crash) return std::nullopt;
    // A crash at shutdown needs every step; one during a step needs those up to it.
    return end.lastLine >= firstLine ? static_cast<std::size_t>(end.lastLine - firstLine + 1) : kept.size();
  };
  ShrinkResult result = Shrink(steps.size(), stillFails, budget);
  std::size_t count = write(result.kept);
  bool reproduces = RunScript(script, options.device, errors).crash == crash;
  std::ofstream(out, std::ios::binary) << "# Found by the monkey: handheld monkey --seed " << options.seed << " --steps "
                                       << options.steps << "\n# the run crashed: " << crash << "\n# shrunk to "
                                       << count << " steps in " << result.tries << " replays; handheld run "
                                       << (reproduces ? "crashes the same way" : "does not crash on it") << "\n"
                                       << ReadText(script);
  fsys::remove(script);
  fsys::remove(errors);
  report << "monkey: shortest scenario (" << count << " steps, " << result.tries << " replays): " << out.string()
         << "\n";
}

}  // namespace sim::monkey
