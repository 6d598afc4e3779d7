// The companion's main function: start or find the File Explorer, attach to its
// main window, and live exactly as long as the File Explorer process it started.
#include "companion.h"

CompanionState companionState;
FolderTreeProc folderTreeImport;

// The program's start-up and clean-up: the record starts empty in every run.
void ResetCompanionState() {
  companionState.instance = NULL;
  companionState.sendToTarget.Empty();
  companionState.selectedPath.Empty();
  companionState.currentFolder.Empty();
  companionState.previousWndProc = NULL;
  companionState.sendToMenu = NULL;
  companionState.moveToMenu = NULL;
  companionState.menusInserted = 0;
  companionState.captureFolder = 0;
  companionState.passUnquoted = 0;
}

// Polls for the File Explorer's main window. Gives NULL if the File Explorer ended
// before it showed one, so the companion does not poll forever.
static HWND WaitForExplorerWindow(HANDLE explorerProcess) {
  HWND window = NULL;
  while (window == NULL) {
    Sleep(100);
    window = FindWindowW(EXPLORER_CLASS, NULL);
    DWORD exitCode = STILL_ACTIVE;
    if (window == NULL && GetExitCodeProcess(explorerProcess, &exitCode) && exitCode != STILL_ACTIVE) break;
  }
  return window;
}

static void AttachToExplorer(HWND window) {
  companionState.sendToMenu = CreatePopupMenu();
  companionState.moveToMenu = CreatePopupMenu();
  // The old procedure is stored first so the first message can already be passed on.
  companionState.previousWndProc = (WNDPROC)GetWindowLongW(window, GWL_WNDPROC);
  SetWindowLongW(window, GWL_WNDPROC, (LONG)CompanionWndProc);
}

int BrackenwayMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand) {
  companionState.instance = instance;

  HWND running = FindWindowW(EXPLORER_CLASS, NULL);
  if (running != NULL) {
    SetForegroundWindow(running);
    return 0;
  }

  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof(process));
  if (!CreateProcessW(EXPLORER_PATH, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &process)) {
    // Without a File Explorer there is nothing to attach to and no process to wait for.
    return 0;
  }

  HWND window = WaitForExplorerWindow(process.hProcess);
  if (window != NULL) {
    Sleep(800);
    AttachToExplorer(window);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
