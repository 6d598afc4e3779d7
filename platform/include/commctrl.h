// The common controls: header, list view, tree view, combo box, image lists, toolbar, command bar.
//
// Record layouts follow the device's headers: every notification record starts with
// an NMHDR, and the list view's key record is byte-packed as on the device.
#pragma once
#include <windows.h>

#include "win/combobox.h"

// ---- initialisation ------------------------------------------------------------------
// The classes are there from the device's start: nothing is left to do.
void InitCommonControls();

// ---- common notifications -----------------------------------------------------------
#define NM_FIRST (0U - 0U)
#define NM_OUTOFMEMORY (NM_FIRST - 1)
#define NM_CLICK (NM_FIRST - 2)
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_RETURN (NM_FIRST - 4)
#define NM_RCLICK (NM_FIRST - 5)
#define NM_RDBLCLK (NM_FIRST - 6)
#define NM_SETFOCUS (NM_FIRST - 7)
#define NM_KILLFOCUS (NM_FIRST - 8)
#define NM_CUSTOMDRAW (NM_FIRST - 12)

// ---- custom draw: the parent takes part in a list view's or tree view's painting ----
#define CDDS_PREPAINT 0x00000001
#define CDDS_POSTPAINT 0x00000002
#define CDDS_PREERASE 0x00000003
#define CDDS_POSTERASE 0x00000004
#define CDDS_ITEM 0x00010000
#define CDDS_ITEMPREPAINT (CDDS_ITEM | CDDS_PREPAINT)
#define CDDS_ITEMPOSTPAINT (CDDS_ITEM | CDDS_POSTPAINT)
#define CDDS_SUBITEM 0x00020000

#define CDRF_DODEFAULT 0x00000000
#define CDRF_NEWFONT 0x00000002
#define CDRF_SKIPDEFAULT 0x00000004
#define CDRF_NOTIFYPOSTPAINT 0x00000010
#define CDRF_NOTIFYITEMDRAW 0x00000020
#define CDRF_NOTIFYSUBITEMDRAW 0x00000020
#define CDRF_NOTIFYPOSTERASE 0x00000040

#define CDIS_SELECTED 0x0001
#define CDIS_GRAYED 0x0002
#define CDIS_DISABLED 0x0004
#define CDIS_CHECKED 0x0008
#define CDIS_FOCUS 0x0010
#define CDIS_DEFAULT 0x0020
#define CDIS_HOT 0x0040

typedef struct tagNMCUSTOMDRAWINFO {
  NMHDR hdr;
  DWORD dwDrawStage;
  HDC hdc;
  RECT rc;
  DWORD_PTR dwItemSpec;  // a list view's item index; a tree view's HTREEITEM
  UINT uItemState;
  LPARAM lItemlParam;
} NMCUSTOMDRAW, *LPNMCUSTOMDRAW;

#define LVN_FIRST (0U - 100U)
#define TVN_FIRST (0U - 400U)
#define TBN_FIRST (0U - 700U)

#define CCS_TOP 0x00000001L
#define CCS_NOMOVEY 0x00000002L
#define CCS_BOTTOM 0x00000003L
#define CCS_NORESIZE 0x00000004L
#define CCS_NOPARENTALIGN 0x00000008L
#define CCS_ADJUSTABLE 0x00000020L
#define CCS_NODIVIDER 0x00000040L

#define LPSTR_TEXTCALLBACKW (reinterpret_cast<LPWSTR>(static_cast<LONG_PTR>(-1)))
#define LPSTR_TEXTCALLBACK LPSTR_TEXTCALLBACKW
#define I_IMAGECALLBACK (-1)
#define I_IMAGENONE (-2)
#define I_CHILDRENCALLBACK (-1)

// ---- image lists ---------------------------------------------------------------------
struct _IMAGELIST;
typedef struct _IMAGELIST* HIMAGELIST;

#define CLR_NONE 0xFFFFFFFFL
#define CLR_DEFAULT 0xFF000000L

#define ILC_MASK 0x0001
#define ILC_COLOR 0x0000
#define ILC_COLORDDB 0x00FE
#define ILC_COLOR4 0x0004
#define ILC_COLOR8 0x0008
#define ILC_COLOR16 0x0010
#define ILC_COLOR24 0x0018
#define ILC_COLOR32 0x0020

