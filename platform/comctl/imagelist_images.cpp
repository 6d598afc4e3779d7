// Making an image list's images: pieces of a bitmap strip, icons, and
// ImageList_LoadImage.
#include <string>

#include "comctl/imagelist.h"
#include "gdi/dc.h"
#include "gdi/dib.h"

namespace sim {
namespace {

std::shared_ptr<PixelBuffer> OpaqueMask(int width, int height) {
  return std::make_shared<PixelBuffer>(width, height, PixelFormat::Monochrome());
}

bool SameOnScreen(COLORREF a, COLORREF b) { return ToRgb565(a) == ToRgb565(b); }

// One piece of the strip in the screen's format with its mask.
IconData Piece(const ImageList& list, const PixelBuffer& strip, const PixelBuffer* maskStrip, COLORREF maskColor,
               int index) {
  auto color = std::make_shared<PixelBuffer>(list.width, list.height, PixelFormat::Screen());
  auto mask = OpaqueMask(list.width, list.height);
  int left = index * list.width;
  for (int y = 0; y < std::min(list.height, strip.height()); ++y) {
    for (int x = 0; x < list.width; ++x) {
      COLORREF pixel = strip.color(left + x, y);
      bool clear = maskStrip ? (y < maskStrip->height() && left + x < maskStrip->width() &&
                                maskStrip->color(left + x, y) == RGB(255, 255, 255))
                             : (maskColor != CLR_NONE && SameOnScreen(pixel, maskColor));
      if (clear && !maskStrip) pixel = RGB(0, 0, 0);
      color->setColor(x, y, pixel);
      mask->setNative(x, y, clear ? 1 : 0);
    }
  }
  return IconData{color, list.masked() ? mask : nullptr, 0, 0};
}

// An icon on a list without masks is put on the list's background (or the window
// colour when it has none), as it will be drawn.
std::shared_ptr<PixelBuffer> Flattened(const ImageList& list, const IconData& icon) {
  auto color = std::make_shared<PixelBuffer>(list.width, list.height, PixelFormat::Screen());
  COLORREF background = list.background == CLR_NONE ? GetSysColor(COLOR_WINDOW) : list.background;
  for (int y = 0; y < list.height; ++y)
    for (int x = 0; x < list.width; ++x)
      color->setColor(x, y, icon.mask && icon.mask->native(x, y) ? background : icon.color->color(x, y));
  return color;
}

}  // namespace

std::vector<ListImage> CutStrip(const ImageList& list, const GdiObject& bitmap, const GdiObject* maskBitmap,
                                COLORREF maskColor) {
  const BitmapData* data = bitmap.as<BitmapData>();
  const BitmapData* maskData = maskBitmap ? maskBitmap->as<BitmapData>() : nullptr;
  std::vector<ListImage> images;
  if (!data || !data->pixels) return images;
  int count = data->pixels->width() / list.width;
  for (int i = 0; i < count; ++i) {
    ListImage image;
    image.description = bitmap.description;
    if (count > 1) {
      std::string number = "#" + std::to_string(i);
      image.description.origin += std::u16string(number.begin(), number.end());
    }
    image.description.width = list.width;
    image.description.height = list.height;
    image.pixels = Piece(list, *data->pixels, maskData ? maskData->pixels.get() : nullptr, maskColor, i);
    images.push_back(std::move(image));
  }
  return images;
}

ListImage ImageOfIcon(const ImageList& list, const GdiObject& icon) {
  ListImage image;
  image.description = icon.description;
  image.description.width = list.width;
  image.description.height = list.height;
  const IconData* source = icon.as<IconData>();
  if (!source || !source->color) return image;
  IconData sized{Resized(*source->color, list.width, list.height),
                 source->mask ? Resized(*source->mask, list.width, list.height) : nullptr, 0, 0};
  if (list.masked()) {
    if (!sized.mask) sized.mask = OpaqueMask(list.width, list.height);
    image.pixels = sized;
  } else {
    image.pixels = IconData{Flattened(list, sized), nullptr, 0, 0};
  }
  return image;
}

}  // namespace sim

HIMAGELIST ImageList_LoadImage(HINSTANCE instance, LPCWSTR name, int cx, int grow, COLORREF mask, UINT type,
                               UINT flags) {
  if (type != IMAGE_BITMAP || cx <= 0) return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HIMAGELIST>(nullptr));
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, flags & ~LR_SHARED));
  if (!bitmap) return nullptr;
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  UINT listFlags = ILC_COLOR | (mask != CLR_NONE ? ILC_MASK : 0);
  int count = static_cast<int>(info.bmWidth) / cx;
  HIMAGELIST list = ImageList_Create(cx, static_cast<int>(info.bmHeight), listFlags, count, grow);
  int added = list ? (mask != CLR_NONE ? ImageList_AddMasked(list, bitmap, mask) : ImageList_Add(list, bitmap, nullptr))
                   : -1;
  DeleteObject(bitmap);
  if (list && added < 0) {
    ImageList_Destroy(list);
    return sim::FailWithError(ERROR_INVALID_DATA, static_cast<HIMAGELIST>(nullptr));
  }
  return list;
}
