// The device's core API: kernel, files, text, resources, windows and messages, and
// the core shell's shortcut and file information functions.
#pragma once

#include "win/types.h"
#include "win/errors.h"
#include "win/text.h"
#include "win/kernel.h"
#include "win/files.h"
#include "win/resources.h"
#include "win/user.h"
#include "win/combobox.h"
#include "win/gdi.h"
#include "win/shell.h"
#include "win/shellapi.h"
