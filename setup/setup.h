// BrackenwayConf, the setup tool.
#pragma once

#include <windows.h>

extern WCHAR initialFolderArgument[MAX_PATH];
extern WCHAR shortcutPath[MAX_PATH];

int BrackenwayConfMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand);
INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void WriteCompanionShortcut(HWND dialog);
void RestoreExplorerShortcut(HWND dialog);
void ResetSetupTexts();
