// String tables: RT_STRING resources hold blocks of 16 strings, block n + 1 holding
// the strings n * 16 to n * 16 + 15, each a length and that many UTF-16 characters.
#pragma once

#include <optional>
#include <string_view>

#include "user/resource_image.h"

namespace sim {

// String `id` in the preferred language. Nothing when the block or the string is
// missing; an empty slot is a missing string. The view points into the image.
std::optional<std::u16string_view> FindTableString(const ResourceIndex& index, unsigned id);

}  // namespace sim
