// The command bar: a toolbar across the top of its parent window.
#include <commctrl.h>

#include <span>

#include "kernel/faults.h"
#include "user/resource_icon.h"

namespace {

// The width of a bitmap resource, 0 when it cannot be read.
int BitmapResourceWidth(HINSTANCE instance, int bitmapId) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(bitmapId), RT_BITMAP);
  if (!found) return 0;
  HGLOBAL loaded = LoadResource(instance, found);
  auto* bytes = static_cast<const unsigned char*>(LockResource(loaded));
  if (!bytes) return 0;
  auto header = sim::ParseBitmapHeader(std::span<const unsigned char>(bytes, SizeofResource(instance, found)));
  return header ? header->width : 0;
}

}  // namespace

HWND CommandBar_Create(HINSTANCE instance, HWND parent, int id) {
  RECT client{};
  GetClientRect(parent, &client);
  return CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | CCS_TOP | CCS_NODIVIDER, 0, 0,
                         static_cast<int>(client.right - client.left), CMDBAR_HEIGHT, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

// The bitmap is cut into images of the given width; how many it holds comes from the
// bitmap itself when it can be read, else from the caller's count.
int CommandBar_AddBitmap(HWND commandBar, HINSTANCE instance, int bitmapId, int imageCount, int imageWidth,
                         int imageHeight) {
  if (sim::FailsByInjection("CommandBar_AddBitmap")) return -1;
  int width = instance ? BitmapResourceWidth(instance, bitmapId) : 0;
  int count = (width > 0 && imageWidth > 0) ? width / imageWidth : imageCount;
  if (count <= 0) return -1;
  SendMessageW(commandBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(imageWidth, imageHeight));
  // Without a module there is no bitmap to read: the images are only counted.
  TBADDBITMAP bitmap{instance, static_cast<UINT_PTR>(bitmapId)};
  return static_cast<int>(SendMessageW(commandBar, TB_ADDBITMAP, static_cast<WPARAM>(count),
                                       instance ? reinterpret_cast<LPARAM>(&bitmap) : 0));
}

int CommandBar_Height(HWND commandBar) {
  RECT rect{};
  if (!GetWindowRect(commandBar, &rect)) return 0;
  return static_cast<int>(rect.bottom - rect.top);
}
