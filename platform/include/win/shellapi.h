// The core shell's file information: icons and names of files and folders.
// Owned by the shell part of the platform (platform/shell).
#pragma once
#include "types.h"

typedef struct _SHFILEINFOW {
  HICON hIcon;
  int iIcon;
  DWORD dwAttributes;
  WCHAR szDisplayName[MAX_PATH];
  WCHAR szTypeName[80];
} SHFILEINFOW, SHFILEINFO;

#define SHGFI_LARGEICON 0x000000000
#define SHGFI_SMALLICON 0x000000001
#define SHGFI_OPENICON 0x000000002
#define SHGFI_SHELLICONSIZE 0x000000004
#define SHGFI_PIDL 0x000000008
#define SHGFI_USEFILEATTRIBUTES 0x000000010
#define SHGFI_ICON 0x000000100
#define SHGFI_DISPLAYNAME 0x000000200
#define SHGFI_TYPENAME 0x000000400
#define SHGFI_ATTRIBUTES 0x000000800
#define SHGFI_ICONLOCATION 0x000001000
#define SHGFI_EXETYPE 0x000002000
#define SHGFI_SYSICONINDEX 0x000004000

// Fills `info` for the file or folder at `path`: with SHGFI_ICON a new icon (the
// caller's to destroy; SHGFI_SMALLICON for the small one), with SHGFI_DISPLAYNAME
// the name, with SHGFI_TYPENAME the kind, with SHGFI_ATTRIBUTES the attributes.
// Nonzero on success; 0 for a path that does not exist (unless
// SHGFI_USEFILEATTRIBUTES, which takes `fileAttributes` instead of the file).
DWORD_PTR SHGetFileInfo(LPCWSTR path, DWORD fileAttributes, SHFILEINFO* info, UINT infoSize, UINT flags);
#define SHGetFileInfoW SHGetFileInfo
