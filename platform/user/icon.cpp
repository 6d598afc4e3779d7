// Icons and bitmaps from resources: LoadIconW, LoadImageW, LoadBitmapW, DestroyIcon.
#include <string>

#include <windows.h>

#include "kernel/faults.h"
#include "user/gdi_objects.h"
#include "user/resource_icon.h"
#include "user/resource_module.h"
#include "user/window.h"

namespace {

using sim::GdiDescription;
using sim::GdiKind;
using sim::GdiObjects;

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

// The size an icon of a group resource is made at: the wanted size, or when none is
// asked for, the size of the group's image closest to the system's icon size.
struct IconChoice {
  int width;
  int height;
};

std::optional<IconChoice> ChooseIconSize(HMODULE module, LPCWSTR name, LPCWSTR groupType, int width, int height,
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
  return IconChoice{width ? width : entry->width, height ? height : entry->height};
}

HANDLE LoadIconImage(HINSTANCE instance, LPCWSTR name, GdiKind kind, int width, int height, UINT flags) {
  LPCWSTR groupType = kind == GdiKind::Icon ? RT_GROUP_ICON : RT_GROUP_CURSOR;
  auto size = ChooseIconSize(instance, name, groupType, width, height, (flags & LR_DEFAULTSIZE) != 0);
  if (!size) return nullptr;
  auto make = [&] { return ResourceDescription(kind, instance, name, size->width, size->height); };
  auto& objects = GdiObjects::get();
  if (flags & LR_SHARED) return objects.shared(kind, instance, ResourceKey(name), size->width, size->height, make);
  return objects.create(make(), sim::GdiOwnership::Owned);
}

HANDLE LoadBitmapImage(HINSTANCE instance, LPCWSTR name, UINT flags) {
  const sim::ResourceEntry* resource = sim::FindModuleResource(instance, RT_BITMAP, name);
  if (!resource) return nullptr;
  auto size = sim::ParseBitmapHeader(resource->data);
  if (!size) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  auto make = [&] { return ResourceDescription(GdiKind::Bitmap, instance, name, size->width, size->height); };
  auto& objects = GdiObjects::get();
  if (flags & LR_SHARED)
    return objects.shared(GdiKind::Bitmap, instance, ResourceKey(name), size->width, size->height, make);
  return objects.create(make(), sim::GdiOwnership::Owned);
}

}  // namespace

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
  if (IsStockIcon(instance, name)) {
    int size = GetSystemMetrics(SM_CXICON);
    return static_cast<HICON>(GdiObjects::get().stock(GdiKind::Icon, Ordinal(name), size, size));
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
