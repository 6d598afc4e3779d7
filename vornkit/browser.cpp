// The file browser dialog: the window behind FileDialog and FolderDialog.
#include "vornkit.h"

#include <aygshell.h>

#define COMMAND_BAR_IMAGES 4
#define COMMAND_BAR_IMAGE_SIZE 16

static DialogRequest* RequestOf(HWND dialog) { return (DialogRequest*)GetWindowLongW(dialog, GWL_USERDATA); }

static void AddCommandBarButtons(HWND menuBar) {
  TBBUTTON buttons[5];
  ZeroMemory(buttons, sizeof(buttons));
  static const struct {
    int image;
    int command;
    BYTE style;
  } layout[5] = {
      {0, 0, TBSTYLE_SEP},
      {0, CMD_UP_FOLDER, TBSTYLE_BUTTON},
      {0, 0, TBSTYLE_SEP},
      {2, CMD_VIEW_LIST, TBSTYLE_BUTTON},
      {3, CMD_VIEW_DETAILS, TBSTYLE_BUTTON},
  };
  for (int i = 0; i < 5; ++i) {
    buttons[i].iBitmap = layout[i].image;
    buttons[i].idCommand = layout[i].command;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = layout[i].style;
    buttons[i].dwData = 0;
    buttons[i].iString = -1;
  }
  SendMessageW(menuBar, TB_ADDBUTTONSW, 5, (LPARAM)buttons);
}

static void CreateBrowserMenuBar(DialogRequest* request, HWND dialog) {
  request->menuBar = CreateLibraryMenuBar(dialog, IDR_BROWSER_MENU_BAR);
  if (request->menuBar == NULL) return;
  CommandBar_AddBitmap(request->menuBar, instanceHandle, IDB_COMMAND_BAR, COMMAND_BAR_IMAGES, COMMAND_BAR_IMAGE_SIZE,
                       COMMAND_BAR_IMAGE_SIZE);
  AddCommandBarButtons(request->menuBar);
}

// The dialog owns the image list alone: the list view is told to share it, so it
// is destroyed exactly once, when the dialog closes.
static void CreateListImages(DialogRequest* request, HWND list) {
  SetWindowLongW(list, GWL_STYLE, GetWindowLongW(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
  int size = GetSystemMetrics(SM_CXSMICON);
  request->imageList = ImageList_Create(size, size, ILC_COLOR, 16, 0);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)request->imageList);
  static const int icons[2] = {IDI_FILE, IDI_FOLDER};
  for (int i = 0; i < 2; ++i) {
    HICON icon = (HICON)LoadImageW(instanceHandle, MAKEINTRESOURCEW(icons[i]), IMAGE_ICON, 16, 16, 0);
    // An icon that could not be loaded leaves its kind without a picture.
    if (request->imageList != NULL && icon != NULL) ImageList_ReplaceIcon(request->imageList, -1, icon);
    if (icon != NULL) DestroyIcon(icon);
  }
}

static void PlaceDialog(HWND dialog) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int width = work.right >= 480 ? 480 : (work.right >= 320 ? 320 : 240);
  int height = work.bottom >= 268 ? 268 : 214;
  int x = (work.right - width) / 2;
  int y = (work.bottom - height) / 2;
  if (y < 26) y = 0;
  SetWindowPos(dialog, NULL, x, y, width, height, 0);
}

void InitFileBrowser(DialogRequest* request, HWND dialog) {
  CreateBrowserMenuBar(request, dialog);

  HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
  DWORD extended = (DWORD)SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended | LVS_EX_FULLROWSELECT);
  CreateListImages(request, list);

  AddListColumns(request, list);
  ListFolder(request, list);
  FillPathBar(request, dialog);

  // The box never takes more than a path can hold, so what it shows is what OK gives.
  HWND edit = GetDlgItem(dialog, IDC_PATH_EDIT);
  SendMessageW(edit, EM_LIMITTEXT, MAX_PATH - 1, 0);
  SetWindowTextW(edit, request->path);
  SetWindowTextW(dialog, request->title);
  PlaceDialog(dialog);

  InitFullScreenDialog(dialog);
}

void LayoutFileBrowser(DialogRequest* request, HWND dialog) {
  RECT client;
  GetClientRect(dialog, &client);
  int width = client.right - 8;
  HWND control = GetDlgItem(dialog, IDC_PATH_EDIT);
  if (control != NULL) SetWindowPos(control, NULL, 4, 4, width, 34, 0);
  control = GetDlgItem(dialog, IDC_PATH_BAR);
  if (control != NULL) SetWindowPos(control, NULL, 4, 42, width, 80, 0);
  control = GetDlgItem(dialog, IDC_FILE_LIST);
  if (control != NULL) SetWindowPos(control, NULL, 4, 66, width, client.bottom - 74, 0);
}

