// The little of GDI the suite touches: objects it creates and destroys.
// Owned by the dialog part of the platform (platform/user).
#pragma once
#include "types.h"

BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int object);
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define SYSTEM_FONT 13
