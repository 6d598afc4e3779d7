#include "user/gdi_objects.h"

#include <cstdio>

#include "kernel/device.h"
#include "user/window.h"

namespace sim {

namespace {

std::string HandleText(HANDLE handle) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
  return text;
}

std::string WithArticle(GdiKind kind) {
  std::string name = GdiKindName(kind);
  return (name.front() == 'i' ? "an " : "a ") + name;
}

bool KindAccepted(GdiKind kind, std::initializer_list<GdiKind> kinds) {
  for (GdiKind accepted : kinds)
    if (kind == accepted) return true;
  return false;
}

}  // namespace

const char* GdiKindName(GdiKind kind) {
  switch (kind) {
    case GdiKind::Icon: return "icon";
    case GdiKind::Cursor: return "cursor";
    case GdiKind::Bitmap: return "bitmap";
    case GdiKind::Brush: return "brush";
    case GdiKind::Font: return "font";
  }
  return "object";
}

GdiObjects& GdiObjects::get() { return Device::current().service<GdiObjects>(); }

HANDLE GdiObjects::create(GdiDescription description, GdiOwnership ownership) {
  std::uintptr_t value = nextHandle_;
  nextHandle_ += 4;
  objects_.emplace(value, GdiObject{std::move(description), ownership, false});
  return reinterpret_cast<HANDLE>(value);
}

HANDLE GdiObjects::stock(GdiKind kind, WORD id, int width, int height) {
  auto key = std::make_tuple(static_cast<int>(kind), id);
  if (auto it = stock_.find(key); it != stock_.end()) return it->second;
  GdiDescription description;
  description.kind = kind;
  description.stockId = id;
  description.width = width;
  description.height = height;
  HANDLE handle = create(std::move(description), GdiOwnership::Stock);
  stock_.emplace(key, handle);
  return handle;
}

const GdiObject* GdiObjects::lookup(HANDLE handle) const {
  auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == objects_.end() ? nullptr : &it->second;
}

const GdiObject* GdiObjects::checked(HANDLE handle, std::initializer_list<GdiKind> kinds, const char* operation) {
  const GdiObject* object = lookup(handle);
  std::string problem;
  if (!object)
    problem = "is not a drawing object";
  else if (object->destroyed)
    problem = "is " + WithArticle(object->description.kind) + " that was already destroyed";
  else if (!KindAccepted(object->description.kind, kinds))
    problem = "is " + WithArticle(object->description.kind) + ", not what the call takes";
  if (problem.empty()) return object;
  device_.faults().reportProgramFault(CurrentProgramPath(),
                                      std::string(operation) + ": handle " + HandleText(handle) + " " + problem);
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

bool GdiObjects::destroy(HANDLE handle, std::initializer_list<GdiKind> kinds, const char* operation) {
  if (!handle) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  if (!checked(handle, kinds, operation)) return false;
  GdiObject& object = objects_.at(reinterpret_cast<std::uintptr_t>(handle));
  if (object.ownership != GdiOwnership::Owned) return true;
  object.destroyed = true;
  if (cursor_ == handle) cursor_ = nullptr;
  return true;
}

HCURSOR GdiObjects::setCursor(HCURSOR cursor) {
  HCURSOR previous = cursor_;
  cursor_ = cursor;
  return previous;
}

bool GdiObjects::waitCursorShown() const {
  auto it = stock_.find(std::make_tuple(static_cast<int>(GdiKind::Cursor), static_cast<WORD>(32514)));
  return it != stock_.end() && cursor_ != nullptr && static_cast<HANDLE>(cursor_) == it->second;
}

std::size_t GdiObjects::liveOwnedCount() const {
  std::size_t count = 0;
  for (const auto& [value, object] : objects_)
    if (object.ownership == GdiOwnership::Owned && !object.destroyed) ++count;
  return count;
}

HICON CreateIconObject(GdiDescription description) {
  description.kind = GdiKind::Icon;
  return static_cast<HICON>(GdiObjects::get().create(std::move(description), GdiOwnership::Owned));
}

}  // namespace sim
