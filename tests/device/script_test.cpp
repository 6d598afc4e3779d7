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
      // Every number must fit the field it fills.
      {"wait 4294967296\n", 1},              {"expect place 0 0 240 99999999999\n", 1},
      {"version 2147483648\n", 1},          {"sized \\a 18446744073709551616\n", 1},
      {"expect ended \\a.exe -1\n", 1},     {"expect chosen 1x\n", 1},
      {"wait +5\n", 1},
      // Failure switches name an injectable operation, a count from 1 and a skip from 0.
      {"fail Frobnicate\n", 1},             {"fail WriteFile 0\n", 1},
      {"fail WriteFile -2\n", 1},           {"fail WriteFile after\n", 1},
      {"fail WriteFile 1 after -1\n", 1},   {"fail WriteFile 1 before 2\n", 1},
      // Control ids are 16-bit, and some steps take nothing but an id.
      {"tap #65536\n", 1},                  {"expect text \"#99999999999\" x\n", 1},
      {"expect text OK x\n", 1},            {"choose Name x\n", 1},
      {"key ctrl+c frobnicate\n", 1},      {"sip halfway\n", 1},
      {"file \\a \"\xff\xfe\"\n", 1},
      // Pictures are .png files; a golden image lies below the scenario's folder.
      {"screenshot shot.txt\n", 1},       {"screenshot .png\n", 1},
      {"expect screen /tmp/x.png\n", 1}, {"expect screen ../x.png\n", 1},
      {"expect screen a/../../x.png\n", 1},
  };
  for (const auto& c : cases) {
    auto parsed = ParseScript(c.script);
    ASSERT_TRUE(std::holds_alternative<ScriptError>(parsed)) << c.script;
    EXPECT_EQ(std::get<ScriptError>(parsed).line, c.line) << c.script;
  }
}

TEST(ScenarioScript, WellFormedArgumentsAtTheEdgesOfTheirFields) {
  auto parsed = ParseScript(
      "wait 4294967295\nfail WriteFile 2 after 0\nfail OpenClipboard after 3\ntap #65535\ntap '#1 a'\n"
      "key CTRL+C ctrl-down enter ctrl-up\nsip on\nexpect ended \\a.exe 4294967295\nexpect chosen -1\n"
      "expect start-failed \\a.exe\nscreenshot /tmp/a.PNG\nexpect screen shots/x.png\n");
  ASSERT_TRUE(std::holds_alternative<std::vector<Step>>(parsed)) << std::get<ScriptError>(parsed).message;
  EXPECT_EQ(std::get<std::vector<Step>>(parsed).size(), 12u);
}

TEST(ScenarioScript, AnUnknownFailureNamesEveryOperationThatCanFail) {
  auto parsed = ParseScript("fail GetClipboardDta\n");
  ASSERT_TRUE(std::holds_alternative<ScriptError>(parsed));
  const std::string& message = std::get<ScriptError>(parsed).message;
  for (const char* name : {"GetClipboardData", "SHCreateMenuBar", "CreateProcessW", "DialogBoxIndirectParamW"})
    EXPECT_NE(message.find(name), std::string::npos) << message;
}

}  // namespace
