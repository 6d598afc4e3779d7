// The monkey's own logic: the same seed gives the same run, a planted fault is
// found and shrunk to the steps it needs, and the model of the device's files
// tells the changes a step asked for from those it did not.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "handheld.h"
#include "monkey/allowance.h"
#include "monkey/command.h"
#include "monkey/monkey.h"
#include "monkey/report.h"
#include "monkey/scenario_text.h"
#include "monkey/shrink.h"
#include "scenario/runner.h"
#include "scenario/script.h"
#include "tests/support/scratch_folder.h"

namespace {

using sim::monkey::MonkeyOptions;
using sim::scenario::Step;

constexpr char16_t kRogue[] = u"\\Windows\\rogue.exe";
constexpr char16_t kPicky[] = u"\\Windows\\picky.exe";

// Writes a file nobody asked for.
sim::ProgramSource Rogue() {
  return {"rogue", [] {
            sim::ProgramImage image;
            image.path = kRogue;
            image.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) {
              HANDLE file = CreateFileW(u"\\Temp\\rogue.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
              if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
              return 0;
            };
            return image;
          }};
}

// Misuses the platform, but only when \Temp\trigger is there.
sim::ProgramSource Picky() {
  return {"picky", [] {
            sim::ProgramImage image;
            image.path = kPicky;
            image.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) {
              if (GetFileAttributesW(u"\\Temp\\trigger") != INVALID_FILE_ATTRIBUTES) CloseHandle(reinterpret_cast<HANDLE>(0x7531));
              return 0;
            };
            return image;
          }};
}

MonkeyOptions Options(std::uint64_t seed, int steps) {
  MonkeyOptions options;
  options.seed = seed;
  options.steps = steps;
  options.programs.push_back(Rogue());
  options.programs.push_back(Picky());
  return options;
}

std::vector<Step> Parse(const std::string& script) {
  auto parsed = sim::scenario::ParseScript(script);
  EXPECT_TRUE(std::holds_alternative<std::vector<Step>>(parsed)) << script;
  return std::get<std::vector<Step>>(parsed);
}

std::string Script(const std::vector<Step>& steps) { return sim::monkey::FormatScenario({}, steps); }

TEST(Monkey, TheSameSeedMakesTheSameRunAndAnotherSeedAnother) {
  auto first = sim::monkey::RunMonkey(Options(7, 40));
  auto again = sim::monkey::RunMonkey(Options(7, 40));
  auto other = sim::monkey::RunMonkey(Options(8, 40));
  ASSERT_GE(first.steps.size(), 40u);
  EXPECT_EQ(Script(first.steps), Script(again.steps));
  EXPECT_NE(Script(first.steps), Script(other.steps));
  // What it writes reads back as the same steps.
  EXPECT_EQ(Script(Parse(Script(first.steps))), Script(first.steps));
}

TEST(Monkey, ShrinkingKeepsExactlyThePiecesAFailureNeeds) {
  // Fails when steps 3 and 7 both run, at step 7: what follows it is never needed.
  int calls = 0;
  auto needsThreeAndSeven = [&](const std::vector<std::size_t>& kept) -> std::optional<std::size_t> {
    ++calls;
    auto three = std::find(kept.begin(), kept.end(), 3);
    auto seven = std::find(kept.begin(), kept.end(), 7);
    if (three == kept.end() || seven == kept.end()) return std::nullopt;
    return static_cast<std::size_t>(seven - kept.begin()) + 1;
  };
  auto result = sim::monkey::Shrink(40, needsThreeAndSeven, 1000);
  EXPECT_EQ(result.kept, (std::vector<std::size_t>{3, 7}));
  EXPECT_EQ(result.tries, calls);
  EXPECT_LT(calls, 40) << "the steps after the failure go at the first success";

  auto limited = sim::monkey::Shrink(40, needsThreeAndSeven, 2);
  EXPECT_EQ(limited.tries, 2);
  EXPECT_TRUE(std::set<std::size_t>(limited.kept.begin(), limited.kept.end()).count(7));
}

// A run whose fifth step misuses the platform, because the second one left the
// file that sets it off: shrunk, the two steps remain, and `handheld run` fails
// on the script at the misuse.
TEST(Monkey, AMisuseIsShrunkToTheStepsItNeeds) {
  MonkeyOptions options = Options(1, 0);
  sim::monkey::MonkeyRun run;
  run.steps = Parse(
      "file \\Temp\\other\nfile \\Temp\\trigger\nstart \\Windows\\fexplore.exe\nsip on\nstart \\Windows\\picky.exe\n"
      "sip off\n");
  run.chosen = run.steps.size();
  auto replay = sim::monkey::Replay(options, run.steps);
  ASSERT_TRUE(replay.violation);
  EXPECT_EQ(replay.violation->step, 4u);
  EXPECT_NE(replay.violation->signature.find("CloseHandle"), std::string::npos) << replay.violation->signature;
  run.violation = replay.violation;

  auto shrunk = sim::monkey::ShrinkRun(options, run, 100);
  EXPECT_EQ(Script(shrunk.steps), "file \\Temp\\trigger\nstart \\Windows\\picky.exe\n");
  EXPECT_TRUE(shrunk.reproduces);
  EXPECT_NE(shrunk.replayed.find("FAILED at line 2: misuse of the platform by \\Windows\\picky.exe"), std::string::npos)
      << shrunk.replayed;
}

