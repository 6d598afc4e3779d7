// The names, paths and texts the monkey types, writes and opens: a mix of the
// device's own entries (so names collide), ordinary new names, long names, and
// names the device refuses.
#pragma once

#include <string>
#include <vector>

#include "monkey/file_model.h"
#include "monkey/random.h"

namespace sim::monkey {

// True when a scenario script can hold `text` as one argument: no line break, and
// not both kinds of quote.
bool Writable(std::u16string_view text);

// A name for an entry of `folder`: often one that is there already. With
// `validOnly`, only names the device can store.
std::u16string PickName(Random& random, const FileSnapshot& files, std::u16string_view folder, bool validOnly);
// A device path: an entry that is there (a folder with its trailing backslash), or
// one that is not.
std::u16string PickPath(Random& random, const FileSnapshot& files);
// A short text for a file's content.
std::string PickContent(Random& random);

// The folders where a person keeps, receives and links files (documents, the
// temporary folder, the storage card, the Send-To, Move-To, desktop and Start-menu
// folders), and every entry below them.
std::vector<const FileEntry*> UserFolders(const FileSnapshot& files);
std::vector<const FileEntry*> UserEntries(const FileSnapshot& files);
// The shortcuts of the Start menu that the shell can read.
std::vector<const FileEntry*> StartMenuShortcuts(const FileSnapshot& files);

}  // namespace sim::monkey
