// Proposals that work whatever is in front: starting programs as the Start menu
// and the shell do, the choosers through the caller program, the input panel, time
// passing, files changing on the host, and injected failures.
#include "kernel/fault_operations.h"
#include "monkey/choose.h"
#include "monkey/names.h"
#include "scenario/session.h"

namespace sim::monkey {

namespace {

constexpr char16_t kSetupTool[] = u"\\Program Files\\Brackenway\\BrackenwayConf.exe";
constexpr char16_t kCompanion[] = u"\\Program Files\\Brackenway\\Brackenway.exe";
constexpr char16_t kExplorer[] = u"\\Windows\\fexplore.exe";
// Paths the host writes stay well within what a device path and a shortcut hold.
constexpr std::size_t kLongestHostPath = 200;
constexpr const char16_t* kChooserTitles[] = {u"開く", u"保存", u"移動先を指定してください", u"", u"File"};

void Add(std::vector<Proposal>& out, int weight, std::string word, const std::vector<std::u16string>& args = {}) {
  for (const auto& arg : args)
    if (!Writable(arg)) return;
  out.push_back(Proposal{weight, MakeStep(std::move(word), args)});
}

std::u16string Number(std::uint64_t value) { return scenario::Wide(std::to_string(value)); }

std::u16string FolderArgument(const FileSnapshot& files, Random& random) {
  auto folders = UserFolders(files);
  if (folders.empty() || random.chance(30)) return u"";
  return random.pick(folders)->path + u"\\";
}

void ProposeStarts(const Situation& situation, Random& random, std::vector<Proposal>& out) {
  bool idle = situation.view.place == Place::Nothing;
  auto links = StartMenuShortcuts(situation.files);
  // The shell reads a shortcut through the file API: not while a failure waits for it.
  if (!links.empty() && situation.unarmed({"SHGetShortcutTarget", "CreateFileW", "ReadFile"})) Add(out, idle ? 16 : 2, "open", {random.pick(links)->path});
  Add(out, idle ? 4 : 1, "start", {kSetupTool});
  std::u16string folder = FolderArgument(situation.files, random);
  Add(out, idle ? 3 : 1, "start", folder.empty() ? std::vector<std::u16string>{kCompanion} : std::vector{std::u16string(kCompanion), folder});
  Add(out, 1, "start", {kExplorer, FolderArgument(situation.files, random)});
}

void ProposeChoosers(const Situation& situation, Random& random, std::vector<Proposal>& out) {
  static constexpr const char16_t* kKinds[] = {u"file", u"folder", u"tree"};
  std::u16string kind = kKinds[random.below(3)];
  std::u16string title = kChooserTitles[random.below(std::size(kChooserTitles))];
  std::vector<std::u16string> args{kind, title, PickPath(random, situation.files)};
  if (kind != u"tree" && random.chance(30)) args.push_back(u"must-exist");
  Add(out, situation.view.place == Place::Nothing ? 5 : 2, "chooser", args);
  Add(out, 1, "version", {Number(random.below(7))});
}

// The host's changes go through the device's file API: each only while no failure
// waits for a call it makes.
void ProposeHostFiles(const Situation& situation, Random& random, std::vector<Proposal>& out) {
  const FileSnapshot& files = situation.files;
  const bool makes = situation.unarmed({"GetFileAttributesW", "CreateDirectoryW"});
  const bool writes = makes && situation.unarmed({"CreateFileW", "WriteFile"});
  const bool removes = situation.unarmed(
      {"GetFileAttributesW", "DeleteFileW", "FindFirstFileW", "FindNextFileW", "FindClose", "RemoveDirectoryW"});
  const bool links = writes && situation.unarmed({"DeleteFileW", "SHCreateShortcut"});
  auto folders = UserFolders(files);
  if (folders.empty()) return;
  const FileEntry* folder = random.pick(folders);
  std::u16string path = JoinPath(folder->path, PickName(random, files, folder->path, true));
  const FileEntry* there = files.find(path);
  // A path the device cannot hold is the host's problem, not the device's.
  if (writes && path.size() < kLongestHostPath && (!there || !there->folder))
    Add(out, 3, "file", {path, scenario::Wide(PickContent(random))});
  if (makes && path.size() < kLongestHostPath && !there) Add(out, 1, "folder", {path});
  auto entries = UserEntries(files);
  const FileEntry* doomed = random.pick(entries);
  bool top = ParentPath(doomed->path) == u"\\" || ParentPath(doomed->path) == u"\\Windows";
  if (removes && !top) Add(out, 2, "remove", {doomed->path});
  std::u16string link = JoinPath(random.chance(50) ? u"\\Windows\\SendTo" : u"\\Windows\\MoveTo", PickName(random, files, u"\\Windows\\SendTo", true) + u".lnk");
  std::u16string target = random.pick(folders)->path;
  bool fits = link.size() < kLongestHostPath && target.size() < kLongestHostPath;
  if (links && fits && (!files.find(link) || !files.find(link)->folder)) Add(out, 1, "shortcut", {link, random.chance(50) ? u"\"" + target + u"\"" : target});
}

void ProposeFailure(const Situation& situation, Random& random, std::vector<Proposal>& out) {
  const auto& operation = kFaultOperations[random.below(kFaultOperations.size())];
  if (situation.armed.count(std::string(operation.name))) return;
  std::vector<std::u16string> args{scenario::Wide(std::string(operation.name))};
  int count = random.chance(80) ? 1 : random.between(2, 3);
  int roll = random.between(0, 9);
  int skip = roll < 5 ? 0 : roll < 8 ? random.between(1, 5) : random.between(6, 40);
  if (count > 1 || skip > 0) args.push_back(Number(static_cast<std::uint64_t>(count)));
  if (skip > 0) {
    args.push_back(u"after");
    args.push_back(Number(static_cast<std::uint64_t>(skip)));
  }
  Add(out, 2, "fail", args);
}

}  // namespace

void ProposeDeviceSteps(const Situation& situation, Random& random, std::vector<Proposal>& out) {
  ProposeStarts(situation, random, out);
  ProposeChoosers(situation, random, out);
  Add(out, 1, "sip", {random.chance(50) ? u"on" : u"off"});
  Add(out, 1, "wait", {Number(static_cast<std::uint64_t>(random.between(1, 50)) * 100)});
  ProposeHostFiles(situation, random, out);
  ProposeFailure(situation, random, out);
}

}  // namespace sim::monkey
