#include "gdi/stock_icons.h"

#include <vector>

#include "gdi/canvas.h"
#include "gdi/shapes.h"

namespace sim {
namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Draws on a 32-unit design grid scaled to the icon's size, into the colour image
// and the mask at once: what is drawn becomes opaque.
class IconPainter {
 public:
  explicit IconPainter(int size)
      : size_(size),
        color_(std::make_shared<PixelBuffer>(size, size, PixelFormat::Screen())),
        mask_(std::make_shared<PixelBuffer>(size, size, PixelFormat::Monochrome())) {
    for (int y = 0; y < size; ++y) mask_->fillSpan(y, 0, size, 1);
    colorContext_.target = color_;
    maskContext_.target = mask_;
    for (DeviceContext* context : {&colorContext_, &maskContext_}) {
      context->visible = Region(RECT{0, 0, size, size});
      context->updateClip();
    }
  }

  void rect(int x0, int y0, int x1, int y1, COLORREF color) {
    RECT r{at(x0), at(y0), std::max(at(x1), at(x0) + 1), std::max(at(y1), at(y0) + 1)};
    Canvas canvas(colorContext_), mask(maskContext_);
    canvas.fillRect(r, canvas.solid(color));
    mask.fillRect(r, mask.solid(kBlack));
  }

  void ellipse(int x0, int y0, int x1, int y1, COLORREF color) {
    RECT box{at(x0), at(y0), at(x1), at(y1)};
    Canvas canvas(colorContext_), mask(maskContext_);
    Paint paint = canvas.solid(color), opaque = mask.solid(kBlack);
    for (int y = box.top; y < box.bottom; ++y) {
      auto [left, right] = EllipseSpan(box, y);
      canvas.fillSpan(y, left, right, paint);
      mask.fillSpan(y, left, right, opaque);
    }
  }

  void polygon(std::vector<POINT> points, COLORREF color) {
    for (POINT& p : points) p = POINT{at(p.x), at(p.y)};
    Canvas canvas(colorContext_), mask(maskContext_);
    FillPolygon(canvas, points, canvas.solid(color));
    FillPolygon(mask, points, mask.solid(kBlack));
  }

  // A frame: a filled rectangle with a one-pixel black edge.
  void boxed(int x0, int y0, int x1, int y1, COLORREF fill) {
    rect(x0, y0, x1, y1, kBlack);
    RECT inner{at(x0) + 1, at(y0) + 1, std::max(at(x1), at(x0) + 1) - 1, std::max(at(y1), at(y0) + 1) - 1};
    Canvas canvas(colorContext_);
    canvas.fillRect(inner, canvas.solid(fill));
  }

  IconData done() const { return IconData{color_, mask_, 0, 0}; }

 private:
  int at(int units) const { return units * size_ / 32; }

  int size_;
  std::shared_ptr<PixelBuffer> color_;
  std::shared_ptr<PixelBuffer> mask_;
  DeviceContext colorContext_;
  DeviceContext maskContext_;
};

void Sign(IconPainter& p, COLORREF disc) {
  p.ellipse(1, 1, 31, 31, kBlack);
  p.ellipse(3, 3, 29, 29, disc);
}

IconData Hand(int size) {  // a red disc with a white cross
  IconPainter p(size);
  Sign(p, RGB(208, 32, 32));
  p.polygon({{9, 11}, {11, 9}, {23, 21}, {21, 23}}, kWhite);
  p.polygon({{21, 9}, {23, 11}, {11, 23}, {9, 21}}, kWhite);
  return p.done();
}

IconData Question(int size) {  // a blue disc with a question mark
  IconPainter p(size);
  Sign(p, RGB(32, 96, 200));
  p.rect(11, 8, 21, 11, kWhite);
  p.rect(18, 10, 21, 16, kWhite);
  p.rect(14, 15, 20, 18, kWhite);
  p.rect(14, 17, 17, 20, kWhite);
  p.rect(14, 22, 17, 25, kWhite);
  return p.done();
}

IconData Exclamation(int size) {  // a yellow triangle with an exclamation mark
  IconPainter p(size);
  p.polygon({{16, 1}, {31, 30}, {1, 30}}, kBlack);
  p.polygon({{16, 5}, {28, 28}, {4, 28}}, RGB(248, 208, 32));
  p.rect(15, 11, 18, 21, kBlack);
  p.rect(15, 23, 18, 26, kBlack);
  return p.done();
}

IconData Asterisk(int size) {  // a blue disc with a lower-case i
  IconPainter p(size);
  Sign(p, RGB(32, 96, 200));
  p.rect(14, 7, 18, 11, kWhite);
  p.rect(14, 13, 18, 25, kWhite);
  p.rect(12, 13, 14, 15, kWhite);
  p.rect(12, 23, 20, 25, kWhite);
  return p.done();
}

IconData Application(int size) {  // a small window with a title bar
  IconPainter p(size);
  p.boxed(2, 5, 30, 27, kWhite);
  p.rect(3, 6, 29, 10, RGB(16, 72, 136));
  return p.done();
}

IconData Folder(IconPainter& p, COLORREF tab, COLORREF body) {
  p.boxed(3, 7, 14, 12, tab);
  p.boxed(3, 10, 29, 27, body);
  return p.done();
}

IconData Document(IconPainter& p) {
  p.boxed(7, 3, 25, 29, kWhite);
  for (int y : {10, 14, 18, 22}) p.rect(10, y, 22, y + 1, RGB(96, 96, 96));
  return p.done();
}

}  // namespace

IconData DrawStockIcon(WORD id, int size) {
  switch (id) {
    case 32512: return Application(size);
    case 32513: return Hand(size);
    case 32514: return Question(size);
    case 32515: return Exclamation(size);
    case 32516: return Asterisk(size);
    default: return IconData{};
  }
}

IconData DrawShellIcon(ShellIcon kind, int size) {
  IconPainter p(size);
  switch (kind) {
    case ShellIcon::Folder: return Folder(p, RGB(200, 160, 48), RGB(248, 216, 96));
    case ShellIcon::StorageCard:  // a card with gold contacts
      p.polygon({{6, 4}, {22, 4}, {27, 9}, {27, 29}, {6, 29}}, kBlack);
      p.polygon({{7, 5}, {21, 5}, {26, 10}, {26, 28}, {7, 28}}, RGB(64, 80, 112));
      for (int x = 9; x < 24; x += 4) p.rect(x, 6, x + 2, 11, RGB(232, 192, 64));
      return p.done();
    case ShellIcon::Program:  // a window with a gear-like square
      p.boxed(2, 5, 30, 27, kWhite);
      p.rect(3, 6, 29, 10, RGB(16, 72, 136));
      p.boxed(11, 13, 21, 24, RGB(232, 120, 40));
      return p.done();
    case ShellIcon::Shortcut:  // a document with a curved arrow in its corner
      Document(p);
      p.boxed(4, 19, 15, 30, kWhite);
      p.polygon({{7, 27}, {7, 24}, {10, 21}, {10, 19}, {14, 23}, {10, 27}, {10, 24}, {9, 25}, {9, 27}}, kBlack);
      return p.done();
    case ShellIcon::File: return Document(p);
  }
  return IconData{};
}

}  // namespace sim
