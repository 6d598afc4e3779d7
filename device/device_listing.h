// The device as text: its file tree and its installed programs, for the
// `handheld` command and for people reading a test's output.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>

namespace sim {

class Handheld;

// One line per entry, depth-first in the store's name order: folders end in "\",
// files show their size; every entry shows its last write in device local time.
void PrintFileTree(std::ostream& out);
void PrintInstalledPrograms(std::ostream& out, const Handheld& handheld);

// "2002-04-01 09:00:00": a file time in the device's local time.
std::string LocalDateText(const FILETIME& utc);

}  // namespace sim