// A program that writes a file on its own breaks the model of the files; the
// files the host wrote on purpose in the same run do not.
TEST(Monkey, AnUnwantedWriteIsCaughtAndReplayedAsAnExpectation) {
  MonkeyOptions options = Options(1, 0);
  sim::monkey::MonkeyRun run;
  run.steps = Parse("file \\Temp\\asked.txt hello\nfolder \\Temp\\made\\below\nremove \\Temp\\asked.txt\n"
                    "start \\Windows\\rogue.exe\nsip on\n");
  run.chosen = run.steps.size();
  auto replay = sim::monkey::Replay(options, run.steps);
  ASSERT_TRUE(replay.violation);
  EXPECT_EQ(replay.violation->step, 3u) << replay.violation->message;
  EXPECT_EQ(replay.violation->message, "the file \\Temp\\rogue.txt appeared though no step asked for it");
  ASSERT_TRUE(replay.violation->check);
  EXPECT_EQ(sim::monkey::FormatStep(*replay.violation->check), "expect no-file \\Temp\\rogue.txt");
  run.violation = replay.violation;

  auto shrunk = sim::monkey::ShrinkRun(options, run, 100);
  EXPECT_EQ(Script(shrunk.steps), "start \\Windows\\rogue.exe\nexpect no-file \\Temp\\rogue.txt\n");
  EXPECT_TRUE(shrunk.reproduces) << shrunk.replayed;
}

// Whatever an argument holds, the script the monkey writes reads back as the same
// steps: blanks, either quote, a '#' that would start a comment, nothing at all.
TEST(Monkey, WrittenStepsReadBackWithTheirArguments) {
  Step step;
  step.word = "type";
  for (std::string arg : {"", "a b", "say \"hi\"", "it's", "#1", "#x y", "tab\there", "\\Temp\\"}) {
    step.args = {arg};
    auto back = Parse(sim::monkey::FormatStep(step) + "\n");
    ASSERT_EQ(back.size(), 1u) << sim::monkey::FormatStep(step);
    EXPECT_EQ(back[0].args, step.args) << sim::monkey::FormatStep(step);
  }
}

TEST(Monkey, AMalformedCommandLineRunsNothing) {
  using Args = std::vector<std::string>;
  for (const Args& args : {Args{"--steps", "5"}, Args{"--seed", "1"}, Args{"--seed", "x", "--steps", "5"},
                           Args{"--seed", "1", "--steps", "-1"}, Args{"--seed", "1", "--steps", "5", "--screen", "100", "320"},
                           Args{"--seed", "1", "--steps", "5", "--device", "/nonexistent/device"},
                           Args{"--seed", "1", "--steps", "5", "--seeds", "0"}, Args{"--seed", "1", "--steps", "5", "--bogus"}})
    EXPECT_EQ(sim::monkey::RunMonkeyCommand(args), 2) << testing::PrintToString(args);
}

// --- the rules of what a step may change, on snapshots made by hand ---

sim::monkey::FileEntry File(std::u16string path, std::string bytes) {
  sim::monkey::FileEntry entry;
  entry.path = std::move(path);
  entry.size = bytes.size();
  entry.digest = sim::monkey::Digest(bytes);
  entry.bytes = std::move(bytes);
  return entry;
}

sim::monkey::FileEntry Folder(std::u16string path) {
  sim::monkey::FileEntry entry;
  entry.path = std::move(path);
  entry.folder = true;
  return entry;
}

sim::monkey::FileSnapshot Snapshot(std::vector<sim::monkey::FileEntry> entries) {
  sim::monkey::FileSnapshot snapshot;
  for (auto& entry : entries) snapshot.add(std::move(entry));
  return snapshot;
}

std::string Problem(const sim::monkey::FileSnapshot& before, const sim::monkey::FileSnapshot& after,
                    const sim::monkey::Allowance& allowance) {
  auto violation = sim::monkey::CheckChanges(sim::monkey::Compare(before, after), allowance, before, after);
  return violation ? violation->problem : "";
}

