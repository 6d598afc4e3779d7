// Windows, messages, input, clipboard, menus, dialogs, painting and the basic controls.
#pragma once
#include "user_window.h"
#include "user_paint.h"
#include "user_menu.h"
#include "user_dialog.h"
