// The device's system colours and their brushes.
#pragma once

#include <cstdint>

namespace sim {

// COLOR_SCROLLBAR .. COLOR_GRADIENTINACTIVECAPTION.
inline constexpr std::uintptr_t kSystemColorCount = 29;

}  // namespace sim