TEST(FileRules, ARenameMovesOneEntryWithItsContentAndNothingElse) {
  auto before = Snapshot({Folder(u"\\D"), File(u"\\D\\a.txt", "alpha"), File(u"\\D\\b.txt", "beta")});
  sim::monkey::Allowance rename;
  rename.move(u"\\D\\a.txt", u"\\D\\c.txt");
  EXPECT_EQ(Problem(before, Snapshot({Folder(u"\\D"), File(u"\\D\\c.txt", "alpha"), File(u"\\D\\b.txt", "beta")}), rename), "");
  EXPECT_EQ(Problem(before, before, rename), "") << "a rename that did not happen changes nothing";
  EXPECT_EQ(Problem(before, Snapshot({Folder(u"\\D"), File(u"\\D\\b.txt", "beta")}), rename),
            "the file \\D\\a.txt vanished though no step asked for it")
      << "an entry that leaves without arriving is lost";
  EXPECT_EQ(Problem(before, Snapshot({Folder(u"\\D"), File(u"\\D\\c.txt", "other"), File(u"\\D\\b.txt", "beta")}), rename),
            "the file \\D\\a.txt vanished though no step asked for it");
  // A folder renamed to a name typed with a final backslash keeps what it holds.
  auto withFolder = Snapshot({Folder(u"\\D"), Folder(u"\\D\\f"), File(u"\\D\\f\\x", "x")});
  sim::monkey::Allowance typedSlash;
  typedSlash.move(u"\\D\\f", u"\\D\\g\\");
  EXPECT_EQ(Problem(withFolder, Snapshot({Folder(u"\\D"), Folder(u"\\D\\g"), File(u"\\D\\g\\x", "x")}), typedSlash), "");
  sim::monkey::Allowance caseOnly;
  caseOnly.move(u"\\D\\a.txt", u"\\D\\A.TXT");
  EXPECT_EQ(Problem(before, Snapshot({Folder(u"\\D"), File(u"\\D\\A.TXT", "alpha"), File(u"\\D\\b.txt", "beta")}), caseOnly), "");
}

TEST(FileRules, APasteCopiesWhatWasThereAndNoMore) {
  auto before = Snapshot({Folder(u"\\A"), File(u"\\A\\x", "x"), Folder(u"\\B")});
  sim::monkey::Allowance paste;
  paste.copyTree(u"\\A", u"\\B\\A");
  EXPECT_EQ(Problem(before, Snapshot({Folder(u"\\A"), File(u"\\A\\x", "x"), Folder(u"\\B"), Folder(u"\\B\\A"), File(u"\\B\\A\\x", "x")}), paste), "");
  EXPECT_EQ(Problem(before, Snapshot({Folder(u"\\A"), File(u"\\A\\x", "x"), Folder(u"\\B"), Folder(u"\\B\\A"), Folder(u"\\B\\A\\A")}), paste),
            "the folder \\B\\A\\A appeared though no step asked for it")
      << "a copy of the copy is not what was copied";
  EXPECT_EQ(Problem(before, Snapshot({Folder(u"\\A"), Folder(u"\\B")}), paste), "the file \\A\\x vanished though no step asked for it");
}

TEST(FileRules, AConfirmedShortcutAppearsOnlyAsAskedAndReplacesOnlyWhenAllowed) {
  std::string link = "13#\"\\Temp\\a.txt\"";
  std::string other = "10#\\Temp\\b.txt";
  auto empty = Snapshot({Folder(u"\\Temp")});
  auto made = Snapshot({Folder(u"\\Temp"), File(u"\\Temp\\a.lnk", link)});
  sim::monkey::Allowance create;
  create.shortcut(u"\\Temp\\a.lnk", {u"\"\\Temp\\a.txt\""}, false, false);
  EXPECT_EQ(Problem(empty, made, create), "");
  EXPECT_EQ(Problem(empty, Snapshot({Folder(u"\\Temp"), File(u"\\Temp\\a.lnk", other)}), create),
            "the file \\Temp\\a.lnk appeared though no step asked for it");
  auto old = Snapshot({Folder(u"\\Temp"), File(u"\\Temp\\a.lnk", other)});
  EXPECT_EQ(Problem(old, made, create), "the content of \\Temp\\a.lnk changed though no step asked for it")
      << "a shortcut that is there is replaced only when the user confirmed it";
  sim::monkey::Allowance replace;
  replace.shortcut(u"\\Temp\\a.lnk", {u"\"\\Temp\\a.txt\""}, true, false);
  EXPECT_EQ(Problem(old, made, replace), "");
  EXPECT_EQ(Problem(old, empty, replace), "the file \\Temp\\a.lnk vanished though no step asked for it");
  // Under an injected failure the replaced shortcut may be lost, or left empty by a
  // write that failed and could not be removed; a whole shortcut to somewhere else
  // is still not allowed.
  sim::monkey::Allowance failing;
  failing.shortcut(u"\\Temp\\a.lnk", {u"\"\\Temp\\a.txt\""}, true, true);
  EXPECT_EQ(Problem(old, empty, failing), "");
  EXPECT_EQ(Problem(old, Snapshot({Folder(u"\\Temp"), File(u"\\Temp\\a.lnk", "")}), failing), "");
  EXPECT_EQ(Problem(old, Snapshot({Folder(u"\\Temp"), File(u"\\Temp\\a.lnk", "10#\\Temp\\c.txt")}), failing),
            "the content of \\Temp\\a.lnk changed though no step asked for it");
  EXPECT_EQ(Problem(old, Snapshot({Folder(u"\\Temp"), File(u"\\Temp\\a.lnk", "")}), replace),
            "the content of \\Temp\\a.lnk changed though no step asked for it");
}

