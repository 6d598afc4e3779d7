// Writes the clipboard fuzzer's starting inputs: file-list blocks as the File
// Explorer builds them when the user copies a selection, over the sample device's
// folders (so some paths exist and some do not), plus a few shapes the File
// Explorer never makes itself.
//
//   clipboard_block_seeds FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "explorer.h"

namespace {

struct Seed {
  const char* name;
  std::vector<BYTE> bytes;
};

std::vector<BYTE> Concatenate(std::vector<BYTE> first, const std::vector<BYTE>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

std::vector<Seed> Seeds() {
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
      {"twice", Concatenate(BuildFileListBlock(u"\\Temp\\", {u"a"}), BuildFileListBlock(u"\\Temp\\", {u"a"}))},
  };
  std::vector<BYTE> cut = BuildFileListBlock(u"\\My Documents\\", {u"Readme.txt"});
  cut.resize(cut.size() - 3);
  seeds.push_back({"cut", cut});
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  for (const Seed& seed : Seeds()) {
    std::ofstream out(folder / (std::string("seed-") + seed.name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(seed.bytes.data()), static_cast<std::streamsize>(seed.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write the seed %s\n", seed.name);
      return 1;
    }
  }
  return 0;
}
