// Blits: every raster operation on stored bits, sources of every depth, the
// monochrome conversions, stretching, transparency and overlapping copies.
#include "gdi_test_support.h"

#include <cstring>
#include <vector>

namespace {

using test_support::Drawing;
using test_support::TestDevice;
using test_support::Shown;

struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

// A DIB section of `bits` per pixel, `width` x 1, top-down, with a colour table of
// red, green, blue, white... for the indexed depths.
HBITMAP MakeDib(int bits, int width, void** pixels) {
  DibInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -1;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bits);
  const RGBQUAD table[] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
  for (int i = 0; i < 256; ++i) info.colors[i] = table[i % 4];
  return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, pixels, nullptr, 0);
}

// The colours a DIB section shows through BitBlt into a screen bitmap.
std::vector<COLORREF> Blitted(HBITMAP dib, int width) {
  Drawing target(width, 1);
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(source, dib);
  BitBlt(target.dc(), 0, 0, width, 1, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  std::vector<COLORREF> colors;
  for (int x = 0; x < width; ++x) colors.push_back(target.at(x, 0));
  return colors;
}

TEST(Blit, SourcesOfEveryDepthBecomeScreenColours) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    const std::vector<COLORREF> palette = {Shown(RGB(255, 0, 0)), Shown(RGB(0, 255, 0)), Shown(RGB(0, 0, 255)),
                                           Shown(RGB(255, 255, 255))};
    void* bits = nullptr;
    HBITMAP one = MakeDib(1, 8, &bits);
    static_cast<BYTE*>(bits)[0] = 0x5A;  // 0 1 0 1 1 0 1 0
    EXPECT_EQ(Blitted(one, 4), (std::vector<COLORREF>{palette[0], palette[1], palette[0], palette[1]}))
        << "a 1-bit DIB shows its own colour table";
    HBITMAP four = MakeDib(4, 4, &bits);
    std::memcpy(bits, "\x01\x23", 2);
    EXPECT_EQ(Blitted(four, 4), palette);
    HBITMAP eight = MakeDib(8, 4, &bits);
    std::memcpy(bits, "\x00\x01\x02\x03", 4);
    EXPECT_EQ(Blitted(eight, 4), palette);
    HBITMAP sixteen = MakeDib(16, 2, &bits);  // 5-5-5 without masks
    const WORD rgb555[] = {0x7C00, 0x001F};
    std::memcpy(bits, rgb555, sizeof rgb555);
    EXPECT_EQ(Blitted(sixteen, 2), (std::vector<COLORREF>{palette[0], palette[2]}));
    HBITMAP twentyFour = MakeDib(24, 2, &bits);
    std::memcpy(bits, "\x00\x00\xFF\xFF\x00\x00", 6);  // blue, green, red order
    EXPECT_EQ(Blitted(twentyFour, 2), (std::vector<COLORREF>{palette[0], palette[2]}));
    HBITMAP thirtyTwo = MakeDib(32, 1, &bits);
    std::memcpy(bits, "\x00\xFF\x00\x00", 4);
    EXPECT_EQ(Blitted(thirtyTwo, 1), (std::vector<COLORREF>{palette[1]}));
    for (HBITMAP b : {one, four, eight, sixteen, twentyFour, thirtyTwo}) DeleteObject(b);
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Blit, MonochromeBitmapsTakeTheContextsColours) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    const WORD rows[] = {0x40C0};  // bits 1 0 0 0 0 0 0 0 | 0 1 0 0 0 0 0 0 (bytes 0xC0 0x40)
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, rows);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(source, mono);
    Drawing target(2, 1);
    SetTextColor(target.dc(), RGB(255, 0, 0));
    SetBkColor(target.dc(), RGB(0, 0, 255));
    BitBlt(target.dc(), 0, 0, 2, 1, source, 0, 0, SRCCOPY);
    EXPECT_EQ(target.at(0, 0), Shown(RGB(0, 0, 255))) << "1 bits take the background colour";
    EXPECT_EQ(target.at(1, 0), Shown(RGB(0, 0, 255)));
    const WORD zero[] = {0x0000};
    HBITMAP clear = CreateBitmap(1, 1, 1, 1, zero);
    SelectObject(source, clear);
    BitBlt(target.dc(), 0, 0, 1, 1, source, 0, 0, SRCCOPY);
    EXPECT_EQ(target.at(0, 0), Shown(RGB(255, 0, 0))) << "0 bits take the text colour";
    // Colour into monochrome: the source's background colour becomes 1, the rest 0.
    SelectObject(source, mono);
    SetPixel(target.dc(), 0, 0, RGB(0, 255, 0));
    SetPixel(target.dc(), 1, 0, RGB(10, 20, 30));
    SetBkColor(target.dc(), RGB(0, 255, 0));
    BitBlt(source, 0, 0, 2, 1, target.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(source, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(source, 1, 0), RGB(0, 0, 0));
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(mono);
    DeleteObject(clear);
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Blit, RasterOperationsCombineStoredBits) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    const COLORREF source = RGB(0xF0, 0x0F, 0xAA), target = RGB(0x33, 0xCC, 0x55), pattern = RGB(0x81, 0x42, 0x24);
    const WORD s = sim::ToRgb565(source), d = sim::ToRgb565(target), p = sim::ToRgb565(pattern);
    const struct {
      DWORD rop;
      WORD expected;
    } cases[] = {
        {SRCCOPY, s},           {SRCAND, WORD(s & d)},          {SRCPAINT, WORD(s | d)},
        {SRCINVERT, WORD(s ^ d)}, {NOTSRCCOPY, WORD(~s)},       {SRCERASE, WORD(s & ~d)},
        {NOTSRCERASE, WORD(~(s | d))}, {MERGECOPY, WORD(p & s)}, {MERGEPAINT, WORD(~s | d)},
        {PATCOPY, p},           {PATINVERT, WORD(p ^ d)},      {DSTINVERT, WORD(~d)},
        {BLACKNESS, 0},         {WHITENESS, 0xFFFF},            {PATPAINT, WORD(p | ~s | d)},
    };
    Drawing from(1, 1), to(1, 1);
    SetPixel(from.dc(), 0, 0, source);
    HBRUSH brush = CreateSolidBrush(pattern);
    SelectObject(to.dc(), brush);
    for (const auto& c : cases) {
      SetPixel(to.dc(), 0, 0, target);
      EXPECT_TRUE(BitBlt(to.dc(), 0, 0, 1, 1, from.dc(), 0, 0, c.rop));
      EXPECT_EQ(to.at(0, 0), sim::FromRgb565(c.expected)) << std::hex << "rop " << c.rop;
    }
    SetPixel(to.dc(), 0, 0, target);
    EXPECT_TRUE(PatBlt(to.dc(), 0, 0, 1, 1, PATINVERT));
    EXPECT_EQ(to.at(0, 0), sim::FromRgb565(WORD(p ^ d)));
    EXPECT_FALSE(PatBlt(to.dc(), 0, 0, 1, 1, SRCCOPY)) << "PatBlt has no source";
    SelectObject(to.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Blit, StretchMirrorTransparencyAndOverlap) {
  TestDevice handheld;
  test_support::ExpectMisuse selectedSource("TransparentImage");
  handheld.run([&](HINSTANCE) {
    Drawing from(2, 1), to(8, 2);
    SetPixel(from.dc(), 0, 0, RGB(255, 0, 0));
    SetPixel(from.dc(), 1, 0, RGB(0, 0, 255));
    StretchBlt(to.dc(), 0, 0, 4, 2, from.dc(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(to.at(1, 1), Shown(RGB(255, 0, 0)));
    EXPECT_EQ(to.at(2, 0), Shown(RGB(0, 0, 255)));
    StretchBlt(to.dc(), 4, 0, 2, 1, from.dc(), 1, 0, -2, 1, SRCCOPY);  // mirrored
    EXPECT_EQ(to.at(4, 0), Shown(RGB(0, 0, 255)));
    EXPECT_EQ(to.at(5, 0), Shown(RGB(255, 0, 0)));
    // TransparentImage leaves out one colour, given a context or a free bitmap.
    RECT all{0, 0, 8, 2};
    FillRect(to.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_TRUE(TransparentImage(to.dc(), 0, 0, 2, 1, from.dc(), 0, 0, 2, 1, RGB(0, 0, 255)));
    EXPECT_EQ(to.at(0, 0), Shown(RGB(255, 0, 0)));
    EXPECT_EQ(to.at(1, 0), RGB(0, 0, 0));
    EXPECT_FALSE(TransparentImage(to.dc(), 0, 0, 2, 1, from.bitmap(), 0, 0, 2, 1, RGB(0, 0, 255)))
        << "the bitmap is selected into a context";
    // A copy within one bitmap reads the pixels as they were before it started.
    for (int x = 0; x < 8; ++x) SetPixel(to.dc(), x, 1, RGB(x * 30, 0, 0));
    BitBlt(to.dc(), 1, 1, 7, 1, to.dc(), 0, 1, SRCCOPY);
    for (int x = 1; x < 8; ++x) EXPECT_EQ(to.at(x, 1), Shown(RGB((x - 1) * 30, 0, 0))) << x;
  });
}

}  // namespace
