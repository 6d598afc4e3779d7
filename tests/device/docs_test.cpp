// docs/scenarios.md is the reference of the scenario language: it lists every word
// of the table of words and every operation of the platform's table of injectable
// operations, with the error each fails with.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "kernel/fault_operations.h"
#include "scenario/words.h"

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

}  // namespace
