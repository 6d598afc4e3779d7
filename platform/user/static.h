// The STATIC class: text, an icon (SS_ICON) or a bitmap (SS_BITMAP).
#pragma once

#include <windows.h>

namespace sim {

struct StaticState {
  HICON icon = nullptr;      // SS_ICON
  HBITMAP bitmap = nullptr;  // SS_BITMAP
};

}  // namespace sim
