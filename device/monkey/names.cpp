#include "monkey/names.h"

#include <span>

#include "fs/names.h"
#include "shell/shortcut.h"

namespace sim::monkey {

namespace {

constexpr const char16_t* kUserRoots[] = {
    u"\\My Documents", u"\\Temp", u"\\Storage Card", u"\\Windows\\SendTo", u"\\Windows\\MoveTo",
    u"\\Windows\\Desktop", u"\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ",
};

constexpr const char16_t* kNames[] = {
    u"メモ.txt", u"memo.txt", u"Readme.txt", u"新しいﾌｫﾙﾀﾞ", u"a", u"写真", u"x y.txt", u".hidden",
    u"名前.lnk", u"Report 2002.doc", u"ﾃﾞｰﾀ.csv", u"a.b.c", u"UPPER.TXT", u"見積書", u"lnk", u"ok.lnk",
};
constexpr const char16_t* kRefusedNames[] = {u"a*b", u"what?", u"a:b", u"..", u"a\\b", u"<x>", u"|"};
constexpr const char* kContents[] = {"", "alpha", "メモ", "line one\nline two\n", "12,34\n", "\"\\Windows\\fexplore.exe\""};

// A name far longer than the names people type, up to what a path can hold.
std::u16string LongName(Random& random) {
  std::u16string name;
  int length = random.chance(50) ? random.between(40, 120) : random.between(200, 259);
  for (int i = 0; i < length; ++i) name += static_cast<char16_t>(i % 3 == 2 ? u'ｱ' + i % 40 : u'a' + i % 26);
  return name + u".txt";
}

}  // namespace

bool Writable(std::u16string_view text) {
  if (text.find_first_of(u"\r\n") != std::u16string_view::npos) return false;
  return text.find(u'"') == std::u16string_view::npos || text.find(u'\'') == std::u16string_view::npos;
}

std::u16string PickName(Random& random, const FileSnapshot& files, std::u16string_view folder, bool validOnly) {
  auto present = files.children(folder);
  int kind = random.between(0, 9);
  if (kind < 3 && !present.empty()) return NameOf(random.pick(present)->path);
  if (kind == 3) return LongName(random);
  if (kind == 4 && !validOnly) return kRefusedNames[random.below(std::size(kRefusedNames))];
  std::u16string name = kNames[random.below(std::size(kNames))];
  if (random.chance(30)) name = std::u16string(u"新") + name;
  return name;
}

std::u16string PickPath(Random& random, const FileSnapshot& files) {
  auto entries = UserEntries(files);
  if (entries.empty() || random.chance(15)) return u"\\Nowhere\\" + std::u16string(kNames[random.below(std::size(kNames))]);
  const FileEntry* entry = random.pick(entries);
  return entry->folder && random.chance(50) ? entry->path + u"\\" : entry->path;
}

std::string PickContent(Random& random) { return kContents[random.below(std::size(kContents))]; }

std::vector<const FileEntry*> UserFolders(const FileSnapshot& files) {
  std::vector<const FileEntry*> folders;
  for (const FileEntry* entry : UserEntries(files))
    if (entry->folder) folders.push_back(entry);
  return folders;
}

std::vector<const FileEntry*> UserEntries(const FileSnapshot& files) {
  std::vector<const FileEntry*> entries;
  for (const char16_t* root : kUserRoots)
    for (const FileEntry* entry : files.tree(root)) entries.push_back(entry);
  return entries;
}

std::vector<const FileEntry*> StartMenuShortcuts(const FileSnapshot& files) {
  std::vector<const FileEntry*> links;
  for (const FileEntry* entry : files.tree(u"\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ")) {
    if (entry->folder || entry->size > FileEntry::kKeptBytes) continue;
    auto bytes = std::span(reinterpret_cast<const unsigned char*>(entry->bytes.data()), entry->bytes.size());
    std::u16string name = NameOf(entry->path);
    bool lnk = name.size() > 4 && PathKey(name.substr(name.size() - 4)) == PathKey(u".lnk");
    if (lnk && DecodeShortcut(bytes)) links.push_back(entry);
  }
  return links;
}

}  // namespace sim::monkey