#define ILD_NORMAL 0x0000
#define ILD_TRANSPARENT 0x0001
#define ILD_BLEND25 0x0002
#define ILD_BLEND50 0x0004
#define ILD_MASK 0x0010
#define ILD_IMAGE 0x0020
#define ILD_FOCUS ILD_BLEND25
#define ILD_SELECTED ILD_BLEND50
#define ILD_BLEND ILD_BLEND50

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST himl);
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
int ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask);
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF maskColor);
int ImageList_ReplaceIcon(HIMAGELIST himl, int index, HICON icon);
BOOL ImageList_Remove(HIMAGELIST himl, int index);
HICON ImageList_GetIcon(HIMAGELIST himl, int index, UINT flags);
BOOL ImageList_Draw(HIMAGELIST himl, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_DrawEx(HIMAGELIST himl, int index, HDC dc, int x, int y, int dx, int dy, COLORREF background,
                      COLORREF foreground, UINT style);
HIMAGELIST ImageList_LoadImage(HINSTANCE instance, LPCWSTR name, int cx, int grow, COLORREF mask, UINT type,
                               UINT flags);
#define ImageList_LoadBitmap(instance, name, cx, grow, mask) \
  ImageList_LoadImage(instance, name, cx, grow, mask, IMAGE_BITMAP, 0)
#define ImageList_AddIcon(himl, icon) ImageList_ReplaceIcon(himl, -1, icon)
#define ImageList_RemoveAll(himl) ImageList_Remove(himl, -1)

// ---- header control --------------------------------------------------------------------
// A row of column titles above a list; the list view's report view makes one as its child.
#define WC_HEADERW u"SysHeader32"
#define WC_HEADER WC_HEADERW

#define HDS_HORZ 0x0000
#define HDS_BUTTONS 0x0002
#define HDS_HOTTRACK 0x0004
#define HDS_HIDDEN 0x0008
#define HDS_DRAGDROP 0x0040
#define HDS_FULLDRAG 0x0080

#define HDI_WIDTH 0x0001
#define HDI_HEIGHT HDI_WIDTH
#define HDI_TEXT 0x0002
#define HDI_FORMAT 0x0004
#define HDI_LPARAM 0x0008
#define HDI_BITMAP 0x0010
#define HDI_IMAGE 0x0020
#define HDI_DI_SETITEM 0x0040
#define HDI_ORDER 0x0080

#define HDF_LEFT 0x0000
#define HDF_RIGHT 0x0001
#define HDF_CENTER 0x0002
#define HDF_JUSTIFYMASK 0x0003
#define HDF_RTLREADING 0x0004
#define HDF_IMAGE 0x0800
#define HDF_BITMAP_ON_RIGHT 0x1000
#define HDF_BITMAP 0x2000
#define HDF_STRING 0x4000
#define HDF_OWNERDRAW 0x8000

#define HHT_NOWHERE 0x0001
#define HHT_ONHEADER 0x0002
#define HHT_ONDIVIDER 0x0004
#define HHT_ONDIVOPEN 0x0008
#define HHT_ABOVE 0x0100
#define HHT_BELOW 0x0200
#define HHT_TORIGHT 0x0400
#define HHT_TOLEFT 0x0800

#define HDM_FIRST 0x1200
#define HDM_GETITEMCOUNT (HDM_FIRST + 0)
#define HDM_DELETEITEM (HDM_FIRST + 2)
#define HDM_LAYOUT (HDM_FIRST + 5)
#define HDM_HITTEST (HDM_FIRST + 6)
#define HDM_GETITEMRECT (HDM_FIRST + 7)
#define HDM_SETIMAGELIST (HDM_FIRST + 8)
#define HDM_GETIMAGELIST (HDM_FIRST + 9)
#define HDM_INSERTITEMW (HDM_FIRST + 10)
#define HDM_GETITEMW (HDM_FIRST + 11)
#define HDM_SETITEMW (HDM_FIRST + 12)
#define HDM_ORDERTOINDEX (HDM_FIRST + 15)
#define HDM_CREATEDRAGIMAGE (HDM_FIRST + 16)
#define HDM_GETORDERARRAY (HDM_FIRST + 17)
#define HDM_SETORDERARRAY (HDM_FIRST + 18)
#define HDM_SETHOTDIVIDER (HDM_FIRST + 19)
#define HDM_INSERTITEM HDM_INSERTITEMW
#define HDM_GETITEM HDM_GETITEMW
#define HDM_SETITEM HDM_SETITEMW

#define HDN_FIRST (0U - 300U)
#define HDN_BEGINDRAG (HDN_FIRST - 10)
#define HDN_ENDDRAG (HDN_FIRST - 11)
#define HDN_ITEMCHANGINGW (HDN_FIRST - 20)
#define HDN_ITEMCHANGEDW (HDN_FIRST - 21)
#define HDN_ITEMCLICKW (HDN_FIRST - 22)
#define HDN_ITEMDBLCLICKW (HDN_FIRST - 23)
#define HDN_DIVIDERDBLCLICKW (HDN_FIRST - 25)
#define HDN_BEGINTRACKW (HDN_FIRST - 26)
#define HDN_ENDTRACKW (HDN_FIRST - 27)
#define HDN_TRACKW (HDN_FIRST - 28)
#define HDN_GETDISPINFOW (HDN_FIRST - 29)
#define HDN_ITEMCHANGING HDN_ITEMCHANGINGW
#define HDN_ITEMCHANGED HDN_ITEMCHANGEDW
#define HDN_ITEMCLICK HDN_ITEMCLICKW
#define HDN_ITEMDBLCLICK HDN_ITEMDBLCLICKW
#define HDN_DIVIDERDBLCLICK HDN_DIVIDERDBLCLICKW
#define HDN_BEGINTRACK HDN_BEGINTRACKW
#define HDN_ENDTRACK HDN_ENDTRACKW
#define HDN_TRACK HDN_TRACKW
#define HDN_GETDISPINFO HDN_GETDISPINFOW

// The device's item record: no filter or state members.
typedef struct _HD_ITEMW {
  UINT mask;
  int cxy;
  LPWSTR pszText;
  HBITMAP hbm;
  int cchTextMax;
  int fmt;
  LPARAM lParam;
  int iImage;
  int iOrder;
} HDITEMW, *LPHDITEMW, HD_ITEMW, HDITEM, *LPHDITEM, HD_ITEM;

typedef struct _HD_LAYOUT {
  RECT* prc;
  WINDOWPOS* pwpos;
} HDLAYOUT, *LPHDLAYOUT, HD_LAYOUT;

typedef struct _HD_HITTESTINFO {
  POINT pt;
  UINT flags;
  int iItem;
} HDHITTESTINFO, *LPHDHITTESTINFO, HD_HITTESTINFO;

typedef struct tagNMHEADERW {
  NMHDR hdr;
  int iItem;
  int iButton;  // 0: the left button (the stylus)
  HDITEMW* pItem;
} NMHEADERW, *LPNMHEADERW, NMHEADER, *LPNMHEADER, HD_NOTIFYW, HD_NOTIFY;

inline int Header_GetItemCount(HWND hwnd) { return (int)SendMessageW(hwnd, HDM_GETITEMCOUNT, 0, 0); }
inline int Header_InsertItem(HWND hwnd, int i, const HDITEMW* item) {
  return (int)SendMessageW(hwnd, HDM_INSERTITEMW, (WPARAM)i, (LPARAM)item);
}
inline BOOL Header_DeleteItem(HWND hwnd, int i) { return (BOOL)SendMessageW(hwnd, HDM_DELETEITEM, (WPARAM)i, 0); }
inline BOOL Header_GetItem(HWND hwnd, int i, HDITEMW* item) {
  return (BOOL)SendMessageW(hwnd, HDM_GETITEMW, (WPARAM)i, (LPARAM)item);
}
inline BOOL Header_SetItem(HWND hwnd, int i, const HDITEMW* item) {
  return (BOOL)SendMessageW(hwnd, HDM_SETITEMW, (WPARAM)i, (LPARAM)item);
}
inline BOOL Header_Layout(HWND hwnd, HDLAYOUT* layout) { return (BOOL)SendMessageW(hwnd, HDM_LAYOUT, 0, (LPARAM)layout); }
inline BOOL Header_GetItemRect(HWND hwnd, int i, RECT* rect) {
  return (BOOL)SendMessageW(hwnd, HDM_GETITEMRECT, (WPARAM)i, (LPARAM)rect);
}
inline HIMAGELIST Header_SetImageList(HWND hwnd, HIMAGELIST himl) {
  return (HIMAGELIST)SendMessageW(hwnd, HDM_SETIMAGELIST, 0, (LPARAM)himl);
}
inline HIMAGELIST Header_GetImageList(HWND hwnd) { return (HIMAGELIST)SendMessageW(hwnd, HDM_GETIMAGELIST, 0, 0); }
inline int Header_OrderToIndex(HWND hwnd, int i) { return (int)SendMessageW(hwnd, HDM_ORDERTOINDEX, (WPARAM)i, 0); }
inline BOOL Header_GetOrderArray(HWND hwnd, int count, int* order) {
  return (BOOL)SendMessageW(hwnd, HDM_GETORDERARRAY, (WPARAM)count, (LPARAM)order);
}
inline BOOL Header_SetOrderArray(HWND hwnd, int count, const int* order) {
  return (BOOL)SendMessageW(hwnd, HDM_SETORDERARRAY, (WPARAM)count, (LPARAM)order);
}

// ---- list view -----------------------------------------------------------------------
#define WC_LISTVIEWW u"SysListView32"
#define WC_LISTVIEW WC_LISTVIEWW

#define LVS_ICON 0x0000
#define LVS_REPORT 0x0001
#define LVS_SMALLICON 0x0002
#define LVS_LIST 0x0003
#define LVS_TYPEMASK 0x0003
#define LVS_SINGLESEL 0x0004
#define LVS_SHOWSELALWAYS 0x0008
#define LVS_SORTASCENDING 0x0010
#define LVS_SORTDESCENDING 0x0020
#define LVS_SHAREIMAGELISTS 0x0040
#define LVS_NOLABELWRAP 0x0080
#define LVS_AUTOARRANGE 0x0100
#define LVS_EDITLABELS 0x0200
#define LVS_OWNERDATA 0x1000
#define LVS_NOSCROLL 0x2000
#define LVS_ALIGNTOP 0x0000
#define LVS_ALIGNLEFT 0x0800
#define LVS_NOCOLUMNHEADER 0x4000
#define LVS_NOSORTHEADER 0x8000

#define LVS_EX_GRIDLINES 0x00000001
#define LVS_EX_SUBITEMIMAGES 0x00000002
#define LVS_EX_CHECKBOXES 0x00000004
#define LVS_EX_TRACKSELECT 0x00000008
#define LVS_EX_HEADERDRAGDROP 0x00000010
#define LVS_EX_FULLROWSELECT 0x00000020
#define LVS_EX_ONECLICKACTIVATE 0x00000040
#define LVS_EX_TWOCLICKACTIVATE 0x00000080

#define LVM_FIRST 0x1000
#define LVM_GETBKCOLOR (LVM_FIRST + 0)
#define LVM_SETBKCOLOR (LVM_FIRST + 1)
#define LVM_GETIMAGELIST (LVM_FIRST + 2)
#define LVM_SETIMAGELIST (LVM_FIRST + 3)
#define LVM_GETITEMCOUNT (LVM_FIRST + 4)
#define LVM_DELETEITEM (LVM_FIRST + 8)
#define LVM_DELETEALLITEMS (LVM_FIRST + 9)
#define LVM_GETCALLBACKMASK (LVM_FIRST + 10)
#define LVM_SETCALLBACKMASK (LVM_FIRST + 11)
#define LVM_GETNEXTITEM (LVM_FIRST + 12)
#define LVM_GETITEMRECT (LVM_FIRST + 14)
#define LVM_SETITEMPOSITION (LVM_FIRST + 15)
#define LVM_GETITEMPOSITION (LVM_FIRST + 16)
#define LVM_HITTEST (LVM_FIRST + 18)
#define LVM_ENSUREVISIBLE (LVM_FIRST + 19)
#define LVM_SCROLL (LVM_FIRST + 20)
#define LVM_ARRANGE (LVM_FIRST + 22)
#define LVM_GETEDITCONTROL (LVM_FIRST + 24)
#define LVM_DELETECOLUMN (LVM_FIRST + 28)
#define LVM_GETCOLUMNWIDTH (LVM_FIRST + 29)
#define LVM_SETCOLUMNWIDTH (LVM_FIRST + 30)
#define LVM_GETHEADER (LVM_FIRST + 31)
#define LVM_GETVIEWRECT (LVM_FIRST + 34)
#define LVM_GETTOPINDEX (LVM_FIRST + 39)
#define LVM_GETCOUNTPERPAGE (LVM_FIRST + 40)
#define LVM_GETORIGIN (LVM_FIRST + 41)
#define LVM_SETITEMSTATE (LVM_FIRST + 43)
#define LVM_GETITEMSTATE (LVM_FIRST + 44)
#define LVM_SETITEMCOUNT (LVM_FIRST + 47)
#define LVM_SORTITEMS (LVM_FIRST + 48)
#define LVM_GETSELECTEDCOUNT (LVM_FIRST + 50)
#define LVM_SETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 54)
#define LVM_GETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 55)
#define LVM_GETSUBITEMRECT (LVM_FIRST + 56)
#define LVM_SETCOLUMNORDERARRAY (LVM_FIRST + 58)
#define LVM_GETCOLUMNORDERARRAY (LVM_FIRST + 59)
#define LVM_GETSELECTIONMARK (LVM_FIRST + 66)
#define LVM_SETSELECTIONMARK (LVM_FIRST + 67)
#define LVM_GETITEMW (LVM_FIRST + 75)
#define LVM_SETITEMW (LVM_FIRST + 76)
#define LVM_INSERTITEMW (LVM_FIRST + 77)
#define LVM_FINDITEMW (LVM_FIRST + 83)
#define LVM_GETCOLUMNW (LVM_FIRST + 95)
#define LVM_SETCOLUMNW (LVM_FIRST + 96)
#define LVM_INSERTCOLUMNW (LVM_FIRST + 97)
#define LVM_GETITEMTEXTW (LVM_FIRST + 115)
#define LVM_SETITEMTEXTW (LVM_FIRST + 116)
#define LVM_EDITLABELW (LVM_FIRST + 118)
#define LVM_GETITEM LVM_GETITEMW
#define LVM_SETITEM LVM_SETITEMW
#define LVM_INSERTITEM LVM_INSERTITEMW
#define LVM_FINDITEM LVM_FINDITEMW
#define LVM_GETCOLUMN LVM_GETCOLUMNW
#define LVM_SETCOLUMN LVM_SETCOLUMNW
#define LVM_INSERTCOLUMN LVM_INSERTCOLUMNW
#define LVM_GETITEMTEXT LVM_GETITEMTEXTW
#define LVM_SETITEMTEXT LVM_SETITEMTEXTW
#define LVM_EDITLABEL LVM_EDITLABELW

#define LVSIL_NORMAL 0
#define LVSIL_SMALL 1
#define LVSIL_STATE 2

#define LVIF_TEXT 0x0001
#define LVIF_IMAGE 0x0002
#define LVIF_PARAM 0x0004
#define LVIF_STATE 0x0008
#define LVIF_INDENT 0x0010
#define LVIF_NORECOMPUTE 0x0800
#define LVIF_DI_SETITEM 0x1000

#define LVIS_FOCUSED 0x0001
#define LVIS_SELECTED 0x0002
#define LVIS_CUT 0x0004
#define LVIS_DROPHILITED 0x0008
#define LVIS_OVERLAYMASK 0x0F00
#define LVIS_STATEIMAGEMASK 0xF000

#define LVNI_ALL 0x0000
#define LVNI_FOCUSED 0x0001
#define LVNI_SELECTED 0x0002
#define LVNI_CUT 0x0004
#define LVNI_DROPHILITED 0x0008
#define LVNI_ABOVE 0x0100
#define LVNI_BELOW 0x0200
#define LVNI_TOLEFT 0x0400
#define LVNI_TORIGHT 0x0800

#define LVFI_PARAM 0x0001
#define LVFI_STRING 0x0002
#define LVFI_PARTIAL 0x0008
#define LVFI_WRAP 0x0020
#define LVFI_NEARESTXY 0x0040

#define LVIR_BOUNDS 0
#define LVIR_ICON 1
#define LVIR_LABEL 2
#define LVIR_SELECTBOUNDS 3

#define LVHT_NOWHERE 0x0001
#define LVHT_ONITEMICON 0x0002
#define LVHT_ONITEMLABEL 0x0004
#define LVHT_ONITEMSTATEICON 0x0008
#define LVHT_ONITEM (LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON)
#define LVHT_ABOVE 0x0008
#define LVHT_BELOW 0x0010
#define LVHT_TORIGHT 0x0020
#define LVHT_TOLEFT 0x0040

#define LVCF_FMT 0x0001
#define LVCF_WIDTH 0x0002
#define LVCF_TEXT 0x0004
#define LVCF_SUBITEM 0x0008
#define LVCF_IMAGE 0x0010
#define LVCF_ORDER 0x0020

#define LVCFMT_LEFT 0x0000
#define LVCFMT_RIGHT 0x0001
#define LVCFMT_CENTER 0x0002
#define LVCFMT_JUSTIFYMASK 0x0003

#define LVSICF_NOINVALIDATEALL 0x00000001
#define LVSICF_NOSCROLL 0x00000002

#define LVSCW_AUTOSIZE (-1)
#define LVSCW_AUTOSIZE_USEHEADER (-2)

#define LVN_ITEMCHANGING (LVN_FIRST - 0)
#define LVN_ITEMCHANGED (LVN_FIRST - 1)
#define LVN_INSERTITEM (LVN_FIRST - 2)
#define LVN_DELETEITEM (LVN_FIRST - 3)
#define LVN_DELETEALLITEMS (LVN_FIRST - 4)
#define LVN_COLUMNCLICK (LVN_FIRST - 8)
#define LVN_BEGINDRAG (LVN_FIRST - 9)
#define LVN_BEGINRDRAG (LVN_FIRST - 11)
#define LVN_ODCACHEHINT (LVN_FIRST - 13)
#define LVN_ITEMACTIVATE (LVN_FIRST - 14)
#define LVN_KEYDOWN (LVN_FIRST - 55)
#define LVN_BEGINLABELEDITW (LVN_FIRST - 75)
#define LVN_ENDLABELEDITW (LVN_FIRST - 76)
#define LVN_GETDISPINFOW (LVN_FIRST - 77)
#define LVN_SETDISPINFOW (LVN_FIRST - 78)
#define LVN_ODFINDITEMW (LVN_FIRST - 79)
#define LVN_ODFINDITEM LVN_ODFINDITEMW
#define LVN_BEGINLABELEDIT LVN_BEGINLABELEDITW
#define LVN_ENDLABELEDIT LVN_ENDLABELEDITW
#define LVN_GETDISPINFO LVN_GETDISPINFOW

typedef struct tagLVITEMW {
  UINT mask;
  int iItem;
  int iSubItem;
  UINT state;
  UINT stateMask;
  LPWSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
  int iIndent;
} LVITEMW, *LPLVITEMW, LV_ITEMW, LVITEM, *LPLVITEM, LV_ITEM;

typedef struct tagLVCOLUMNW {
  UINT mask;
  int fmt;
  int cx;
  LPWSTR pszText;
  int cchTextMax;
  int iSubItem;
  int iImage;
  int iOrder;
} LVCOLUMNW, *LPLVCOLUMNW, LV_COLUMNW, LVCOLUMN, *LPLVCOLUMN, LV_COLUMN;

typedef struct tagLVFINDINFOW {
  UINT flags;
  LPCWSTR psz;
  LPARAM lParam;
  POINT pt;
  UINT vkDirection;
} LVFINDINFOW, *LPFINDINFOW, LV_FINDINFOW, LVFINDINFO, LV_FINDINFO;

typedef struct tagLVHITTESTINFO {
  POINT pt;
  UINT flags;
  int iItem;
  int iSubItem;
} LVHITTESTINFO, *LPLVHITTESTINFO, LV_HITTESTINFO;

typedef struct tagNMLISTVIEW {
  NMHDR hdr;
  int iItem;
  int iSubItem;
  UINT uNewState;
  UINT uOldState;
  UINT uChanged;
  POINT ptAction;
  LPARAM lParam;
} NMLISTVIEW, *LPNMLISTVIEW, NM_LISTVIEW;

typedef struct tagNMLVCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText;
  COLORREF clrTextBk;
  int iSubItem;
} NMLVCUSTOMDRAW, *LPNMLVCUSTOMDRAW;

