// The device's drawing objects: icons, cursors, bitmaps, brushes, pens, fonts and
// regions, under checked handles.
//
// An object is its description (where it came from: a module's resource, a stock
// object, another part of the platform) and its content: the pixels of a bitmap or
// an icon, the colour and style of a pen or brush, the request of a font, the
// rectangles of a region. Handles are checked and never reused: using or
// destroying an object that is gone is a program fault recorded by the device,
// never a host crash.
//
// Three kinds of ownership, as on the device:
// - stock objects (IDC_WAIT, IDI_HAND, WHITE_BRUSH...) live as long as the device;
// - shared objects (LoadIconW, LoadCursorW, LoadImageW with LR_SHARED) are created
//   once per module resource and size and belong to the system;
// - owned objects (LoadImageW, LoadBitmapW, CreatePen, icons other parts hand out)
//   belong to the program, which destroys them exactly once.
// Destroying a stock or shared object is harmless and changes nothing. A pen,
// brush, font or bitmap selected into a device context cannot be deleted.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include <windows.h>

#include "kernel/handles.h"

#include "gdi/pixels.h"
#include "gdi/region.h"

namespace sim {

class Device;
struct Process;

enum class GdiKind { Icon, Cursor, Bitmap, Brush, Font, Pen, Region };
enum class GdiOwnership { Stock, Shared, Owned };

struct GdiDescription {
  GdiKind kind = GdiKind::Icon;
  HMODULE module = nullptr;       // module whose resource it came from; null otherwise
  std::optional<WORD> resourceId;  // the resource, by ordinal...
  std::u16string resourceName;    // ...or by name
  std::optional<WORD> stockId;     // IDC_*/IDI_* ordinal or the GetStockObject index
  std::u16string origin;           // free text for objects made by other parts (a shell icon of "\Windows")
  int width = 0;
  int height = 0;
};

struct PenData {
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = RGB(0, 0, 0);
};

struct BrushData {
  int style = BS_SOLID;
  COLORREF color = RGB(0, 0, 0);
  std::shared_ptr<const PixelBuffer> pattern;  // BS_PATTERN: a copy of the bitmap's pixels
};

struct FontData {
  LOGFONTW logical{};
};

struct BitmapData {
  std::shared_ptr<PixelBuffer> pixels;
  bool dibSection = false;  // made by CreateDIBSection: the program holds its bits
};

// An icon or cursor: a colour image drawn through a mask (1 = leave the target).
struct IconData {
  std::shared_ptr<const PixelBuffer> color;
  std::shared_ptr<const PixelBuffer> mask;
  int hotspotX = 0;
  int hotspotY = 0;
};

struct RegionData {
  Region region;
};

using GdiContent = std::variant<std::monostate, PenData, BrushData, FontData, BitmapData, IconData, RegionData>;

struct GdiObject {
  GdiDescription description;
  GdiOwnership ownership = GdiOwnership::Owned;
  GdiContent content;
  int selections = 0;  // device contexts holding it now
  // The program an owned object was made for (whose code asked for it); null for
  // the driver's and for stock and shared objects.
  const Process* owner = nullptr;

  template <class T>
  T* as() { return std::get_if<T>(&content); }
  template <class T>
  const T* as() const { return std::get_if<T>(&content); }
};

class GdiObjects {
 public:
  explicit GdiObjects(Device& device) : device_(device) {}
  GdiObjects(const GdiObjects&) = delete;
  GdiObjects& operator=(const GdiObjects&) = delete;

  static GdiObjects& get();

  HANDLE create(GdiDescription description, GdiOwnership ownership, GdiContent content = {});
  // The stock object of a kind and id, made on first use (with `content`).
  HANDLE stock(GdiKind kind, WORD id, int width, int height, GdiContent content = {});
  // The stock object of a kind and id when it has been made; null before.
  HANDLE madeStock(GdiKind kind, WORD id) const;
  // The shared object of a module resource at a size, made on first use by `make`,
  // which gives the description and content, or nothing when the resource is bad.
  template <class Make>
  HANDLE shared(GdiKind kind, HMODULE module, const std::u16string& resourceKey, int width, int height, Make make) {
    auto key = std::make_tuple(static_cast<int>(kind), reinterpret_cast<std::uintptr_t>(module), resourceKey, width, height);
    if (auto it = shared_.find(key); it != shared_.end()) return it->second;
    auto made = make();
    if (!made) return nullptr;
    HANDLE handle = create(std::move(made->first), GdiOwnership::Shared, std::move(made->second));
    shared_.emplace(std::move(key), handle);
    return handle;
  }

  // The live object of the handle; null for a destroyed one or one never made here.
  const GdiObject* lookup(HANDLE handle) const;
  GdiObject* lookup(HANDLE handle);
  // The live object of that handle and one of the accepted kinds. A destroyed,
  // unknown or wrong-kind handle is reported as a program fault naming `operation`;
  // gives null and sets ERROR_INVALID_HANDLE then.
  GdiObject* checked(HANDLE handle, std::initializer_list<GdiKind> kinds, const char* operation);
  // Destroys an owned object; stock and shared ones stay. False (with a program
  // fault) for a handle that is not a live object of those kinds, or one that a
  // device context holds.
  bool destroy(HANDLE handle, std::initializer_list<GdiKind> kinds, const char* operation);

  // The cursor the device shows.
  HCURSOR cursor() const { return cursor_; }
  HCURSOR setCursor(HCURSOR cursor);
  bool waitCursorShown() const;

  // Owned objects not yet destroyed (a leak check for tests).
  std::size_t liveOwnedCount() const;
  std::vector<std::pair<HANDLE, const GdiObject*>> liveOwned() const;

 private:
  Device& device_;
  static constexpr std::uintptr_t kFirstHandle = 0x50000010;
  // The kind of the object a handle was, once destroyed (0 while it lives or was
  // never handed out; the kind's number plus one after): all that a misuse report
  // needs of it, so a program that draws with brushes made and deleted by the
  // thousand does not grow the device's records.
  std::vector<std::uint8_t> destroyedKinds_;
  std::optional<GdiKind> destroyedKind(HANDLE handle) const;

  std::map<std::uintptr_t, GdiObject> objects_;
  std::map<std::tuple<int, WORD>, HANDLE> stock_;
  std::map<std::tuple<int, std::uintptr_t, std::u16string, int, int>, HANDLE> shared_;
  std::uintptr_t nextHandle_ = kFirstHandle;
  HCURSOR cursor_ = nullptr;
};

// An icon owned by the calling program, for parts that hand out icons of their own
// (image lists, the shell's file icons). The program destroys it with DestroyIcon.
HICON CreateIconObject(GdiDescription description, IconData images = {});

// A readable name of a kind, for fault reports.
const char* GdiKindName(GdiKind kind);

// Records a misuse of the drawing API by the running program: `operation` given
// `handle` (may be null), and what is wrong with it.
void ReportDrawingFault(const char* operation, const void* handle, std::string problem);

}  // namespace sim
