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
  list.owner = device_.scheduler().dataOwner();
  lists_.emplace(value, std::move(list));
  return reinterpret_cast<HIMAGELIST>(value);
}

ImageList* ImageLists::checked(HIMAGELIST handle, const char* operation) {
  auto it = lists_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == lists_.end() || it->second.destroyed) {
    ReportControlFault(operation, handle, it == lists_.end() ? "not an image list" : "image list already destroyed");
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

std::vector<std::pair<HIMAGELIST, const ImageList*>> ImageLists::liveLists() const {
  std::vector<std::pair<HIMAGELIST, const ImageList*>> live;
  for (const auto& [value, list] : lists_)
    if (!list.destroyed) live.emplace_back(reinterpret_cast<HIMAGELIST>(value), &list);
  return live;
}

int ImageLists::append(ImageList& list, std::vector<ListImage> images) {
  int first = static_cast<int>(list.images.size());
  for (ListImage& image : images) {
    if (list.images.size() >= list.capacity)
      list.capacity += static_cast<std::size_t>(std::max(list.grow, 1));
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

int AddBitmap(HIMAGELIST himl, HBITMAP image, HBITMAP mask, COLORREF maskColor, const char* operation) {
  auto* list = ImageLists::get().checked(himl, operation);
  if (!list) return -1;
  auto& objects = sim::GdiObjects::get();
  const sim::GdiObject* bitmap = objects.checked(image, {sim::GdiKind::Bitmap}, operation);
  if (!bitmap) return -1;
  const sim::GdiObject* maskBitmap = mask ? objects.checked(mask, {sim::GdiKind::Bitmap}, operation) : nullptr;
  if (mask && !maskBitmap) return -1;
  std::vector<sim::ListImage> pieces = sim::CutStrip(*list, *bitmap, maskBitmap, maskColor);
  if (pieces.empty()) return -1;
  return ImageLists::append(*list, std::move(pieces));
}

}  // namespace

int ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask) {
  return AddBitmap(himl, image, mask, CLR_NONE, "ImageList_Add");
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF maskColor) {
  return AddBitmap(himl, image, nullptr, maskColor, "ImageList_AddMasked");
}

int ImageList_ReplaceIcon(HIMAGELIST himl, int index, HICON icon) {
  if (sim::FailsByInjection("ImageList_ReplaceIcon")) return -1;
  auto* list = ImageLists::get().checked(himl, "ImageList_ReplaceIcon");
  if (!list) return -1;
  const sim::GdiObject* source =
      sim::GdiObjects::get().checked(icon, {sim::GdiKind::Icon, sim::GdiKind::Cursor}, "ImageList_ReplaceIcon");
  if (!source) return -1;
  if (index == -1) return ImageLists::append(*list, {sim::ImageOfIcon(*list, *source)});
  if (index < 0 || index >= static_cast<int>(list->images.size())) return -1;
  list->images[static_cast<std::size_t>(index)] = sim::ImageOfIcon(*list, *source);
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
  const sim::ListImage& image = list->images[static_cast<std::size_t>(index)];
  return sim::CreateIconObject(image.description, image.pixels);
}
