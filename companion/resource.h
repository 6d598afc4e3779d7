// Resource ids of the companion.
#define IDI_BRACKENWAY 101
#define IDD_PASTE_SHORTCUT 102
#define IDC_PASTE_MESSAGE 1001
#define IDC_PASTE_ICON 1002
#ifndef VS_VERSION_INFO
#define VS_VERSION_INFO 1
#endif
