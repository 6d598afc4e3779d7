// Writes the fuzzers' starting inputs (and, where the words come from the code, their
// dictionaries):
//
//   fuzz_seeds clipboard FOLDER   file lists as the File Explorer builds them when
//                                 the user copies a selection, over the sample
//                                 device's folders, each for every action
//   fuzz_seeds shortcut FOLDER    shortcut files as the device and other tools write them
//   fuzz_seeds script DICTIONARY  the scenario language's words, for the script fuzzer
//                                 (its seeds are the suite's own scenarios)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "explorer.h"
#include "fuzz_targets.h"
#include "kernel/fault_operations.h"
#include "scenario/words.h"
#include "shell/shortcut.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Seed {
  std::string name;
  Bytes bytes;
};

Bytes Concatenate(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

std::vector<Seed> FileLists() {
  using explorer::BuildFileListBlock;
  const std::u16string longName(240, u'x');
  std::vector<std::u16string> many;
  for (int i = 0; i < 60; ++i) many.push_back(u"item" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u".txt");
  std::vector<Seed> seeds = {
      {"documents", BuildFileListBlock(u"\\My Documents\\", {u"Readme.txt", u"メモ.txt", u"Personal"})},
      {"missing", BuildFileListBlock(u"\\My Documents\\", {u"gone.txt", u"Readme.txtX"})},
      {"desktop", BuildFileListBlock(u"\\Windows\\Desktop\\", {u"a.lnk", u"b c"})},
      {"card", BuildFileListBlock(u"\\Storage Card\\写真\\", {u"DSC00001.JPG", u"DSC00002.JPG"})},
      {"root", BuildFileListBlock(u"\\", {u"Temp", u"Windows"})},
      {"dots", BuildFileListBlock(u"\\Temp\\", {u".profile", u"a.b.c", u"..", u"noext"})},
      {"long", BuildFileListBlock(u"\\Temp\\", {longName, longName + u"yyyyyyyyyyyyyyyyyyyyy"})},
      {"many", BuildFileListBlock(u"\\Temp\\", many)},
      {"same-name", BuildFileListBlock(u"\\My Documents\\", {u"Readme.txt", u"README.doc", u"readme"})},
      {"twice", Concatenate(BuildFileListBlock(u"\\Temp\\", {u"a"}), BuildFileListBlock(u"\\Temp\\", {u"a"}))},
  };
  Bytes cut = BuildFileListBlock(u"\\My Documents\\", {u"Readme.txt"});
  cut.resize(cut.size() - 3);
  seeds.push_back({"cut", cut});
  return seeds;
}

// Each file list for each action, without a fault, and the documents under a few
// faults the bridge meets on every path.
std::vector<Seed> ClipboardSeeds() {
  static const std::vector<std::pair<std::string, std::uint8_t>> actions = {
      {"paths", 0x00}, {"send-to", 0x01}, {"send-to-unquoted", 0x05}, {"paste", 0x02}, {"paste-decline", 0x0A}};
  std::vector<Seed> seeds;
  for (const Seed& list : FileLists())
    for (const auto& [action, flags] : actions)
      seeds.push_back({action + "-" + list.name, Concatenate({flags, 0xFF, 0x00}, list.bytes)});
  const Seed documents = FileLists().front();
  for (std::string_view operation : {"GetFileAttributesW", "CreateProcessW", "WriteFile", "LocalAlloc",
                                     "OpenClipboard", "SHCreateShortcut", "DialogBoxIndirectParamW"}) {
    auto index = static_cast<std::uint8_t>(sim::FaultOperationIndex(operation));
    for (std::uint8_t flags : {0x00, 0x01, 0x02})
      seeds.push_back({"fault-" + std::string(operation) + "-" + std::to_string(flags),
                       Concatenate({flags, index, 0x10}, documents.bytes)});
  }
  return seeds;
}

// Shortcut files as the device writes them, as other tools write them, and a few
// shapes in between (a wrong or missing count, a line break, no '#').
std::vector<Seed> ShortcutSeeds() {
  auto text = [](std::string_view bytes) { return Bytes(bytes.begin(), bytes.end()); };
  std::vector<Seed> seeds;
  int n = 0;
  for (const std::u16string& target : std::vector<std::u16string>{u"\\Windows\\fexplore.exe", u"\"\\Program Files\\ﾂｰﾙ\\表示.exe\" \"\\My Documents\\\"",
                                u"\\Temﾐ¨itemD.tx", std::u16string(256, u'x')}) {
    auto bytes = sim::EncodeShortcut(target);
    if (bytes) seeds.push_back({"device-" + std::to_string(n++), text(*bytes)});
  }
  seeds.push_back({"utf8-marked", text("\xEF\xBB\xBF" "6#\\表示.exe")});
  seeds.push_back({"utf8", text("6#\\表示.exe\r\n")});
  seeds.push_back({"utf16", text(std::string_view("\xFF\xFE" "3\0#\0\\\0x\0\x5C\x8A\r\0\n\0", 16))});
  seeds.push_back({"wrong-count", text("99#\"\\Program Files\\a b.exe\" -x \\q\r\n")});
  seeds.push_back({"no-count", text("#\\a.exe\n")});
  seeds.push_back({"two-lines", text("1#a\nb")});
  return seeds;
}

// Dictionary entries: every word of the scenario language (the two parts of the
// "expect" words each), the values its checks accept, and the operations that can
// be made to fail.
std::vector<std::string> ScriptWords() {
  std::vector<std::string> words = {"expect", "\"", "'", "#", "#1", "after", "must-exist", "on", "off", "ok",
                                    "cancel", "yes", "no", "=", "enabled", "grayed", "checked", "unchecked",
                                    "file", "folder", "tree", "ctrl+", "ctrl-down", "ctrl-up", "enter", "\\"};
  for (const auto& word : sim::scenario::Words()) {
    std::string_view name = word.name;
    if (name.starts_with("expect ")) name.remove_prefix(7);
    words.emplace_back(name);
  }
  for (const auto& operation : sim::kFaultOperations) words.emplace_back(operation.name);
  return words;
}

bool WriteDictionary(const std::filesystem::path& file, const std::vector<std::string>& words) {
  std::ofstream out(file);
  out << "# The scenario language's words, written by fuzz_seeds from the table of words.\n";
  for (const std::string& word : words) {
    out << '"';
    for (char c : word) {
      if (c == '"' || c == '\\') out << '\\';
      out << c;
    }
    out << "\"\n";
  }
  return static_cast<bool>(out);
}

bool WriteSeeds(const std::filesystem::path& folder, const std::vector<Seed>& seeds) {
  std::filesystem::create_directories(folder);
  for (const Seed& seed : seeds) {
    std::ofstream out(folder / ("seed-" + seed.name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(seed.bytes.data()), static_cast<std::streamsize>(seed.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write the seed %s\n", seed.name.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s clipboard|shortcut FOLDER | script DICTIONARY\n", argv[0]);
    return 2;
  }
  std::string kind = argv[1];
  if (kind == "clipboard") return WriteSeeds(argv[2], ClipboardSeeds()) ? 0 : 1;
  if (kind == "shortcut") return WriteSeeds(argv[2], ShortcutSeeds()) ? 0 : 1;
  if (kind == "script") return WriteDictionary(argv[2], ScriptWords()) ? 0 : 1;
  std::fprintf(stderr, "unknown kind of seeds: %s\n", argv[1]);
  return 2;
}
