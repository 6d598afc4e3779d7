// Icons and bitmaps from resources: LoadIconW, LoadImageW, LoadBitmapW, DestroyIcon.
// Each object carries the pixels of its resource: an icon its colour image and
// mask at the size asked for, a bitmap its pixels in the screen's format.
#include <string>

#include <windows.h>

#include "kernel/faults.h"
#include "gdi/dib.h"
#include "gdi/gdi_objects.h"
#include "gdi/stock_icons.h"
#include "user/resource_icon.h"
#include "user/resource_module.h"
#include "user/window.h"

namespace {

using sim::GdiDescription;
using sim::GdiKind;
using sim::GdiObjects;
using Made = std::optional<std::pair<GdiDescription, sim::GdiContent>>;

constexpr WORD kFirstStockIcon = 32512;  // IDI_APPLICATION
constexpr WORD kLastStockIcon = 32516;   // IDI_ASTERISK

WORD Ordinal(LPCWSTR name) { return static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name)); }

// A resource name as the key of a shared object: "#123", or the text folded as the
// resource compiler folds names.
std::u16string ResourceKey(LPCWSTR name) {
  if (IS_INTRESOURCE(name)) {
    std::string digits = std::to_string(Ordinal(name));
    return u"#" + std::u16string(digits.begin(), digits.end());
  }
  return sim::FoldResourceCase(name);
}

bool IsStockIcon(HINSTANCE instance, LPCWSTR name) {
  return instance == nullptr && IS_INTRESOURCE(name) && Ordinal(name) >= kFirstStockIcon &&
         Ordinal(name) <= kLastStockIcon;
}

GdiDescription ResourceDescription(GdiKind kind, HMODULE module, LPCWSTR name, int width, int height) {
  GdiDescription description;
  description.kind = kind;
  description.module = module;
  if (IS_INTRESOURCE(name))
    description.resourceId = Ordinal(name);
  else
    description.resourceName = name;
  description.width = width;
  description.height = height;
  return description;
}

// The image of a group resource an icon is made from, and the size it is made at:
// the wanted size, or when none is asked for, the size of the group's image
// closest to the system's icon size.
struct IconChoice {
  int width;
  int height;
  std::uint16_t imageId;
};

std::optional<IconChoice> ChooseIcon(HMODULE module, LPCWSTR name, LPCWSTR groupType, int width, int height,
                                     bool defaultSize) {
  const sim::ResourceEntry* resource = sim::FindModuleResource(module, groupType, name);
  if (!resource) return std::nullopt;
  auto group = sim::ParseIconGroup(resource->data);
  if (!group || group->entries.empty()) {
    SetLastError(ERROR_INVALID_DATA);
    return std::nullopt;
  }
  if (width == 0 && defaultSize) width = GetSystemMetrics(SM_CXICON);
  if (height == 0 && defaultSize) height = GetSystemMetrics(SM_CYICON);
  const auto& first = group->entries.front();
  const sim::IconGroupEntry* entry = group->best(width ? width : first.width, height ? height : first.height);
  return IconChoice{width ? width : entry->width, height ? height : entry->height, entry->iconId};
}

// The colour image and mask of an RT_ICON or RT_CURSOR image at the chosen size.
// A cursor image starts with its hot spot. An image stored as PNG has no pixels here.
std::optional<sim::IconData> IconImages(HMODULE module, GdiKind kind, const IconChoice& choice) {
  LPCWSTR type = kind == GdiKind::Icon ? RT_ICON : RT_CURSOR;
  const sim::ResourceEntry* resource = sim::FindModuleResource(module, type, MAKEINTRESOURCEW(choice.imageId));
  if (!resource) return std::nullopt;
  std::span<const unsigned char> bytes = resource->data;
  sim::IconData icon;
  if (kind == GdiKind::Cursor && bytes.size() >= 4) {
    icon.hotspotX = bytes[0] | (bytes[1] << 8);
    icon.hotspotY = bytes[2] | (bytes[3] << 8);
    bytes = bytes.subspan(4);
  }
  auto header = sim::ParseIconImage(bytes);
  if (header && header->png) return icon;
  auto decoded = sim::DecodeIconImage(bytes, nullptr);
  if (!decoded) {
    SetLastError(ERROR_INVALID_DATA);
    return std::nullopt;
  }
  icon.color = sim::Resized(*decoded->color, choice.width, choice.height);
  icon.mask = sim::Resized(*decoded->mask, choice.width, choice.height);
  return icon;
}

