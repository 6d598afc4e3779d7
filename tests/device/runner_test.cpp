// The scenario runner: a misuse of the platform stops the run at the step that
// caused it (or at shutdown), and a failed program start is no start.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>

#include "handheld.h"
#include "scenario/runner.h"
#include "scenario/script.h"

namespace {

using sim::scenario::Outcome;

constexpr char16_t kMisuser[] = u"\\Windows\\misuser.exe";
constexpr char16_t kLingerer[] = u"\\Windows\\lingerer.exe";

// Closes a handle that was never opened, then ends.
sim::ProgramSource Misuser() {
  return {"misuser", [] {
            sim::ProgramImage image;
            image.path = kMisuser;
            image.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) {
              CloseHandle(reinterpret_cast<HANDLE>(0x7531));
              return 0;
            };
            return image;
          }};
}

// A library whose detach entry closes a handle that was never opened; the program
// that loads it waits for messages until the device shuts down and ends it.
constexpr char16_t kSloppyLibrary[] = u"\\Windows\\sloppy.dll";

sim::ProgramSource SloppyLibrary() {
  return {"sloppy library", [] {
            sim::ProgramImage image;
            image.path = kSloppyLibrary;
            image.kind = sim::ProgramImage::Kind::Library;
            image.attach = [](HINSTANCE, DWORD reason, LPVOID) {
              if (reason == DLL_PROCESS_DETACH) CloseHandle(reinterpret_cast<HANDLE>(0x8642));
              return TRUE;
            };
            return image;
          }};
}

sim::ProgramSource Lingerer() {
  return {"lingerer", [] {
            sim::ProgramImage image;
            image.path = kLingerer;
            image.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) {
              LoadLibraryW(kSloppyLibrary);
              MSG msg;
              while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
              return 0;
            };
            return image;
          }};
}

struct Transcript {
  Outcome outcome;
  std::string transcript;
};

Transcript RunScript(const std::string& script) {
  sim::HandheldOptions options;
  options.programs.push_back(Misuser());
  options.programs.push_back(Lingerer());
  options.programs.push_back(SloppyLibrary());
  sim::Handheld handheld(std::move(options));
  auto parsed = sim::scenario::ParseScript(script);
  EXPECT_TRUE(std::holds_alternative<std::vector<sim::scenario::Step>>(parsed)) << script;
  std::ostringstream transcript;
  Outcome outcome = sim::scenario::RunSteps(handheld, std::get<std::vector<sim::scenario::Step>>(parsed), transcript);
  return {outcome, transcript.str()};
}

TEST(ScenarioRunner, AMisuseStopsTheRunAtTheStepThatCausedIt) {
  Transcript run = RunScript("file \\Temp\\a.txt\nstart \\Windows\\misuser.exe\nexpect file \\Temp\\a.txt\n");
  EXPECT_EQ(run.outcome, Outcome::Failed);
  EXPECT_NE(run.transcript.find("FAILED at line 2: misuse of the platform by \\Windows\\misuser.exe: CloseHandle"),
            std::string::npos)
      << run.transcript;
  EXPECT_EQ(run.transcript.find("3: expect file"), std::string::npos) << "the run goes no further";
}

TEST(ScenarioRunner, AMisuseWhileTheHandheldShutsDownFailsARunThatHeldSoFar) {
  Transcript run = RunScript("start \\Windows\\lingerer.exe\nexpect running \\Windows\\lingerer.exe\n");
  EXPECT_EQ(run.outcome, Outcome::Failed);
  EXPECT_NE(run.transcript.find("FAILED when the handheld shut down: misuse of the platform by "
                                "\\Windows\\lingerer.exe: CloseHandle"),
            std::string::npos)
      << run.transcript;
  EXPECT_EQ(run.transcript.find("PASSED"), std::string::npos);
}

TEST(ScenarioRunner, EndingWhileTheCompanionsDialogIsOpenOnTheFileExplorerIsNoMisuse) {
  // The companion ends before the File Explorer, whose window still carries the
  // companion's procedure when the dialog goes and activation passes back to it.
  Transcript run = RunScript(
      "start \"\\Program Files\\Brackenway\\Brackenway.exe\" \\Temp\\\n"
      "menu 編集 ﾌｫﾙﾀﾞ移動 ﾂﾘｰで選択\nexpect dialog Folder\n");
  EXPECT_EQ(run.outcome, Outcome::Passed) << run.transcript;
}

TEST(ScenarioRunner, AFailedStartIsLoggedAsSuchAndMatchesOnlyAsAFailedStart) {
  Transcript matched = RunScript(
      "fail CreateProcessW\nstart \\Windows\\fexplore.exe\nexpect start-failed \\Windows\\fexplore.exe\n"
      "expect no-start\nexpect not-running \\Windows\\fexplore.exe\n");
  EXPECT_EQ(matched.outcome, Outcome::Passed) << matched.transcript;
  EXPECT_NE(matched.transcript.find("failed with error 14"), std::string::npos) << matched.transcript;

  Transcript unmatched = RunScript("fail CreateProcessW\nstart \\Windows\\fexplore.exe\nexpect started \\Windows\\fexplore.exe\n");
  EXPECT_EQ(unmatched.outcome, Outcome::Failed);
  EXPECT_NE(unmatched.transcript.find("found a failed start of \"\\Windows\\fexplore.exe\""), std::string::npos)
      << unmatched.transcript;
}

TEST(ScenarioRunner, AFailureArmedAfterSomeCallsLetsThemPass) {
  // \Temp\x\y takes the two calls that pass; \Temp\x\y\z meets the failure.
  Transcript run = RunScript("fail CreateDirectoryW 1 after 2\nfolder \\Temp\\x\\y\nexpect folder \\Temp\\x\\y\n"
                      "folder \\Temp\\x\\y\\z\n");
  EXPECT_EQ(run.outcome, Outcome::Failed);
  EXPECT_NE(run.transcript.find("FAILED at line 4: cannot make the folder"), std::string::npos) << run.transcript;
}

}  // namespace
