#include "user/hit_test.h"

#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

std::u16string Describe(const Window& window) {
  std::u16string what = window.windowClass ? window.windowClass->name : std::u16string(u"?");
  if (window.isChild() && window.id != 0) what += u" #" + [&] {
    std::u16string digits;
    for (LONG id = window.id; id > 0; id /= 10) digits.insert(digits.begin(), static_cast<char16_t>(u'0' + id % 10));
    return digits.empty() ? std::u16string(u"0") : digits;
  }();
  if (!window.text.empty()) what += u" \"" + window.text + u"\"";
  return what;
}

const char16_t* PartName(WindowPart part) {
  switch (part) {
    case WindowPart::Caption: return u" (caption)";
    case WindowPart::Border: return u" (frame)";
    case WindowPart::VerticalScroll: return u" (vertical scroll bar)";
    case WindowPart::HorizontalScroll: return u" (horizontal scroll bar)";
    case WindowPart::SizeCorner: return u" (corner)";
    default: return u"";
  }
}

}  // namespace

ScreenHit HitTestScreen(POINT screen) {
  ScreenHit hit;
  ScreenLayout& layout = ScreenLayout::get();
  SystemSurface* surface = nullptr;
  for (SystemSurface* candidate : layout.surfaces())
    if (candidate->takesAllTaps()) surface = candidate;
  if (!surface) surface = layout.surfaceAt(screen);
  if (surface && surface->layer() >= 0) {
    hit.kind = ScreenHit::Kind::Surface;
    hit.what = surface->describe(screen);
    return hit;
  }
  if (Window* window = WindowSystem::get().windowFromPoint(screen)) {
    RECT outer = WindowSystem::get().screenRect(*window);
    hit.kind = ScreenHit::Kind::Window;
    hit.window = window->handle;
    hit.part = PartAt(*window, POINT{screen.x - outer.left, screen.y - outer.top});
    hit.what = Describe(*window) + PartName(hit.part);
    return hit;
  }
  if (surface) {
    hit.kind = ScreenHit::Kind::Surface;
    hit.what = surface->describe(screen);
  }
  return hit;
}

}  // namespace sim
