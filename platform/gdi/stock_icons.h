// The system's own icons, drawn here from simple shapes in our own design: the
// message-box icons (IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK), the
// default program icon (IDI_APPLICATION) and the shell's file icons.
#pragma once

#include <windows.h>

#include "gdi/gdi_objects.h"

namespace sim {

enum class ShellIcon { Folder, StorageCard, Program, Shortcut, File };

// An IDI_* icon at `size` pixels square; no images for an unknown id.
IconData DrawStockIcon(WORD id, int size);
IconData DrawShellIcon(ShellIcon kind, int size);

}  // namespace sim
