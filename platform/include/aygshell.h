// The pocket shell: menu bar, dialog helpers, input panel.
#pragma once
#include <windows.h>