// NM_CLICK, NM_DBLCLK and NM_RCLICK of a list view: an NMLISTVIEW with the key flags.
typedef struct tagNMITEMACTIVATE {
  NMHDR hdr;
  int iItem;
  int iSubItem;
  UINT uNewState;
  UINT uOldState;
  UINT uChanged;
  POINT ptAction;
  LPARAM lParam;
  UINT uKeyFlags;
} NMITEMACTIVATE, *LPNMITEMACTIVATE;
#define LVKF_ALT 0x0001
#define LVKF_CONTROL 0x0002
#define LVKF_SHIFT 0x0004

#pragma pack(push, 1)
typedef struct tagLVKEYDOWN {
  NMHDR hdr;
  WORD wVKey;
  UINT flags;
} NMLVKEYDOWN, *LPNMLVKEYDOWN, LV_KEYDOWN;
#pragma pack(pop)

typedef struct tagLVDISPINFOW {
  NMHDR hdr;
  LVITEMW item;
} NMLVDISPINFOW, *LPNMLVDISPINFOW, LV_DISPINFOW, NMLVDISPINFO, LV_DISPINFO;

// LVN_ODCACHEHINT: the items of an owner-data list about to be asked for.
typedef struct tagNMLVCACHEHINT {
  NMHDR hdr;
  int iFrom;
  int iTo;
} NMLVCACHEHINT, *LPNMLVCACHEHINT;

