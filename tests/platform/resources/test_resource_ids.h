// Ids of the resources in test_resources.rc, shared by the script and the tests.
#pragma once

#define IDD_CONFIRM 102
#define IDD_FOLDER 122
#define IDM_VIEW 146
#define IDM_EXTENDED 147
#define IDI_FRAME 103
#define IDB_STRIP 147
#define IDR_LANGUAGES 500
#define IDR_NEUTRAL_ENGLISH 501
#define IDR_ENGLISH_ONLY 502
#define IDS_FIRST 1
#define IDS_OK 40002
#define IDS_CANCEL 40004
#define IDS_VIEW 40006
#define IDS_EMPTY_SLOT 40007