TEST(FileRules, ADeleteTakesTheNamedEntriesOnly) {
  auto before = Snapshot({Folder(u"\\D"), File(u"\\D\\a", "a"), File(u"\\D\\b", "b"), Folder(u"\\D\\f"), File(u"\\D\\f\\c", "c")});
  sim::monkey::Allowance confirmed;
  confirmed.remove(u"\\D\\a", false);
  confirmed.remove(u"\\D\\f", false);
  EXPECT_EQ(Problem(before, Snapshot({Folder(u"\\D"), File(u"\\D\\b", "b"), Folder(u"\\D\\f"), File(u"\\D\\f\\c", "c")}), confirmed), "");
  EXPECT_EQ(Problem(before, Snapshot({Folder(u"\\D"), File(u"\\D\\b", "b")}), confirmed),
            "the file \\D\\f\\c vanished though no step asked for it");
  sim::monkey::Allowance host;
  host.remove(u"\\D\\f", true);
  EXPECT_EQ(Problem(before, Snapshot({Folder(u"\\D"), File(u"\\D\\a", "a"), File(u"\\D\\b", "b")}), host), "");
}

// Snapshots read again only what may have changed: a file rewritten at once with
// other bytes of the same size is seen changed, what was read of a file changed just
// before is not kept (a second change within the host clock's tick would leave its
// stamp as it was), and a folder's children and tree are the entries below it in
// name order.
TEST(FileSnapshots, ARewriteOfTheSameSizeIsSeenAndTreesAreWhatLiesBelow) {
  test_support::ScratchFolder root;
  std::filesystem::create_directories(root.path() / "D" / "sub");
  auto write = [&](const char* path, const char* text) { std::ofstream(root.path() / path, std::ios::binary) << text; };
  write("D/a.txt", "alpha");
  write("D/sub/b.txt", "b");
  write("E.txt", "e");
  sim::monkey::DigestCache cache;
  auto first = sim::monkey::FileSnapshot::Take(root.path(), cache);
  write("D/a.txt", "ALPHA");
  auto second = sim::monkey::FileSnapshot::Take(root.path(), cache);
  auto changes = sim::monkey::Compare(first, second);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].path(), u"\\D\\a.txt");
  EXPECT_EQ(second.find(u"\\d\\A.TXT")->bytes, "ALPHA");
  const std::int64_t now = 1'000'000'000'000;
  const sim::monkey::DigestCache::Stamp fresh{7, 5, now - 1'000'000}, settled{8, 5, now - 5'000'000'000};
  cache.keep("fresh", fresh, now, {1, "fresh"});
  cache.keep("settled", settled, now, {2, "settled"});
  EXPECT_EQ(cache.find("fresh", fresh), nullptr);
  ASSERT_NE(cache.find("settled", settled), nullptr);
  EXPECT_EQ(cache.find("settled", settled)->bytes, "settled");
  EXPECT_EQ(cache.find("settled", sim::monkey::DigestCache::Stamp{8, 5, now}), nullptr) << "changed since";

  auto paths = [](const std::vector<const sim::monkey::FileEntry*>& entries) {
    std::vector<std::u16string> out;
    for (const auto* entry : entries) out.push_back(entry->path);
    return out;
  };
  EXPECT_EQ(paths(second.children(u"\\")), (std::vector<std::u16string>{u"\\D", u"\\E.txt"}));
  EXPECT_EQ(paths(second.children(u"\\D\\")), (std::vector<std::u16string>{u"\\D\\a.txt", u"\\D\\sub"}));
  EXPECT_EQ(paths(second.tree(u"\\D")),
            (std::vector<std::u16string>{u"\\D", u"\\D\\a.txt", u"\\D\\sub", u"\\D\\sub\\b.txt"}));
  EXPECT_EQ(second.tree(u"\\").size(), 5u);
  EXPECT_TRUE(second.tree(u"\\D\\s").empty()) << "a name's beginning is not a folder";
}

}  // namespace