// LVN_ODFINDITEMW: an owner-data list's parent searches; the answer is the index or -1.
typedef struct tagNMLVFINDITEMW {
  NMHDR hdr;
  int iStart;
  LVFINDINFOW lvfi;
} NMLVFINDITEMW, *LPNMLVFINDITEMW, NMLVFINDITEM;

typedef int(CALLBACK* PFNLVCOMPARE)(LPARAM, LPARAM, LPARAM);

inline int ListView_GetItemCount(HWND hwnd) { return (int)SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0); }
inline BOOL ListView_DeleteAllItems(HWND hwnd) { return (BOOL)SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0); }
inline BOOL ListView_DeleteItem(HWND hwnd, int i) { return (BOOL)SendMessageW(hwnd, LVM_DELETEITEM, (WPARAM)i, 0); }
inline int ListView_InsertItem(HWND hwnd, const LVITEMW* item) {
  return (int)SendMessageW(hwnd, LVM_INSERTITEMW, 0, (LPARAM)item);
}
inline BOOL ListView_GetItem(HWND hwnd, LVITEMW* item) { return (BOOL)SendMessageW(hwnd, LVM_GETITEMW, 0, (LPARAM)item); }
inline BOOL ListView_SetItem(HWND hwnd, const LVITEMW* item) {
  return (BOOL)SendMessageW(hwnd, LVM_SETITEMW, 0, (LPARAM)item);
}
inline int ListView_GetNextItem(HWND hwnd, int i, UINT flags) {
  return (int)SendMessageW(hwnd, LVM_GETNEXTITEM, (WPARAM)i, MAKELPARAM(flags, 0));
}
inline int ListView_InsertColumn(HWND hwnd, int i, const LVCOLUMNW* column) {
  return (int)SendMessageW(hwnd, LVM_INSERTCOLUMNW, (WPARAM)i, (LPARAM)column);
}
inline HIMAGELIST ListView_SetImageList(HWND hwnd, HIMAGELIST himl, int type) {
  return (HIMAGELIST)SendMessageW(hwnd, LVM_SETIMAGELIST, (WPARAM)type, (LPARAM)himl);
}
inline HIMAGELIST ListView_GetImageList(HWND hwnd, int type) {
  return (HIMAGELIST)SendMessageW(hwnd, LVM_GETIMAGELIST, (WPARAM)type, 0);
}
inline BOOL ListView_EnsureVisible(HWND hwnd, int i, BOOL partialOk) {
  return (BOOL)SendMessageW(hwnd, LVM_ENSUREVISIBLE, (WPARAM)i, MAKELPARAM(partialOk, 0));
}
inline HWND ListView_EditLabel(HWND hwnd, int i) { return (HWND)SendMessageW(hwnd, LVM_EDITLABELW, (WPARAM)i, 0); }
inline HWND ListView_GetEditControl(HWND hwnd) { return (HWND)SendMessageW(hwnd, LVM_GETEDITCONTROL, 0, 0); }
inline UINT ListView_GetSelectedCount(HWND hwnd) { return (UINT)SendMessageW(hwnd, LVM_GETSELECTEDCOUNT, 0, 0); }
inline UINT ListView_GetItemState(HWND hwnd, int i, UINT mask) {
  return (UINT)SendMessageW(hwnd, LVM_GETITEMSTATE, (WPARAM)i, (LPARAM)mask);
}
inline void ListView_SetItemState(HWND hwnd, int i, UINT state, UINT mask) {
  LVITEMW item = {};
  item.stateMask = mask;
  item.state = state;
  SendMessageW(hwnd, LVM_SETITEMSTATE, (WPARAM)i, (LPARAM)&item);
}
inline BOOL ListView_GetItemRect(HWND hwnd, int i, RECT* prc, int code) {
  if (prc) prc->left = code;
  return (BOOL)SendMessageW(hwnd, LVM_GETITEMRECT, (WPARAM)i, (LPARAM)prc);
}
inline BOOL ListView_SetColumnWidth(HWND hwnd, int column, int cx) {
  return (BOOL)SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, (WPARAM)column, MAKELPARAM(cx, 0));
}
inline int ListView_GetColumnWidth(HWND hwnd, int column) {
  return (int)SendMessageW(hwnd, LVM_GETCOLUMNWIDTH, (WPARAM)column, 0);
}
inline DWORD ListView_SetExtendedListViewStyle(HWND hwnd, DWORD style) {
  return (DWORD)SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, (LPARAM)style);
}
inline DWORD ListView_GetExtendedListViewStyle(HWND hwnd) {
  return (DWORD)SendMessageW(hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
}
inline BOOL ListView_SetItemCount(HWND hwnd, int count) {
  return (BOOL)SendMessageW(hwnd, LVM_SETITEMCOUNT, (WPARAM)count, 0);
}
inline BOOL ListView_SetCallbackMask(HWND hwnd, UINT mask) {
  return (BOOL)SendMessageW(hwnd, LVM_SETCALLBACKMASK, (WPARAM)mask, 0);
}
inline UINT ListView_GetCallbackMask(HWND hwnd) { return (UINT)SendMessageW(hwnd, LVM_GETCALLBACKMASK, 0, 0); }
inline BOOL ListView_GetSubItemRect(HWND hwnd, int i, int subItem, int code, RECT* prc) {
  if (prc) {
    prc->top = subItem;
    prc->left = code;
  }
  return (BOOL)SendMessageW(hwnd, LVM_GETSUBITEMRECT, (WPARAM)i, (LPARAM)prc);
}
inline BOOL ListView_Scroll(HWND hwnd, int dx, int dy) { return (BOOL)SendMessageW(hwnd, LVM_SCROLL, (WPARAM)dx, (LPARAM)dy); }
inline BOOL ListView_GetViewRect(HWND hwnd, RECT* prc) { return (BOOL)SendMessageW(hwnd, LVM_GETVIEWRECT, 0, (LPARAM)prc); }
inline BOOL ListView_GetItemPosition(HWND hwnd, int i, POINT* ppt) {
  return (BOOL)SendMessageW(hwnd, LVM_GETITEMPOSITION, (WPARAM)i, (LPARAM)ppt);
}
inline BOOL ListView_SetItemPosition(HWND hwnd, int i, int x, int y) {
  return (BOOL)SendMessageW(hwnd, LVM_SETITEMPOSITION, (WPARAM)i, MAKELPARAM(x, y));
}
inline BOOL ListView_GetOrigin(HWND hwnd, POINT* ppt) { return (BOOL)SendMessageW(hwnd, LVM_GETORIGIN, 0, (LPARAM)ppt); }
inline HWND ListView_GetHeader(HWND hwnd) { return (HWND)SendMessageW(hwnd, LVM_GETHEADER, 0, 0); }
inline int ListView_GetSelectionMark(HWND hwnd) { return (int)SendMessageW(hwnd, LVM_GETSELECTIONMARK, 0, 0); }
inline int ListView_SetSelectionMark(HWND hwnd, int i) { return (int)SendMessageW(hwnd, LVM_SETSELECTIONMARK, 0, (LPARAM)i); }
inline BOOL ListView_GetColumnOrderArray(HWND hwnd, int count, int* order) {
  return (BOOL)SendMessageW(hwnd, LVM_GETCOLUMNORDERARRAY, (WPARAM)count, (LPARAM)order);
}
inline BOOL ListView_SetColumnOrderArray(HWND hwnd, int count, const int* order) {
  return (BOOL)SendMessageW(hwnd, LVM_SETCOLUMNORDERARRAY, (WPARAM)count, (LPARAM)order);
}
inline BOOL ListView_SortItems(HWND hwnd, PFNLVCOMPARE compare, LPARAM sortParam) {
  return (BOOL)SendMessageW(hwnd, LVM_SORTITEMS, (WPARAM)sortParam, (LPARAM)compare);
}

// ---- tree view -----------------------------------------------------------------------
#define WC_TREEVIEWW u"SysTreeView32"
#define WC_TREEVIEW WC_TREEVIEWW

struct _TREEITEM;
typedef struct _TREEITEM* HTREEITEM;

#define TVS_HASBUTTONS 0x0001
#define TVS_HASLINES 0x0002
#define TVS_LINESATROOT 0x0004
#define TVS_EDITLABELS 0x0008
#define TVS_DISABLEDRAGDROP 0x0010
#define TVS_SHOWSELALWAYS 0x0020
#define TVS_CHECKBOXES 0x0100
#define TVS_TRACKSELECT 0x0200
#define TVS_SINGLEEXPAND 0x0400
#define TVS_NOSCROLL 0x2000

#define TVIF_TEXT 0x0001
#define TVIF_IMAGE 0x0002
#define TVIF_PARAM 0x0004
#define TVIF_STATE 0x0008
#define TVIF_HANDLE 0x0010
#define TVIF_SELECTEDIMAGE 0x0020
#define TVIF_CHILDREN 0x0040
#define TVIF_DI_SETITEM 0x1000

#define TVIS_FOCUSED 0x0001
#define TVIS_SELECTED 0x0002
#define TVIS_CUT 0x0004
#define TVIS_DROPHILITED 0x0008
#define TVIS_BOLD 0x0010
#define TVIS_EXPANDED 0x0020
#define TVIS_EXPANDEDONCE 0x0040
#define TVIS_OVERLAYMASK 0x0F00
#define TVIS_STATEIMAGEMASK 0xF000
#define TVIS_USERMASK 0xF000
#define INDEXTOSTATEIMAGEMASK(i) ((UINT)(i) << 12)

#define TVI_ROOT (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(-0x10000)))
#define TVI_FIRST (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(-0x0FFFF)))
#define TVI_LAST (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(-0x0FFFE)))
#define TVI_SORT (reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(-0x0FFFD)))

#define TVE_COLLAPSE 0x0001
#define TVE_EXPAND 0x0002
#define TVE_TOGGLE 0x0003
#define TVE_ACTIONMASK 0x0003
#define TVE_COLLAPSERESET 0x8000

#define TVGN_ROOT 0x0000
#define TVGN_NEXT 0x0001
#define TVGN_PREVIOUS 0x0002
#define TVGN_PARENT 0x0003
#define TVGN_CHILD 0x0004
#define TVGN_FIRSTVISIBLE 0x0005
#define TVGN_NEXTVISIBLE 0x0006
#define TVGN_PREVIOUSVISIBLE 0x0007
#define TVGN_DROPHILITE 0x0008
#define TVGN_CARET 0x0009
#define TVGN_LASTVISIBLE 0x000A

#define TVC_UNKNOWN 0x0000
#define TVC_BYMOUSE 0x0001
#define TVC_BYKEYBOARD 0x0002

#define TVSIL_NORMAL 0
#define TVSIL_STATE 2

#define TVHT_NOWHERE 0x0001
#define TVHT_ONITEMICON 0x0002
#define TVHT_ONITEMLABEL 0x0004
#define TVHT_ONITEMINDENT 0x0008
#define TVHT_ONITEMBUTTON 0x0010
#define TVHT_ONITEMRIGHT 0x0020
#define TVHT_ONITEMSTATEICON 0x0040
#define TVHT_ONITEM (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)
#define TVHT_ABOVE 0x0100
#define TVHT_BELOW 0x0200
#define TVHT_TORIGHT 0x0400
#define TVHT_TOLEFT 0x0800

#define TV_FIRST 0x1100
#define TVM_DELETEITEM (TV_FIRST + 1)
#define TVM_EXPAND (TV_FIRST + 2)
#define TVM_GETITEMRECT (TV_FIRST + 4)
#define TVM_GETCOUNT (TV_FIRST + 5)
#define TVM_GETINDENT (TV_FIRST + 6)
#define TVM_SETINDENT (TV_FIRST + 7)
#define TVM_GETIMAGELIST (TV_FIRST + 8)
#define TVM_SETIMAGELIST (TV_FIRST + 9)
#define TVM_GETNEXTITEM (TV_FIRST + 10)
#define TVM_SELECTITEM (TV_FIRST + 11)
#define TVM_GETEDITCONTROL (TV_FIRST + 15)
#define TVM_GETVISIBLECOUNT (TV_FIRST + 16)
#define TVM_HITTEST (TV_FIRST + 17)
#define TVM_SORTCHILDREN (TV_FIRST + 19)
#define TVM_ENSUREVISIBLE (TV_FIRST + 20)
#define TVM_SORTCHILDRENCB (TV_FIRST + 21)
#define TVM_ENDEDITLABELNOW (TV_FIRST + 22)
#define TVM_SETINSERTMARK (TV_FIRST + 26)
#define TVM_SETITEMHEIGHT (TV_FIRST + 27)
#define TVM_GETITEMHEIGHT (TV_FIRST + 28)
#define TVM_SETBKCOLOR (TV_FIRST + 29)
#define TVM_SETTEXTCOLOR (TV_FIRST + 30)
#define TVM_GETBKCOLOR (TV_FIRST + 31)
#define TVM_GETTEXTCOLOR (TV_FIRST + 32)
#define TVM_SETSCROLLTIME (TV_FIRST + 33)
#define TVM_GETSCROLLTIME (TV_FIRST + 34)
#define TVM_SETINSERTMARKCOLOR (TV_FIRST + 37)
#define TVM_GETINSERTMARKCOLOR (TV_FIRST + 38)
#define TVM_INSERTITEMW (TV_FIRST + 50)
#define TVM_GETITEMW (TV_FIRST + 62)
#define TVM_SETITEMW (TV_FIRST + 63)
#define TVM_EDITLABELW (TV_FIRST + 65)
#define TVM_EDITLABEL TVM_EDITLABELW
#define TVM_INSERTITEM TVM_INSERTITEMW
#define TVM_GETITEM TVM_GETITEMW
#define TVM_SETITEM TVM_SETITEMW

#define TVN_SELCHANGINGW (TVN_FIRST - 50)
#define TVN_SELCHANGEDW (TVN_FIRST - 51)
#define TVN_GETDISPINFOW (TVN_FIRST - 52)
#define TVN_SETDISPINFOW (TVN_FIRST - 53)
#define TVN_ITEMEXPANDINGW (TVN_FIRST - 54)
#define TVN_ITEMEXPANDEDW (TVN_FIRST - 55)
#define TVN_BEGINDRAGW (TVN_FIRST - 56)
#define TVN_BEGINRDRAGW (TVN_FIRST - 57)
#define TVN_DELETEITEMW (TVN_FIRST - 58)
#define TVN_BEGINLABELEDITW (TVN_FIRST - 59)
#define TVN_ENDLABELEDITW (TVN_FIRST - 60)
#define TVN_KEYDOWN (TVN_FIRST - 12)
#define TVN_SELCHANGING TVN_SELCHANGINGW
#define TVN_SELCHANGED TVN_SELCHANGEDW
#define TVN_ITEMEXPANDING TVN_ITEMEXPANDINGW
#define TVN_ITEMEXPANDED TVN_ITEMEXPANDEDW
#define TVN_DELETEITEM TVN_DELETEITEMW
#define TVN_GETDISPINFO TVN_GETDISPINFOW
#define TVN_BEGINLABELEDIT TVN_BEGINLABELEDITW
#define TVN_ENDLABELEDIT TVN_ENDLABELEDITW

typedef struct tagTVITEMW {
  UINT mask;
  HTREEITEM hItem;
  UINT state;
  UINT stateMask;
  LPWSTR pszText;
  int cchTextMax;
  int iImage;
  int iSelectedImage;
  int cChildren;
  LPARAM lParam;
} TVITEMW, *LPTVITEMW, TV_ITEMW, TVITEM, *LPTVITEM, TV_ITEM;

typedef struct tagTVINSERTSTRUCTW {
  HTREEITEM hParent;
  HTREEITEM hInsertAfter;
  TVITEMW item;
} TVINSERTSTRUCTW, *LPTVINSERTSTRUCTW, TV_INSERTSTRUCTW, TVINSERTSTRUCT, *LPTVINSERTSTRUCT, TV_INSERTSTRUCT;

typedef struct tagNMTREEVIEWW {
  NMHDR hdr;
  UINT action;
  TVITEMW itemOld;
  TVITEMW itemNew;
  POINT ptDrag;
} NMTREEVIEWW, *LPNMTREEVIEWW, NM_TREEVIEWW, NMTREEVIEW, *LPNMTREEVIEW, NM_TREEVIEW;

typedef struct tagNMTVCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText;
  COLORREF clrTextBk;
  int iLevel;
} NMTVCUSTOMDRAW, *LPNMTVCUSTOMDRAW;

