// The monkey's checks on the real suite: what the user asked for passes the model
// of the files, and what a program left behind when it ended is caught, reported
// as an expectation `handheld run` fails on, and shrunk to the steps it needs.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "handheld.h"
#include "monkey/monkey.h"
#include "monkey/report.h"
#include "monkey/scenario_text.h"
#include "scenario/script.h"

namespace {

using sim::scenario::Step;

constexpr char16_t kLeaky[] = u"\\Windows\\leaky.exe";

// Ends with \Temp\x.txt still open, when there is one.
sim::ProgramSource Leaky() {
  return {"leaky", [] {
            sim::ProgramImage image;
            image.path = kLeaky;
            image.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) {
              CreateFileW(u"\\Temp\\x.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
              return 0;
            };
            return image;
          }};
}

sim::monkey::MonkeyOptions Options() {
  sim::monkey::MonkeyOptions options;
  options.programs.push_back(Leaky());
  return options;
}

std::vector<Step> Parse(const std::string& script) {
  auto parsed = sim::scenario::ParseScript(script);
  EXPECT_TRUE(std::holds_alternative<std::vector<Step>>(parsed)) << script;
  return std::get<std::vector<Step>>(parsed);
}

// A confirmed delete, a declined one, a rename by editing the name, a paste and a
// new folder from the File Explorer's menu: each change was asked for. The
// expectations in between make sure each really happened.
TEST(MonkeyModel, WhatTheUserAskedForPassesTheChecksOfTheFiles) {
  auto run = sim::monkey::Replay(Options(), Parse(R"(file "\Temp\a.txt" alpha
file "\Temp\b.txt" beta
folder "\Temp\box"
start "\Windows\fexplore.exe" "\Temp\"
tap-item a.txt
key delete
answer no
expect file "\Temp\a.txt" alpha
key delete
answer yes
expect no-file "\Temp\a.txt"
tap-item b.txt
wait 1000
tap-item b.txt
type c.txt
key enter
expect file "\Temp\c.txt" beta
tap-item c.txt
key ctrl+c
double-tap-item box
key ctrl+v
expect file "\Temp\box\c.txt" beta
menu 編集
pick 新しいﾌｫﾙﾀﾞ
expect folder "\Temp\box\新しいﾌｫﾙﾀﾞ"
)"));
  EXPECT_FALSE(run.violation) << "after step " << run.violation->step + 1 << ": " << run.violation->message;
}

TEST(MonkeyModel, AProgramThatEndsHoldingThingsIsCaughtAndShrunk) {
  sim::monkey::MonkeyRun run;
  run.steps = Parse("sip on\nfile \\Temp\\x.txt x\nstart \\Windows\\leaky.exe\nsip off\n");
  run.chosen = run.steps.size();
  auto replay = sim::monkey::Replay(Options(), run.steps);
  ASSERT_TRUE(replay.violation);
  EXPECT_EQ(replay.violation->step, 2u);
  EXPECT_EQ(replay.violation->message, "\\Windows\\leaky.exe ended holding 1 open handle");
  ASSERT_TRUE(replay.violation->check);
  EXPECT_EQ(sim::monkey::FormatStep(*replay.violation->check), "expect no-leaks");
  run.violation = replay.violation;

  auto shrunk = sim::monkey::ShrinkRun(Options(), run, 50);
  EXPECT_EQ(sim::monkey::FormatScenario({}, shrunk.steps), "file \\Temp\\x.txt x\nstart \\Windows\\leaky.exe\nexpect no-leaks\n");
  EXPECT_TRUE(shrunk.reproduces);
  EXPECT_NE(shrunk.replayed.find("FAILED at line 3: \\Windows\\leaky.exe ended holding 1 open handle"), std::string::npos)
      << shrunk.replayed;
}

// The hand-written stories do only what their user asks, and so do the cases
// where the monkey once took what was asked for as unasked (under
// tests/device/monkey_cases/): replayed with the monkey's checks (their own
// expectations included), none breaks an invariant, and everything they leave
// open closes.
class AskedFor : public testing::TestWithParam<const char*> {};

TEST_P(AskedFor, BreaksNoInvariant) {
  std::ifstream in(std::string(HANDHELD_SOURCE_DIR) + "/tests/" + GetParam() + ".scn", std::ios::binary);
  ASSERT_TRUE(in) << GetParam();
  std::ostringstream text;
  text << in.rdbuf();
  auto run = sim::monkey::Replay(Options(), Parse(text.str()));
  EXPECT_FALSE(run.violation) << "after step " << run.violation->step + 1 << ": " << run.violation->message;
}

INSTANTIATE_TEST_SUITE_P(Stories, AskedFor,
                         testing::Values("scenarios/paste_shortcut", "scenarios/paste_shortcut_overwrite",
                                         "scenarios/setup_tool", "scenarios/send_to", "scenarios/file_browser_ops",
                                         "scenarios/multi_select", "scenarios/new_folder_series",
                                         "device/monkey_cases/setup_enter_after_tab",
                                         "device/monkey_cases/setup_report_escaped",
                                         "device/monkey_cases/paste_question_unreadable",
                                         "device/monkey_cases/paste_question_unreadable_gone",
                                         "device/monkey_cases/tap_on_open_menu",
                                         "device/monkey_cases/paste_behind_chooser",
                                         "device/monkey_cases/delete_after_refused_rename",
                                         "device/monkey_cases/rename_left_behind",
                                         "device/monkey_cases/delete_behind_refused_rename",
                                         "device/monkey_cases/paste_shortcut_write_fails",
                                         "device/monkey_cases/setup_write_fails"));

}  // namespace
