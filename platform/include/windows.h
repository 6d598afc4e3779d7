// The device's core API: kernel, files, text, resources, windows and messages.
#pragma once

#include "win/types.h"
#include "win/errors.h"
#include "win/text.h"
#include "win/kernel.h"
#include "win/files.h"
#include "win/resources.h"
#include "win/user.h"
#include "win/gdi.h"
