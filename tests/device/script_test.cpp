// The scenario language's parser: quoting, comments, control ids, and malformed
// scripts refused with their line before anything runs.
#include <gtest/gtest.h>

#include "scenario/script.h"

namespace {

using sim::scenario::ParseScript;
using sim::scenario::ScriptError;
using sim::scenario::SplitLine;
using sim::scenario::Step;
using Args = std::vector<std::string>;

Args Split(std::string_view line) { return std::get<Args>(SplitLine(line)); }

TEST(ScenarioScript, QuotesKeepBlanksAndBackslashesLiterally) {
  EXPECT_EQ(Split(R"(file "\My Documents\a b.txt" 'say "hi"' "")"),
            (Args{"file", R"(\My Documents\a b.txt)", R"(say "hi")", ""}));
  EXPECT_EQ(Split("  tap   OK  # the default button"), (Args{"tap", "OK"}));
  EXPECT_EQ(Split("expect text #1087 '\\Temp\\'"), (Args{"expect", "text", "#1087", "\\Temp\\"}));
  EXPECT_EQ(Split("tap \"#\" # a hash in quotes stays"), (Args{"tap", "#"}));
  EXPECT_TRUE(std::holds_alternative<std::string>(SplitLine("tap \"unterminated")));
}

TEST(ScenarioScript, StepsCarryTheirLineAndTwoWordExpectations) {
  auto parsed = ParseScript("# a story\n\nstart \\Windows\\fexplore.exe\nexpect list a b\n");
  auto& steps = std::get<std::vector<Step>>(parsed);
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].line, 3);
  EXPECT_EQ(steps[1].word, "expect list");
  EXPECT_EQ(steps[1].args, (Args{"a", "b"}));
}

TEST(ScenarioScript, ScreenComesFirstAndPlacesMayBeOffScreen) {
  auto parsed = ParseScript("screen 480 640\nexpect place -8 0 496 268\n");
  ASSERT_TRUE(std::holds_alternative<std::vector<Step>>(parsed));
  EXPECT_EQ(std::get<std::vector<Step>>(parsed)[1].args, (Args{"-8", "0", "496", "268"}));
}

TEST(ScenarioScript, MalformedScriptsNameTheLine) {
  const struct {
    const char* script;
    int line;
  } cases[] = {
      {"start a\nfrobnicate\n", 2},          {"wait soon\n", 1},
      {"answer maybe\n", 1},                 {"expect menu 編集 ｺﾋﾟｰ blue\n", 1},
      {"expect items 編集 ｺﾋﾟｰ\n", 1},       {"chooser tree t \\ sometimes\n", 1},
      {"ok\nclose now\n", 2},                {"expect\n", 1},
      {"ok\nscreen 480 640\n", 2},          {"screen 480 100000\n", 1},
      {"screen 480\n", 1},                   {"expect place 0 0 -240 268\n", 1},
  };
  for (const auto& c : cases) {
    auto parsed = ParseScript(c.script);
    ASSERT_TRUE(std::holds_alternative<ScriptError>(parsed)) << c.script;
    EXPECT_EQ(std::get<ScriptError>(parsed).line, c.line) << c.script;
  }
}

}  // namespace
