// docs/scenarios.md is the reference of the scenario language: it lists every word
// of the table of words and every operation of the platform's table of injectable
// operations, with the error each fails with.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "handheld.h"
#include "kernel/fault_operations.h"
#include "scenario/runner.h"
#include "scenario/words.h"
#include "tests/support/scratch_folder.h"

namespace {

std::string ScenarioDocs() {
  std::ifstream in(std::string(HANDHELD_SOURCE_DIR) + "/docs/scenarios.md", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The rows "| `Name` | returns | ERROR_X (N) |" of the section on operations that
// can be made to fail, as (name, N).
std::vector<std::pair<std::string, std::uint32_t>> DocumentedOperations(const std::string& docs) {
  std::vector<std::pair<std::string, std::uint32_t>> rows;
  std::size_t section = docs.find("### Operations that can be made to fail");
  std::size_t end = docs.find("\n#", section + 1);
  std::istringstream lines(docs.substr(section, end - section));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.starts_with("| `")) continue;
    std::size_t close = line.find('`', 3);
    std::size_t open = line.rfind('(');
    rows.emplace_back(line.substr(3, close - 3), static_cast<std::uint32_t>(std::stoul(line.substr(open + 1))));
  }
  return rows;
}

TEST(ScenarioDocs, ListEveryInjectableOperationWithItsError) {
  const std::string docs = ScenarioDocs();
  ASSERT_NE(docs.find("### Operations that can be made to fail"), std::string::npos);
  std::vector<std::pair<std::string, std::uint32_t>> table;
  for (const auto& operation : sim::kFaultOperations) table.emplace_back(operation.name, operation.naturalError);
  EXPECT_EQ(DocumentedOperations(docs), table);
}

TEST(ScenarioDocs, DescribeEveryWord) {
  const std::string docs = ScenarioDocs();
  for (const auto& word : sim::scenario::Words())
    EXPECT_NE(docs.find("| `" + std::string(word.name)), std::string::npos) << word.name;
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// README.md shows two screens of the guided tour from docs/images/: they are the
// screens the tour leaves after those steps today.
TEST(ReadmePictures, AreTheToursScreensAfterTheirSteps) {
  const std::filesystem::path source(HANDHELD_SOURCE_DIR);
  const std::string script = ReadBytes(source / "examples" / "tour.scn");
  auto parsed = sim::scenario::ParseScript(script);
  ASSERT_TRUE(std::holds_alternative<std::vector<sim::scenario::Step>>(parsed));
  const auto& steps = std::get<std::vector<sim::scenario::Step>>(parsed);
  test_support::ScratchFolder screens;
  sim::scenario::RunOptions options;
  options.stepScreens = screens.path();
  std::ostringstream transcript;
  {
    sim::Handheld handheld;
    ASSERT_EQ(sim::scenario::RunSteps(handheld, steps, transcript, options), sim::scenario::Outcome::Passed)
        << transcript.str();
  }
  const std::string readme = ReadBytes(source / "README.md");
  const struct {
    const char* picture;
    std::string word;
    std::vector<std::string> args;
  } shown[] = {{"tour_paste_question.png", "menu", {"編集", "ｼｮｰﾄｶｯﾄの貼り付け"}},
               {"tour_folder_tree.png", "tap-item", {"ﾏｲ ﾃﾞﾊﾞｲｽ\\Storage Card\\写真"}}};
  for (const auto& picture : shown) {
    EXPECT_NE(readme.find(std::string("docs/images/") + picture.picture), std::string::npos) << picture.picture;
    auto step = std::find_if(steps.begin(), steps.end(),
                             [&](const auto& s) { return s.word == picture.word && s.args == picture.args; });
    ASSERT_NE(step, steps.end()) << picture.picture;
    std::string number = std::to_string(step - steps.begin() + 1);
    number.insert(0, 3 - std::min<std::size_t>(3, number.size()), '0');
    EXPECT_EQ(ReadBytes(source / "docs" / "images" / picture.picture),
              ReadBytes(screens.path() / ("step-" + number + ".png")))
        << picture.picture << " is not the tour's screen after line " << step->line;
  }
}

}  // namespace
