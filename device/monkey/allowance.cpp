#include "monkey/allowance.h"

#include <span>

#include "shell/shortcut.h"
#include "text/utf.h"

namespace sim::monkey {

void Allowance::write(std::u16string path, std::string bytes) {
  FileRule rule{FileRule::Kind::Write, std::move(path)};
  rule.bytes = std::move(bytes);
  rules_.push_back(std::move(rule));
}

void Allowance::anyFile(std::u16string path) { rules_.push_back(FileRule{FileRule::Kind::AnyFile, std::move(path)}); }

void Allowance::makeFolders(std::u16string path) { rules_.push_back(FileRule{FileRule::Kind::MakeFolders, std::move(path)}); }

void Allowance::remove(std::u16string path, bool tree) {
  FileRule rule{FileRule::Kind::Remove, std::move(path)};
  rule.tree = tree;
  rules_.push_back(std::move(rule));
}

// A name typed with a final "\" names the same entry ("a\" renames to "a").
void Allowance::move(std::u16string from, std::u16string to) {
  while (to.size() > 1 && to.back() == u'\\') to.pop_back();
  rules_.push_back(FileRule{FileRule::Kind::Move, std::move(from), std::move(to)});
}

void Allowance::copyTree(std::u16string from, std::u16string to) {
  rules_.push_back(FileRule{FileRule::Kind::CopyTree, std::move(from), std::move(to)});
}

void Allowance::folder(std::u16string path) { rules_.push_back(FileRule{FileRule::Kind::Folder, std::move(path)}); }

void Allowance::shortcut(std::u16string path, std::vector<std::u16string> targets, bool mayReplace, bool mayVanish) {
  FileRule rule{FileRule::Kind::Shortcut, std::move(path)};
  rule.targets = std::move(targets);
  rule.mayReplace = mayReplace;
  rule.mayVanish = mayVanish;
  rules_.push_back(std::move(rule));
}

namespace {

bool SameKey(std::u16string_view a, std::u16string_view b) { return PathKey(a) == PathKey(b); }

// The part of `path` below `root` ("" for the root itself, "\x" below it).
std::u16string Below(std::u16string_view path, std::u16string_view root) {
  std::size_t length = root.size();
  if (length > 1 && root.back() == u'\\') --length;
  return std::u16string(path.substr(length));
}

bool Appeared(const FileChange& change) { return !change.before && change.after; }
bool Vanished(const FileChange& change) { return change.before && !change.after; }

bool IsAncestorFolder(const FileChange& change, std::u16string_view path) {
  return Appeared(change) && change.after->folder && IsWithin(path, change.after->path) &&
         !SameKey(path, change.after->path);
}

bool MatchesShortcut(const FileEntry& entry, const std::vector<std::u16string>& targets) {
  if (entry.folder || entry.size > FileEntry::kKeptBytes) return false;
  auto bytes = std::span(reinterpret_cast<const unsigned char*>(entry.bytes.data()), entry.bytes.size());
  auto target = DecodeShortcut(bytes);
  if (!target) return false;
  for (const auto& wanted : targets)
    if (*target == wanted) return true;
  return false;
}

bool AllowsWrite(const FileRule& rule, const FileChange& change) {
  if (IsAncestorFolder(change, rule.path)) return true;
  return SameKey(change.key, rule.path) && change.after && !change.after->folder &&
         change.after->size == rule.bytes.size() && change.after->digest == Digest(rule.bytes);
}

// A moved entry leaves its place only for its new one, with the same content there.
bool AllowsMove(const FileRule& rule, const FileChange& change, const FileSnapshot& before, const FileSnapshot& after) {
  if (change.before && IsWithin(change.before->path, rule.path)) {
    const FileEntry* moved = after.find(rule.target + Below(change.before->path, rule.path));
    bool leaves = Vanished(change) || (change.after && SameKey(rule.path, rule.target));
    if (leaves && moved && moved->sameContent(*change.before)) return true;
  }
  if (change.after && IsWithin(change.after->path, rule.target)) {
    const FileEntry* source = before.find(rule.path + Below(change.after->path, rule.target));
    bool arrives = Appeared(change) || (change.before && SameKey(rule.path, rule.target));
    if (arrives && source && source->sameContent(*change.after)) return true;
  }
  return false;
}

bool AllowsCopy(const FileRule& rule, const FileChange& change, const FileSnapshot& before) {
  if (!Appeared(change) || !IsWithin(change.after->path, rule.target)) return false;
  const FileEntry* source = before.find(rule.path + Below(change.after->path, rule.target));
  return source && source->sameContent(*change.after);
}

// A file that is no shortcut: what a failed write left when removing it failed too.
bool Unreadable(const FileEntry& entry) {
  if (entry.folder || entry.size > FileEntry::kKeptBytes) return false;
  return !DecodeShortcut(std::span(reinterpret_cast<const unsigned char*>(entry.bytes.data()), entry.bytes.size()));
}

bool AllowsShortcut(const FileRule& rule, const FileChange& change) {
  if (!SameKey(change.key, rule.path)) return false;
  if (!change.after || Unreadable(*change.after)) return rule.mayVanish;
  if (change.before && !rule.mayReplace) return false;
  return MatchesShortcut(*change.after, rule.targets);
}

bool Allows(const FileRule& rule, const FileChange& change, const FileSnapshot& before, const FileSnapshot& after) {
  switch (rule.kind) {
    case FileRule::Kind::Write:
      return AllowsWrite(rule, change);
    case FileRule::Kind::AnyFile:
      return IsAncestorFolder(change, rule.path) ||
             (SameKey(change.key, rule.path) && change.after && !change.after->folder);
    case FileRule::Kind::MakeFolders:
      return Appeared(change) && change.after->folder && IsWithin(rule.path, change.after->path);
    case FileRule::Kind::Remove:
      return Vanished(change) && (rule.tree ? IsWithin(change.key, rule.path) : SameKey(change.key, rule.path));
    case FileRule::Kind::Move:
      return AllowsMove(rule, change, before, after);
    case FileRule::Kind::CopyTree:
      return AllowsCopy(rule, change, before);
    case FileRule::Kind::Folder:
      return Appeared(change) && change.after->folder && SameKey(change.key, rule.path);
    case FileRule::Kind::Shortcut:
      return AllowsShortcut(rule, change);
  }
  return false;
}

std::string Describe(const FileChange& change) {
  std::string path = Utf16ToUtf8Replacing(change.path()).text;
  if (Appeared(change)) return (change.after->folder ? "the folder " : "the file ") + path + " appeared";
  if (Vanished(change)) return (change.before->folder ? "the folder " : "the file ") + path + " vanished";
  if (change.before->folder != change.after->folder) return path + " changed between file and folder";
  if (change.before->path != change.after->path)
    return Utf16ToUtf8Replacing(change.before->path).text + " was renamed to " + path;
  return "the content of " + path + " changed";
}

}  // namespace

std::optional<FileViolation> CheckChanges(const std::vector<FileChange>& changes, const Allowance& allowance,
                                          const FileSnapshot& before, const FileSnapshot& after) {
  for (const FileChange& change : changes) {
    bool allowed = false;
    for (const FileRule& rule : allowance.rules())
      if (Allows(rule, change, before, after)) {
        allowed = true;
        break;
      }
    if (!allowed) return FileViolation{change, Describe(change) + " though no step asked for it"};
  }
  return std::nullopt;
}

}  // namespace sim::monkey
