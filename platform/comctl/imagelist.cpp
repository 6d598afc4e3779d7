#include "comctl/imagelist.h"

#include <algorithm>
#include <string>

#include "comctl/notify.h"
#include "kernel/device.h"

namespace sim {

ImageLists& ImageLists::get() { return Device::current().service<ImageLists>(); }

HIMAGELIST ImageLists::create(int width, int height, UINT flags, int initial, int grow) {
  std::uintptr_t value = nextHandle_;
  nextHandle_ += 0x10;
  ImageList list;
  list.width = width;
  list.height = height;
  list.flags = flags;
  list.grow = grow;
  list.capacity = static_cast<std::size_t>(std::max(initial, 0));
  lists_.emplace(value, std::move(list));
  return reinterpret_cast<HIMAGELIST>(value);
}

ImageList* ImageLists::checked(HIMAGELIST handle, const char* operation) {
  auto it = lists_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == lists_.end() || it->second.destroyed) {
    ReportControlFault(std::string(operation) + ": " +
                       (it == lists_.end() ? "not an image list" : "image list already destroyed"));
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return &it->second;
}

bool ImageLists::destroy(HIMAGELIST handle, const char* operation) {
  ImageList* list = checked(handle, operation);
  if (!list) return false;
  list->destroyed = true;
  list->images.clear();
  list->images.shrink_to_fit();
  return true;
}

bool ImageLists::live(HIMAGELIST handle) const {
  auto it = lists_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it != lists_.end() && !it->second.destroyed;
}

int ImageLists::append(ImageList& list, const GdiDescription& source, int count) {
  int first = static_cast<int>(list.images.size());
  for (int piece = 0; piece < count; ++piece) {
    if (list.images.size() >= list.capacity)
      list.capacity += static_cast<std::size_t>(std::max(list.grow, 1));
    GdiDescription image = source;
    if (count > 1) {
      std::string number = "#" + std::to_string(piece);
      image.origin += std::u16string(number.begin(), number.end());
    }
    image.width = list.width;
    image.height = list.height;
    list.images.push_back(std::move(image));
  }
  return first;
}

}  // namespace sim

using sim::ImageLists;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (sim::FailsByInjection("ImageList_Create")) return nullptr;
  if (cx <= 0 || cy <= 0 || initial < 0 || grow < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return ImageLists::get().create(cx, cy, flags, initial, grow);
}

BOOL ImageList_Destroy(HIMAGELIST himl) { return ImageLists::get().destroy(himl, "ImageList_Destroy"); }

int ImageList_GetImageCount(HIMAGELIST himl) {
  auto* list = ImageLists::get().checked(himl, "ImageList_GetImageCount");
  return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
  auto* list = ImageLists::get().checked(himl, "ImageList_GetIconSize");
  if (!list || !cx || !cy) return FALSE;
  *cx = list->width;
  *cy = list->height;
  return TRUE;
}

namespace {

// The images a bitmap strip holds at the list's width (one when its size is unknown).
int PiecesOf(const sim::GdiObject& bitmap, const sim::ImageList& list) {
  if (bitmap.description.width <= 0) return 1;
  return bitmap.description.width / list.width;
}

int AddBitmap(HIMAGELIST himl, HBITMAP image, const char* operation) {
  auto* list = ImageLists::get().checked(himl, operation);
  if (!list) return -1;
  const sim::GdiObject* bitmap = sim::GdiObjects::get().checked(image, {sim::GdiKind::Bitmap}, operation);
  if (!bitmap) return -1;
  int pieces = PiecesOf(*bitmap, *list);
  if (pieces <= 0) return -1;
  return ImageLists::append(*list, bitmap->description, pieces);
}

}  // namespace

int ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask) { return AddBitmap(himl, image, "ImageList_Add"); }

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF maskColor) {
  return AddBitmap(himl, image, "ImageList_AddMasked");
}

int ImageList_ReplaceIcon(HIMAGELIST himl, int index, HICON icon) {
  if (sim::FailsByInjection("ImageList_ReplaceIcon")) return -1;
  auto* list = ImageLists::get().checked(himl, "ImageList_ReplaceIcon");
  if (!list) return -1;
  const sim::GdiObject* source =
      sim::GdiObjects::get().checked(icon, {sim::GdiKind::Icon, sim::GdiKind::Cursor}, "ImageList_ReplaceIcon");
  if (!source) return -1;
  if (index == -1) return ImageLists::append(*list, source->description, 1);
  if (index < 0 || index >= static_cast<int>(list->images.size())) return -1;
  sim::GdiDescription image = source->description;
  image.width = list->width;
  image.height = list->height;
  list->images[static_cast<std::size_t>(index)] = std::move(image);
  return index;
}

BOOL ImageList_Remove(HIMAGELIST himl, int index) {
  auto* list = ImageLists::get().checked(himl, "ImageList_Remove");
  if (!list) return FALSE;
  if (index == -1) {
    list->images.clear();
    return TRUE;
  }
  if (index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
  list->images.erase(list->images.begin() + index);
  return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST himl, int index, UINT flags) {
  auto* list = ImageLists::get().checked(himl, "ImageList_GetIcon");
  if (!list || index < 0 || index >= static_cast<int>(list->images.size())) return nullptr;
  sim::GdiDescription icon = list->images[static_cast<std::size_t>(index)];
  icon.kind = sim::GdiKind::Icon;
  return sim::CreateIconObject(std::move(icon));
}

COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF color) {
  ImageLists::get().checked(himl, "ImageList_SetBkColor");
  return CLR_NONE;
}

BOOL ImageList_Draw(HIMAGELIST himl, int index, HDC dc, int x, int y, UINT style) {
  auto* list = ImageLists::get().checked(himl, "ImageList_Draw");
  return list && index >= 0 && index < static_cast<int>(list->images.size());
}