typedef struct tagTVDISPINFOW {
  NMHDR hdr;
  TVITEMW item;
} NMTVDISPINFOW, *LPNMTVDISPINFOW, TV_DISPINFOW, NMTVDISPINFO, TV_DISPINFO;

#pragma pack(push, 1)
typedef struct tagTVKEYDOWN {
  NMHDR hdr;
  WORD wVKey;
  UINT flags;
} NMTVKEYDOWN, *LPNMTVKEYDOWN, TV_KEYDOWN;
#pragma pack(pop)

typedef struct tagTVHITTESTINFO {
  POINT pt;
  UINT flags;
  HTREEITEM hItem;
} TVHITTESTINFO, *LPTVHITTESTINFO, TV_HITTESTINFO;

typedef int(CALLBACK* PFNTVCOMPARE)(LPARAM, LPARAM, LPARAM);
typedef struct tagTVSORTCB {
  HTREEITEM hParent;
  PFNTVCOMPARE lpfnCompare;
  LPARAM lParam;
} TVSORTCB, *LPTVSORTCB, TV_SORTCB;

inline HTREEITEM TreeView_InsertItem(HWND hwnd, const TVINSERTSTRUCTW* insert) {
  return (HTREEITEM)SendMessageW(hwnd, TVM_INSERTITEMW, 0, (LPARAM)insert);
}
inline BOOL TreeView_DeleteItem(HWND hwnd, HTREEITEM item) { return (BOOL)SendMessageW(hwnd, TVM_DELETEITEM, 0, (LPARAM)item); }
inline BOOL TreeView_DeleteAllItems(HWND hwnd) { return (BOOL)SendMessageW(hwnd, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT); }
inline BOOL TreeView_Expand(HWND hwnd, HTREEITEM item, UINT code) {
  return (BOOL)SendMessageW(hwnd, TVM_EXPAND, (WPARAM)code, (LPARAM)item);
}
inline HTREEITEM TreeView_GetNextItem(HWND hwnd, HTREEITEM item, UINT code) {
  return (HTREEITEM)SendMessageW(hwnd, TVM_GETNEXTITEM, (WPARAM)code, (LPARAM)item);
}
inline HTREEITEM TreeView_GetChild(HWND hwnd, HTREEITEM item) { return TreeView_GetNextItem(hwnd, item, TVGN_CHILD); }
inline HTREEITEM TreeView_GetNextSibling(HWND hwnd, HTREEITEM item) { return TreeView_GetNextItem(hwnd, item, TVGN_NEXT); }
inline HTREEITEM TreeView_GetPrevSibling(HWND hwnd, HTREEITEM item) { return TreeView_GetNextItem(hwnd, item, TVGN_PREVIOUS); }
inline HTREEITEM TreeView_GetParent(HWND hwnd, HTREEITEM item) { return TreeView_GetNextItem(hwnd, item, TVGN_PARENT); }
inline HTREEITEM TreeView_GetSelection(HWND hwnd) { return TreeView_GetNextItem(hwnd, NULL, TVGN_CARET); }
inline HTREEITEM TreeView_GetRoot(HWND hwnd) { return TreeView_GetNextItem(hwnd, NULL, TVGN_ROOT); }
inline HTREEITEM TreeView_GetFirstVisible(HWND hwnd) { return TreeView_GetNextItem(hwnd, NULL, TVGN_FIRSTVISIBLE); }
inline HTREEITEM TreeView_GetNextVisible(HWND hwnd, HTREEITEM item) { return TreeView_GetNextItem(hwnd, item, TVGN_NEXTVISIBLE); }
inline BOOL TreeView_Select(HWND hwnd, HTREEITEM item, UINT code) {
  return (BOOL)SendMessageW(hwnd, TVM_SELECTITEM, (WPARAM)code, (LPARAM)item);
}
inline BOOL TreeView_SelectItem(HWND hwnd, HTREEITEM item) { return TreeView_Select(hwnd, item, TVGN_CARET); }
inline BOOL TreeView_GetItem(HWND hwnd, TVITEMW* item) { return (BOOL)SendMessageW(hwnd, TVM_GETITEMW, 0, (LPARAM)item); }
inline BOOL TreeView_SetItem(HWND hwnd, const TVITEMW* item) { return (BOOL)SendMessageW(hwnd, TVM_SETITEMW, 0, (LPARAM)item); }
inline UINT TreeView_GetCount(HWND hwnd) { return (UINT)SendMessageW(hwnd, TVM_GETCOUNT, 0, 0); }
inline HIMAGELIST TreeView_SetImageList(HWND hwnd, HIMAGELIST himl, int type) {
  return (HIMAGELIST)SendMessageW(hwnd, TVM_SETIMAGELIST, (WPARAM)type, (LPARAM)himl);
}
inline HIMAGELIST TreeView_GetImageList(HWND hwnd, int type) {
  return (HIMAGELIST)SendMessageW(hwnd, TVM_GETIMAGELIST, (WPARAM)type, 0);
}
inline BOOL TreeView_SortChildren(HWND hwnd, HTREEITEM item, BOOL recurse) {
  return (BOOL)SendMessageW(hwnd, TVM_SORTCHILDREN, (WPARAM)recurse, (LPARAM)item);
}
inline HWND TreeView_EditLabel(HWND hwnd, HTREEITEM item) {
  return (HWND)SendMessageW(hwnd, TVM_EDITLABELW, 0, (LPARAM)item);
}
inline HWND TreeView_GetEditControl(HWND hwnd) { return (HWND)SendMessageW(hwnd, TVM_GETEDITCONTROL, 0, 0); }
inline BOOL TreeView_EndEditLabelNow(HWND hwnd, BOOL cancel) {
  return (BOOL)SendMessageW(hwnd, TVM_ENDEDITLABELNOW, (WPARAM)cancel, 0);
}
inline BOOL TreeView_EnsureVisible(HWND hwnd, HTREEITEM item) {
  return (BOOL)SendMessageW(hwnd, TVM_ENSUREVISIBLE, 0, (LPARAM)item);
}
inline BOOL TreeView_GetItemRect(HWND hwnd, HTREEITEM item, RECT* prc, BOOL textOnly) {
  *reinterpret_cast<HTREEITEM*>(prc) = item;
  return (BOOL)SendMessageW(hwnd, TVM_GETITEMRECT, (WPARAM)textOnly, (LPARAM)prc);
}

