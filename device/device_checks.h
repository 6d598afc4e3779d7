// What a handheld must never hold, whatever its programs did: the checks behind the
// scenario steps `expect no-orphans` and `expect no-leaks`, and behind the monkey's
// look at the device after every step.
//
// Both only read the device's records (no message is sent, nothing runs), so
// looking changes nothing a later step could see.
#pragma once

#include <string>
#include <vector>

namespace sim {

class Device;

// Things that belong to a program or thread that has ended: a window whose process
// or thread has ended, a window that runs a procedure of an ended program, a timer
// of a destroyed window or of an ended thread, an open menu or message box whose
// window is gone. Each problem in words, in a fixed order.
std::vector<std::string> FindOrphans(Device& device);

// What the programs that have ended left behind: local memory blocks, open
// handles and windows they had not freed, closed or destroyed when they ended, and
// drawing objects and image lists they made that are still there. Each in words.
std::vector<std::string> FindLeaks(Device& device);

}  // namespace sim
