// What one step may change in the device's files, and the check of the changes a
// step made against it.
//
// Each rule allows changes the user asked for, as precisely as the step tells: a
// confirmed delete lets exactly the confirmed entries go, a rename moves one entry
// to the typed name, a paste copies the copied entries as they were, a confirmed
// shortcut appears with exactly its target. Whatever no rule allows is a violation.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "monkey/file_model.h"

namespace sim::monkey {

struct FileRule {
  enum class Kind {
    Write,        // a file written with exactly `bytes`; missing folders above it may appear
    AnyFile,      // a file with any content at `path`; missing folders above it may appear
    MakeFolders,  // the folder and the missing folders above it may appear
    Remove,       // the entry (and with `tree`, everything below it) may go
    Move,         // `path` moves to `target`, a folder with everything below it
    CopyTree,     // `path` is copied to `target` as it was before the step
    Folder,       // an empty folder may appear at `path`
    Shortcut,     // a shortcut file at `path` with one of `targets` may appear or replace one
  };
  Kind kind;
  std::u16string path;
  std::u16string target;
  std::string bytes;
  std::vector<std::u16string> targets;
  bool tree = false;
  bool mayVanish = false;  // Shortcut: the replaced file may be lost or left unreadable (only under an injected failure)
  bool mayReplace = false; // Shortcut: an existing file may be replaced
};

class Allowance {
 public:
  void write(std::u16string path, std::string bytes);
  void anyFile(std::u16string path);
  void makeFolders(std::u16string path);
  void remove(std::u16string path, bool tree);
  void move(std::u16string from, std::u16string to);
  void copyTree(std::u16string from, std::u16string to);
  void folder(std::u16string path);
  void shortcut(std::u16string path, std::vector<std::u16string> targets, bool mayReplace, bool mayVanish);

  // Everything `other` allows, too.
  void add(const Allowance& other) { rules_.insert(rules_.end(), other.rules_.begin(), other.rules_.end()); }

  const std::vector<FileRule>& rules() const { return rules_; }
  bool empty() const { return rules_.empty(); }

 private:
  std::vector<FileRule> rules_;
};

// A change no rule allows, in words, with the change itself.
struct FileViolation {
  FileChange change;
  std::string problem;  // "\My Documents\Readme.txt vanished"
};

// The first change of `changes` that no rule of `allowance` allows.
std::optional<FileViolation> CheckChanges(const std::vector<FileChange>& changes, const Allowance& allowance,
                                          const FileSnapshot& before, const FileSnapshot& after);

}  // namespace sim::monkey
