#include "gdi/gdi_objects.h"

#include "kernel/device.h"
#include "kernel/handles.h"

namespace sim {

namespace {

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
    case GdiKind::Pen: return "pen";
    case GdiKind::Region: return "region";
  }
  return "object";
}

GdiObjects& GdiObjects::get() { return Device::current().service<GdiObjects>(); }

void ReportDrawingFault(const char* operation, const void* handle, std::string problem) {
  reportProgramFault(operation, handle ? HandleText(handle) : std::string(), std::move(problem));
}

HANDLE GdiObjects::create(GdiDescription description, GdiOwnership ownership, GdiContent content) {
  std::uintptr_t value = nextHandle_;
  nextHandle_ += 4;
  GdiObject object;
  object.description = std::move(description);
  object.ownership = ownership;
  object.content = std::move(content);
  if (ownership == GdiOwnership::Owned) object.owner = device_.scheduler().dataOwner();
  objects_.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

HANDLE GdiObjects::stock(GdiKind kind, WORD id, int width, int height, GdiContent content) {
  auto key = std::make_tuple(static_cast<int>(kind), id);
  if (auto it = stock_.find(key); it != stock_.end()) return it->second;
  GdiDescription description;
  description.kind = kind;
  description.stockId = id;
  description.width = width;
  description.height = height;
  HANDLE handle = create(std::move(description), GdiOwnership::Stock, std::move(content));
  stock_.emplace(key, handle);
  return handle;
}

HANDLE GdiObjects::madeStock(GdiKind kind, WORD id) const {
  auto it = stock_.find(std::make_tuple(static_cast<int>(kind), id));
  return it == stock_.end() ? nullptr : it->second;
}

const GdiObject* GdiObjects::lookup(HANDLE handle) const {
  auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == objects_.end() ? nullptr : &it->second;
}

GdiObject* GdiObjects::lookup(HANDLE handle) {
  auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == objects_.end() ? nullptr : &it->second;
}

GdiObject* GdiObjects::checked(HANDLE handle, std::initializer_list<GdiKind> kinds, const char* operation) {
  GdiObject* object = lookup(handle);
  std::string problem;
  if (!object) {
    std::optional<GdiKind> gone = destroyedKind(handle);
    problem = gone ? WithArticle(*gone) + " that was already destroyed" : "not a drawing object";
  } else if (!KindAccepted(object->description.kind, kinds))
    problem = WithArticle(object->description.kind) + ", not what the call takes";
  if (problem.empty()) return object;
  reportProgramFault(operation, HandleText(handle), std::move(problem));
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

bool GdiObjects::destroy(HANDLE handle, std::initializer_list<GdiKind> kinds, const char* operation) {
  if (!handle) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  GdiObject* object = checked(handle, kinds, operation);
  if (!object) return false;
  if (object->ownership != GdiOwnership::Owned) return true;
  if (object->selections > 0) {
    ReportDrawingFault(operation, handle, WithArticle(object->description.kind) + " still selected into a device context");
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  const std::size_t ordinal = (value - kFirstHandle) / 4;
  if (destroyedKinds_.size() <= ordinal) destroyedKinds_.resize(ordinal + 1);
  destroyedKinds_[ordinal] = static_cast<std::uint8_t>(object->description.kind) + 1;
  objects_.erase(value);
  if (cursor_ == handle) cursor_ = nullptr;
  return true;
}

std::optional<GdiKind> GdiObjects::destroyedKind(HANDLE handle) const {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  if (value < kFirstHandle || (value - kFirstHandle) % 4 != 0) return std::nullopt;
  const std::size_t ordinal = (value - kFirstHandle) / 4;
  if (ordinal >= destroyedKinds_.size() || destroyedKinds_[ordinal] == 0) return std::nullopt;
  return static_cast<GdiKind>(destroyedKinds_[ordinal] - 1);
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
    if (object.ownership == GdiOwnership::Owned) ++count;
  return count;
}

std::vector<std::pair<HANDLE, const GdiObject*>> GdiObjects::liveOwned() const {
  std::vector<std::pair<HANDLE, const GdiObject*>> live;
  for (const auto& [value, object] : objects_)
    if (object.ownership == GdiOwnership::Owned)
      live.emplace_back(reinterpret_cast<HANDLE>(value), &object);
  return live;
}

HICON CreateIconObject(GdiDescription description, IconData images) {
  description.kind = GdiKind::Icon;
  return static_cast<HICON>(GdiObjects::get().create(std::move(description), GdiOwnership::Owned, std::move(images)));
}

}  // namespace sim