// ---- toolbar and command bar ---------------------------------------------------------
#define TOOLBARCLASSNAMEW u"ToolbarWindow32"
#define TOOLBARCLASSNAME TOOLBARCLASSNAMEW

typedef struct _TBBUTTON {
  int iBitmap;
  int idCommand;
  BYTE fsState;
  BYTE fsStyle;
  BYTE bReserved[2];
  DWORD_PTR dwData;
  INT_PTR iString;
} TBBUTTON, *PTBBUTTON, *LPTBBUTTON;
typedef const TBBUTTON* LPCTBBUTTON;

typedef struct tagTBADDBITMAP {
  HINSTANCE hInst;
  UINT_PTR nID;
} TBADDBITMAP, *LPTBADDBITMAP;
#define HINST_COMMCTRL (reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(-1)))

#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04
#define TBSTATE_HIDDEN 0x08
#define TBSTATE_INDETERMINATE 0x10
#define TBSTATE_WRAP 0x20

#define TBSTYLE_BUTTON 0x0000
#define TBSTYLE_SEP 0x0001
#define TBSTYLE_CHECK 0x0002
#define TBSTYLE_GROUP 0x0004
#define TBSTYLE_CHECKGROUP (TBSTYLE_GROUP | TBSTYLE_CHECK)
#define TBSTYLE_DROPDOWN 0x0008
#define TBSTYLE_AUTOSIZE 0x0010
#define TBSTYLE_NOPREFIX 0x0020
#define TBSTYLE_TOOLTIPS 0x0100
#define TBSTYLE_WRAPABLE 0x0200
#define TBSTYLE_ALTDRAG 0x0400
#define TBSTYLE_FLAT 0x0800
#define TBSTYLE_LIST 0x1000

