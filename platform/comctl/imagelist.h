// Image lists: numbered images of one size, held under checked handles.
//
// Each image keeps its pixels at the list's size: a colour image in the screen's
// format and, in a list made with ILC_MASK, a mask (1 = transparent), with the
// description of the icon or bitmap piece it was made from. Handles are never
// reused during a device's life: using or destroying a list that is gone is a
// program fault, never a host crash.
#pragma once

#include <commctrl.h>

#include <cstdint>
#include <map>
#include <vector>

#include "gdi/gdi_objects.h"

namespace sim {

class Device;
struct Process;

struct ListImage {
  GdiDescription description;
  IconData pixels;
};

struct ImageList {
  int width = 0;
  int height = 0;
  UINT flags = 0;
  int grow = 0;
  std::size_t capacity = 0;  // room before the list must grow by `grow`
  COLORREF background = CLR_NONE;
  std::vector<ListImage> images;
  bool destroyed = false;
  // The program the list was made for (whose code created it); null for the driver's.
  const Process* owner = nullptr;

  bool masked() const { return (flags & ILC_MASK) != 0; }
};

class ImageLists {
 public:
  explicit ImageLists(Device& device) : device_(device) {}
  ImageLists(const ImageLists&) = delete;
  ImageLists& operator=(const ImageLists&) = delete;

  static ImageLists& get();

  HIMAGELIST create(int width, int height, UINT flags, int initial, int grow);
  // The live list of a handle; a destroyed or unknown handle is reported as a program
  // fault naming `operation` and gives null.
  ImageList* checked(HIMAGELIST handle, const char* operation);
  // Destroys a live list; false (with a program fault) when it is gone or unknown.
  bool destroy(HIMAGELIST handle, const char* operation);
  // Every list not yet destroyed.
  std::vector<std::pair<HIMAGELIST, const ImageList*>> liveLists() const;

  // Appends images; gives the index of the first.
  static int append(ImageList& list, std::vector<ListImage> images);

 private:
  Device& device_;
  std::map<std::uintptr_t, ImageList> lists_;
  std::uintptr_t nextHandle_ = 0x1A000010;
};

// The images a bitmap strip holds at the list's width, each cut out with its piece
// of the mask strip (when given) or a mask of the pixels of `maskColor` (when not
// CLR_NONE), whose colour then becomes black as the device does.
std::vector<ListImage> CutStrip(const ImageList& list, const GdiObject& bitmap, const GdiObject* maskBitmap,
                                COLORREF maskColor);
// An icon's images at the list's size.
ListImage ImageOfIcon(const ImageList& list, const GdiObject& icon);

}  // namespace sim
