// Writes resource records back into the layout windres gives them, for the resource
// fuzzer's round trips: what the platform read from an image, written again and
// read again, must come back the same.
#pragma once

#include <cstdint>
#include <vector>

#include "user/resource_dialog.h"
#include "user/resource_image.h"
#include "user/resource_menu.h"

namespace fuzz {

using Bytes = std::vector<std::uint8_t>;

// A .res image: the empty record windres starts with, then each entry.
Bytes WriteResourceImage(const std::vector<sim::ResourceEntry>& entries);
Bytes WriteDialogTemplate(const sim::DialogTemplate& dialog);
Bytes WriteMenuTemplate(const sim::MenuTemplate& menu);

}  // namespace fuzz