#define TB_ENABLEBUTTON (WM_USER + 1)
#define TB_CHECKBUTTON (WM_USER + 2)
#define TB_PRESSBUTTON (WM_USER + 3)
#define TB_HIDEBUTTON (WM_USER + 4)
#define TB_ISBUTTONENABLED (WM_USER + 9)
#define TB_ISBUTTONCHECKED (WM_USER + 10)
#define TB_ISBUTTONPRESSED (WM_USER + 11)
#define TB_ISBUTTONHIDDEN (WM_USER + 12)
#define TB_SETSTATE (WM_USER + 17)
#define TB_GETSTATE (WM_USER + 18)
#define TB_ADDBITMAP (WM_USER + 19)
#define TB_DELETEBUTTON (WM_USER + 22)
#define TB_GETBUTTON (WM_USER + 23)
#define TB_BUTTONCOUNT (WM_USER + 24)
#define TB_COMMANDTOINDEX (WM_USER + 25)
#define TB_GETITEMRECT (WM_USER + 29)
#define TB_BUTTONSTRUCTSIZE (WM_USER + 30)
#define TB_SETBUTTONSIZE (WM_USER + 31)
#define TB_SETBITMAPSIZE (WM_USER + 32)
#define TB_AUTOSIZE (WM_USER + 33)
#define TB_SETIMAGELIST (WM_USER + 48)
#define TB_GETIMAGELIST (WM_USER + 49)
#define TB_INSERTBUTTONW (WM_USER + 67)
#define TB_ADDBUTTONSW (WM_USER + 68)
#define TB_GETBUTTONTEXTW (WM_USER + 75)
#define TB_ADDSTRINGW (WM_USER + 77)
#define TB_ADDBUTTONS TB_ADDBUTTONSW
#define TB_INSERTBUTTON TB_INSERTBUTTONW
#define TB_ADDSTRING TB_ADDSTRINGW
#define TB_GETBUTTONTEXT TB_GETBUTTONTEXTW

