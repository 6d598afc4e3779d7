// Compares what the clipboard bridge did with what it should have done.
//
// Without an injected fault the comparison is exact: the path list text, the
// programs started with their command lines, every question and message the user
// saw, and the shortcuts left in the folder with their targets. With a fault the
// bridge may stop early or skip a path, but it may never leave a partial result:
// a path list is whole or not placed, a command line or shortcut target is the
// quoted path of a selected item, every shortcut file reads back, and the file list
// stays on the clipboard unless the path list replaced it.
#pragma once

#include <optional>
#include <string>

#include "bridge_expectation.h"
#include "bridge_session.h"

namespace fuzz {

std::optional<std::string> CompareBridge(const BridgeRequest& request, const std::optional<BridgeFault>& fault,
                                         const BridgeExpectation& expected, const BridgeObservation& seen,
                                         const std::u16string& sendToTarget);

}  // namespace fuzz