HANDLE LoadIconImage(HINSTANCE instance, LPCWSTR name, GdiKind kind, int width, int height, UINT flags) {
  LPCWSTR groupType = kind == GdiKind::Icon ? RT_GROUP_ICON : RT_GROUP_CURSOR;
  auto choice = ChooseIcon(instance, name, groupType, width, height, (flags & LR_DEFAULTSIZE) != 0);
  if (!choice) return nullptr;
  auto make = [&]() -> Made {
    auto images = IconImages(instance, kind, *choice);
    if (!images) return std::nullopt;
    return std::make_pair(ResourceDescription(kind, instance, name, choice->width, choice->height),
                          sim::GdiContent(std::move(*images)));
  };
  auto& objects = GdiObjects::get();
  if (flags & LR_SHARED) return objects.shared(kind, instance, ResourceKey(name), choice->width, choice->height, make);
  auto made = make();
  if (!made) return nullptr;
  return objects.create(std::move(made->first), sim::GdiOwnership::Owned, std::move(made->second));
}

// A bitmap resource's pixels as the device keeps a loaded bitmap: monochrome stays
// monochrome, every other depth becomes the screen's format.
std::shared_ptr<sim::PixelBuffer> DeviceBitmapOf(const sim::PixelBuffer& decoded) {
  if (!decoded.monochrome()) return sim::ToScreenFormat(decoded);
  sim::PixelFormat mono = sim::PixelFormat::Monochrome();
  auto pixels = std::make_shared<sim::PixelBuffer>(decoded.width(), decoded.height(), mono);
  for (int y = 0; y < decoded.height(); ++y)
    for (int x = 0; x < decoded.width(); ++x) pixels->setColor(x, y, decoded.color(x, y));
  return pixels;
}

HANDLE LoadBitmapImage(HINSTANCE instance, LPCWSTR name, UINT flags) {
  const sim::ResourceEntry* resource = sim::FindModuleResource(instance, RT_BITMAP, name);
  if (!resource) return nullptr;
  auto size = sim::ParseBitmapHeader(resource->data);
  if (!size) return sim::Fail(ERROR_INVALID_DATA, static_cast<HANDLE>(nullptr));
  auto make = [&]() -> Made {
    auto decoded = sim::DecodePackedDib(resource->data, nullptr);
    if (!decoded) return std::nullopt;
    auto pixels = DeviceBitmapOf(*decoded);
    return std::make_pair(ResourceDescription(GdiKind::Bitmap, instance, name, pixels->width(), pixels->height()),
                          sim::GdiContent(sim::BitmapData{pixels, false}));
  };
  auto& objects = GdiObjects::get();
  HANDLE made = nullptr;
  if (flags & LR_SHARED) {
    made = objects.shared(GdiKind::Bitmap, instance, ResourceKey(name), size->width, size->height, make);
  } else if (auto owned = make()) {
    made = objects.create(std::move(owned->first), sim::GdiOwnership::Owned, std::move(owned->second));
  }
  return made ? made : sim::Fail(ERROR_INVALID_DATA, static_cast<HANDLE>(nullptr));
}

}  // namespace

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
  if (IsStockIcon(instance, name)) {
    // The stock icons are drawn once, when first asked for.
    auto& objects = GdiObjects::get();
    if (HANDLE made = objects.madeStock(GdiKind::Icon, Ordinal(name))) return static_cast<HICON>(made);
    int size = GetSystemMetrics(SM_CXICON);
    return static_cast<HICON>(objects.stock(GdiKind::Icon, Ordinal(name), size, size, sim::DrawStockIcon(Ordinal(name), size)));
  }
  if (!name) return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HICON>(nullptr));
  return static_cast<HICON>(LoadIconImage(instance, name, GdiKind::Icon, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
}

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
  if (!name || cx < 0 || cy < 0) return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HANDLE>(nullptr));
  if (flags & LR_LOADFROMFILE) return sim::Fail(ERROR_NOT_SUPPORTED, static_cast<HANDLE>(nullptr));
  if (sim::FailsByInjection("LoadImageW")) return nullptr;
  switch (type) {
    case IMAGE_ICON:
      if (IsStockIcon(instance, name)) return LoadIconW(nullptr, name);
      return LoadIconImage(instance, name, GdiKind::Icon, cx, cy, flags);
    case IMAGE_CURSOR:
      if (instance == nullptr && IS_INTRESOURCE(name)) return LoadCursorW(nullptr, name);
      return LoadIconImage(instance, name, GdiKind::Cursor, cx, cy, flags);
    case IMAGE_BITMAP:
      return LoadBitmapImage(instance, name, flags);
    default:
      return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HANDLE>(nullptr));
  }
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
  if (!name) return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HBITMAP>(nullptr));
  return static_cast<HBITMAP>(LoadBitmapImage(instance, name, 0));
}

BOOL DestroyIcon(HICON icon) {
  return GdiObjects::get().destroy(icon, {GdiKind::Icon, GdiKind::Cursor}, "DestroyIcon") ? TRUE : FALSE;
}