#define TBN_DROPDOWN (TBN_FIRST - 10)

typedef struct tagNMTOOLBARW {
  NMHDR hdr;
  int iItem;
  TBBUTTON tbButton;
  int cchText;
  LPWSTR pszText;
  RECT rcButton;
} NMTOOLBARW, *LPNMTOOLBARW, NMTOOLBAR, *LPNMTOOLBAR;

// The command bar: a toolbar across the top of its parent.
#define CMDBAR_HEIGHT 26
HWND CommandBar_Create(HINSTANCE instance, HWND parent, int id);
int CommandBar_AddBitmap(HWND commandBar, HINSTANCE instance, int bitmapId, int imageCount, int imageWidth,
                         int imageHeight);
int CommandBar_Height(HWND commandBar);
#define CommandBar_AddButtons(hwnd, count, buttons) \
  (BOOL)SendMessageW((hwnd), TB_ADDBUTTONSW, (WPARAM)(UINT)(count), (LPARAM)(LPCTBBUTTON)(buttons))
#define CommandBar_InsertButton(hwnd, index, button) \
  (BOOL)SendMessageW((hwnd), TB_INSERTBUTTONW, (WPARAM)(UINT)(index), (LPARAM)(LPCTBBUTTON)(button))
#define CommandBar_Destroy(hwnd) DestroyWindow(hwnd)