void SetListStyle(HWND dialog, DWORD view) {
  HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
  DWORD style = (DWORD)GetWindowLongW(list, GWL_STYLE);
  SetWindowLongW(list, GWL_STYLE, (LONG)((style & ~(DWORD)LVS_TYPEMASK) | view));
}

// A text longer than `path` holds is refused rather than returned cut. Typing cannot
// make one (the edit box takes at most MAX_PATH - 1 characters); a text set into the
// box by other means can.
int ValidateOk(DialogRequest* request, HWND dialog) {
  HWND edit = GetDlgItem(dialog, IDC_PATH_EDIT);
  if (GetWindowTextLengthW(edit) >= MAX_PATH) return 0;
  GetWindowTextW(edit, request->path, MAX_PATH);
  if (request->path[0] == 0) return 0;
  int kind = GetPathKind(request->path);
  if (request->mode == MODE_FILE && kind == 2) return 0;
  if (request->mode == MODE_FOLDER && kind == 1) return 0;
  if (request->mustExist && kind == 0) return 0;
  if (request->menuBar != NULL) {
    DestroyWindow(request->menuBar);
    request->menuBar = NULL;
  }
  return 1;
}

static void CloseFileBrowser(HWND dialog, INT_PTR result) {
  DialogRequest* request = RequestOf(dialog);
  if (request != NULL && request->imageList != NULL) {
    ImageList_Destroy(request->imageList);
    request->imageList = NULL;
  }
  SetWindowLongW(dialog, GWL_USERDATA, 0);
  EndDialog(dialog, result);
}

static INT_PTR OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
  DialogRequest* request = RequestOf(dialog);
  if (request != NULL && request->renaming) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      if (request != NULL && !ValidateOk(request, dialog)) return TRUE;
      CloseFileBrowser(dialog, 1);
      return TRUE;
    case IDCANCEL:
      CloseFileBrowser(dialog, 2);
      return TRUE;
    case CMD_VIEW_DETAILS:
    case CMD_MENU_VIEW_DETAILS:
      if (request != NULL) SetListStyle(dialog, LVS_REPORT);
      return TRUE;
    case CMD_UP_FOLDER:
    case CMD_MENU_UP_FOLDER:
      if (request != NULL) GoUpFolder(request, dialog);
      return TRUE;
    case CMD_NEW_FOLDER:
      if (request != NULL) CreateNewFolder(request, dialog);
      return TRUE;
    case IDC_PATH_BAR:
      if (request != NULL) SelectPathBarLevel(request, dialog, wParam, (HWND)lParam);
      return TRUE;
    case CMD_VIEW_LIST:
    case CMD_MENU_VIEW_LIST:
      if (request != NULL) SetListStyle(dialog, LVS_LIST);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK FileBrowserDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogRequest* request;
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongW(dialog, GWL_USERDATA, (LONG)lParam);
      if (lParam == 0) return FALSE;
      request = (DialogRequest*)lParam;
      InitFileBrowser(request, dialog);
      LayoutFileBrowser(request, dialog);
      return TRUE;
    case WM_SIZE:
      request = RequestOf(dialog);
      if (request != NULL) LayoutFileBrowser(request, dialog);
      return FALSE;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETSIPINFO) {
        SHACTIVATEINFO activateInfo;
        ZeroMemory(&activateInfo, sizeof(activateInfo));
        SHHandleWMSettingChange(dialog, (WPARAM)-1, 0, &activateInfo);
        request = RequestOf(dialog);
        if (request != NULL) LayoutFileBrowser(request, dialog);
      }
      return FALSE;
    case WM_NOTIFY:
      request = RequestOf(dialog);
      if (request != NULL) HandleListNotify(request, dialog, (NMHDR*)lParam);
      return FALSE;
    case WM_COMMAND:
      return OnCommand(dialog, wParam, lParam);
    case WM_TIMER:
      if (wParam == TIMER_NEW_FOLDER_EDIT) {
        KillTimer(dialog, TIMER_NEW_FOLDER_EDIT);
        request = RequestOf(dialog);
        if (request != NULL) BeginNewFolderEdit(request, dialog);
      }
      return FALSE;
  }
  return FALSE;
}
