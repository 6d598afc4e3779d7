// Bitmaps a program makes: CreateBitmap, CreateCompatibleBitmap, CreateDIBSection.
#include <cstring>
#include <span>

#include <windows.h>

#include "gdi/dc.h"
#include "gdi/dib.h"
#include "gdi/gdi_objects.h"
#include "gdi/stock.h"
#include "kernel/faults.h"

namespace {

using sim::PixelBuffer;
using sim::PixelFormat;

constexpr long long kMaxPixels = 16LL * 1024 * 1024;  // far beyond any screen of the device

bool SizeAllowed(int width, int height) {
  return width > 0 && height > 0 && static_cast<long long>(width) * height <= kMaxPixels;
}

HBITMAP MakeBitmap(std::shared_ptr<PixelBuffer> pixels, bool dibSection) {
  sim::GdiDescription description;
  description.kind = sim::GdiKind::Bitmap;
  description.width = pixels->width();
  description.height = pixels->height();
  return static_cast<HBITMAP>(sim::GdiObjects::get().create(std::move(description), sim::GdiOwnership::Owned,
                                                            sim::BitmapData{std::move(pixels), dibSection}));
}

// The caller's pixels of CreateBitmap: rows of whole 16-bit words, top row first.
void CopyDeviceBits(PixelBuffer& target, UINT bitsPerPixel, const void* bits) {
  const auto* source = static_cast<const unsigned char*>(bits);
  int stride = ((target.width() * static_cast<int>(bitsPerPixel) + 15) / 16) * 2;
  for (int y = 0; y < target.height(); ++y) {
    const unsigned char* line = source + static_cast<std::size_t>(y) * stride;
    if (bitsPerPixel == 1 || bitsPerPixel == 16) {
      std::memcpy(target.row(y), line, static_cast<std::size_t>(std::min(stride, target.stride())));
      continue;
    }
    int step = static_cast<int>(bitsPerPixel) / 8;  // 24 or 32: blue, green, red
    for (int x = 0; x < target.width(); ++x) {
      const unsigned char* p = line + x * step;
      target.setColor(x, y, RGB(p[2], p[1], p[0]));
    }
  }
}

// The bytes of a BITMAPINFO the program passed: header, masks and colour table.
std::span<const unsigned char> InfoBytes(const BITMAPINFO* info) {
  const BITMAPINFOHEADER& h = info->bmiHeader;
  std::size_t colors = h.biBitCount <= 8 ? (h.biClrUsed ? h.biClrUsed : (1u << h.biBitCount)) : 0;
  if (colors > 256) colors = 256;
  std::size_t masks = h.biCompression == BI_BITFIELDS ? 12 : 0;
  return std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(info), h.biSize + masks + colors * 4);
}

}  // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (sim::FailsByInjection("CreateBitmap")) return nullptr;
  bool depthKnown = bitsPerPixel == 1 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
  if (width == 0 || height == 0) return sim::DefaultContextBitmap();
  if (planes != 1 || !depthKnown || !SizeAllowed(width, height))
    return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HBITMAP>(nullptr));
  PixelFormat format = bitsPerPixel == 1 ? PixelFormat::Monochrome() : PixelFormat::Screen();
  format.rowAlignment = 2;
  auto pixels = std::make_shared<PixelBuffer>(width, height, format);
  if (bits) CopyDeviceBits(*pixels, bitsPerPixel, bits);
  return MakeBitmap(std::move(pixels), false);
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  sim::DeviceContext* context = sim::ContextOf(dc, "CreateCompatibleBitmap");
  if (!context) return nullptr;
  if (sim::FailsByInjection("CreateCompatibleBitmap")) return nullptr;
  if (width == 0 || height == 0) return sim::DefaultContextBitmap();
  if (!SizeAllowed(width, height)) return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HBITMAP>(nullptr));
  // Compatible with what the context draws into: a fresh memory context still holds
  // its 1 x 1 monochrome bitmap, so its compatible bitmaps are monochrome too.
  PixelFormat format = context->target->monochrome() ? PixelFormat::Monochrome() : PixelFormat::Screen();
  format.rowAlignment = 2;
  return MakeBitmap(std::make_shared<PixelBuffer>(width, height, format), false);
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
  if (dc && !sim::ContextOf(dc, "CreateDIBSection")) return nullptr;
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
    return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HBITMAP>(nullptr));
  if (sim::FailsByInjection("CreateDIBSection")) return nullptr;
  std::string why;
  auto layout = sim::ReadDibLayout(InfoBytes(info), false, &why);
  if (!layout || !SizeAllowed(layout->width, layout->height))
    return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HBITMAP>(nullptr));
  auto pixels = std::make_shared<PixelBuffer>(layout->width, layout->height, layout->format);
  if (bits) *bits = pixels->bits();
  return MakeBitmap(std::move(pixels), true);
}
