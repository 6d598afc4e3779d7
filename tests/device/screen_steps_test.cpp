// Pictures out of the scenario runner: golden images compared pixel for pixel
// (a mismatch keeps the screen and a picture of the differences where the failure
// says), rewritten only when asked, and one picture per step with a page that
// shows each step's line beside its screen, the same bytes on every run.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "gdi/png.h"
#include "handheld.h"
#include "scenario/runner.h"
#include "scenario/script.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using sim::scenario::Outcome;
using sim::scenario::RunOptions;

struct Ran {
  Outcome outcome;
  std::string transcript;
};

Ran RunScript(const std::string& script, const RunOptions& options) {
  sim::Handheld handheld;
  auto parsed = sim::scenario::ParseScript(script);
  EXPECT_TRUE(std::holds_alternative<std::vector<sim::scenario::Step>>(parsed)) << script;
  std::ostringstream transcript;
  Outcome outcome =
      sim::scenario::RunSteps(handheld, std::get<std::vector<sim::scenario::Step>>(parsed), transcript, options);
  return {outcome, transcript.str()};
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool Says(const Ran& run, const std::string& text) { return run.transcript.find(text) != std::string::npos; }

class ScreenSteps : public ::testing::Test {
 protected:
  RunOptions options(bool update = false) const {
    RunOptions options;
    options.screenFiles.hostFiles = true;
    options.screenFiles.scriptFolder = scripts_.path();
    options.screenFiles.outputFolder = output_.path();
    options.screenFiles.updateGolden = update;
    return options;
  }
  fs::path golden() const { return scripts_.path() / "shots" / "explorer.png"; }
  fs::path output(const char* name) const { return output_.path() / name; }

  test_support::ScratchFolder scripts_;
  test_support::ScratchFolder output_;
};

constexpr char kExplorer[] = "start \\Windows\\fexplore.exe \\Temp\\\nexpect screen shots/explorer.png\n";
constexpr char kExplorerWithFile[] =
    "file \\Temp\\a.txt\nstart \\Windows\\fexplore.exe \\Temp\\\nexpect screen shots/explorer.png\n";

TEST_F(ScreenSteps, AMissingGoldenImageFailsUnlessTheRunMayWriteIt) {
  Ran missing = RunScript(kExplorer, options());
  EXPECT_EQ(missing.outcome, Outcome::Failed);
  EXPECT_TRUE(Says(missing, "FAILED at line 2: cannot read the golden image " + golden().string())) << missing.transcript;
  EXPECT_TRUE(Says(missing, "the screen is in " + output("explorer.actual.png").string())) << missing.transcript;
  EXPECT_TRUE(sim::ReadPng(output("explorer.actual.png")));
  EXPECT_FALSE(fs::exists(golden()));

  Ran made = RunScript(kExplorer, options(true));
  EXPECT_EQ(made.outcome, Outcome::Passed) << made.transcript;
  EXPECT_TRUE(Says(made, "golden image " + golden().string() + " written (it was missing)")) << made.transcript;
  EXPECT_EQ(ReadBytes(golden()), ReadBytes(output("explorer.actual.png")))
      << "the golden image is the screen the failed run kept";

  Ran again = RunScript(kExplorer, options());
  EXPECT_EQ(again.outcome, Outcome::Passed) << again.transcript;
}

TEST_F(ScreenSteps, AMismatchSaysWhereAndKeepsTheScreenAndTheDifferences) {
  ASSERT_EQ(RunScript(kExplorer, options(true)).outcome, Outcome::Passed);
  const std::string kept = ReadBytes(golden());

  Ran changed = RunScript(kExplorerWithFile, options());
  EXPECT_EQ(changed.outcome, Outcome::Failed);
  EXPECT_TRUE(Says(changed, "FAILED at line 3: the screen differs from the golden image " + golden().string()))
      << changed.transcript;
  EXPECT_TRUE(Says(changed, " pixels differ within (")) << changed.transcript;
  EXPECT_TRUE(Says(changed, "the differences (in red) in " + output("explorer.diff.png").string()))
      << changed.transcript;
  EXPECT_EQ(ReadBytes(golden()), kept) << "a failed comparison leaves the golden image alone";

  // The kept screen is what the run showed; the differences are red where the new
  // file's row is, over the golden image faded.
  auto actual = sim::ReadPng(output("explorer.actual.png"));
  auto expected = sim::ReadPng(golden());
  auto differences = sim::ReadPng(output("explorer.diff.png"));
  ASSERT_TRUE(actual && expected && differences);
  sim::ScreenComparison comparison = sim::CompareScreens(*actual, *expected);
  ASSERT_FALSE(comparison.same);
  EXPECT_NE(changed.transcript.find(std::to_string(comparison.differentPixels) + " pixels differ"), std::string::npos);
  long red = 0;
  for (int y = 0; y < differences->height(); ++y)
    for (int x = 0; x < differences->width(); ++x) red += differences->color(x, y) == RGB(255, 0, 0);
  EXPECT_EQ(red, comparison.differentPixels);
  EXPECT_NE(differences->color(0, 0), RGB(255, 0, 0)) << "the navigation bar did not change";

  Ran updated = RunScript(kExplorerWithFile, options(true));
  EXPECT_EQ(updated.outcome, Outcome::Passed) << updated.transcript;
  EXPECT_TRUE(Says(updated, "pixels differed)")) << updated.transcript;
  EXPECT_TRUE(sim::CompareScreens(*sim::ReadPng(golden()), *actual).same);
  EXPECT_EQ(RunScript(kExplorer, options()).outcome, Outcome::Failed) << "the old screen no longer matches";
}

TEST_F(ScreenSteps, ScreensOfEveryStepAreTheSameBytesOnEveryRun) {
  const std::string script =
      "# Files <first>\nfile \\Temp\\a.txt\n\n# The explorer & its list\n"
      "start \\Windows\\fexplore.exe \\Temp\\\nscreenshot shot.png\nexpect window Nowhere\n";
  auto runInto = [&](const fs::path& folder) {
    RunOptions withSteps = options();
    withSteps.stepScreens = folder;
    withSteps.title = "scenario <t>";
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) withSteps.lines.push_back(line);
    return RunScript(script, withSteps);
  };
  test_support::ScratchFolder first, second;
  std::ofstream(first.path() / "notes.txt") << "not ours";
  std::ofstream(first.path() / "step-099.png") << "an earlier run's";
  Ran run = runInto(first.path());
  EXPECT_EQ(run.outcome, Outcome::Failed);
  ASSERT_EQ(runInto(second.path()).outcome, Outcome::Failed);

  for (const char* name : {"step-001.png", "step-002.png", "step-003.png", "step-004.png", "index.html"})
    EXPECT_EQ(ReadBytes(first.path() / name), ReadBytes(second.path() / name)) << name;
  EXPECT_FALSE(fs::exists(first.path() / "step-099.png")) << "an earlier run's screens go";
  EXPECT_TRUE(fs::exists(first.path() / "notes.txt")) << "other files stay";
  EXPECT_FALSE(fs::exists(first.path() / "step-005.png"));
  EXPECT_EQ(ReadBytes(first.path() / "step-003.png"), ReadBytes(output("shot.png")))
      << "the screenshot and the step's screen are the same picture";
  EXPECT_TRUE(Says(run, "screen written to " + output("shot.png").string())) << run.transcript;

  const std::string page = ReadBytes(first.path() / "index.html");
  for (const char* part :
       {"<title>scenario &lt;t&gt;</title>", "Files &lt;first&gt;", "The explorer &amp; its list",
        "start \\Windows\\fexplore.exe \\Temp\\", "<img src=\"step-002.png\" width=\"240\" height=\"320\"",
        "expected the window Nowhere in front", "FAILED at line 7: expected the window Nowhere"})
    EXPECT_NE(page.find(part), std::string::npos) << part << "\n" << page;
  EXPECT_LT(page.find("Files &lt;first&gt;"), page.find("step-001.png"));
  EXPECT_LT(page.find("step-001.png"), page.find("The explorer &amp; its list"));
  EXPECT_LT(page.find("The explorer &amp; its list"), page.find("step-002.png"));
}

TEST_F(ScreenSteps, ARunWithoutHostFilesTakesNoPicture) {
  // The web page's scripts come from whoever uses the page: no host file is read or written.
  Ran shot = RunScript("screenshot shot.png\n", RunOptions{});
  EXPECT_EQ(shot.outcome, Outcome::Failed);
  EXPECT_TRUE(Says(shot, "keeps no pictures on the host")) << shot.transcript;
  Ran golden = RunScript("expect screen x.png\n", RunOptions{});
  EXPECT_EQ(golden.outcome, Outcome::Failed);
  EXPECT_FALSE(fs::exists("shot.png"));
}

}  // namespace
