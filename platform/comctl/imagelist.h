// Image lists: numbered images of one size, held under checked handles.
//
// Nothing is drawn on the simulated handheld, so an image is the description of the
// icon or bitmap piece it was made from. Handles are never reused during a device's
// life: using or destroying a list that is gone is a program fault, never a host crash.
#pragma once

#include <commctrl.h>

#include <cstdint>
#include <map>
#include <vector>

#include "gdi/gdi_objects.h"

namespace sim {

class Device;

struct ImageList {
  int width = 0;
  int height = 0;
  UINT flags = 0;
  int grow = 0;
  std::size_t capacity = 0;  // room before the list must grow by `grow`
  std::vector<GdiDescription> images;
  bool destroyed = false;
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
  bool live(HIMAGELIST handle) const;

  // Appends `count` images made from `source` (pieces of a strip are numbered in
  // their origin); gives the index of the first.
  static int append(ImageList& list, const GdiDescription& source, int count);

 private:
  Device& device_;
  std::map<std::uintptr_t, ImageList> lists_;
  std::uintptr_t nextHandle_ = 0x1A000010;
};

}  // namespace sim
