// The common controls: list view, tree view, combo box, image lists, toolbar, command bar.
#pragma once
#include <windows.h>
