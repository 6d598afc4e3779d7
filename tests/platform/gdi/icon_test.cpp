// Icons drawn through their masks at every depth a resource can hold, and image
// lists that keep the pixels they are given.
#include "gdi_test_support.h"

#include <cstring>
#include <vector>

#include <commctrl.h>

#include "../resources/test_resource_ids.h"
#include "gdi/dib.h"

namespace {

using test_support::Drawing;
using test_support::TestDevice;
using test_support::Shown;

constexpr COLORREF kBackground = RGB(0, 128, 0);

void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// A 4 x 4 icon image at `bits` per pixel: every pixel red, except the left half,
// which the mask makes transparent. Rows bottom-up, each padded to 4 bytes.
std::vector<unsigned char> IconImage(int bits) {
  std::vector<unsigned char> out;
  Put32(out, 40);
  Put32(out, 4);
  Put32(out, 8);  // image and mask
  out.insert(out.end(), {1, 0, static_cast<unsigned char>(bits), 0});
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  int colors = bits <= 8 ? 1 << bits : 0;
  for (int i = 0; i < colors; ++i) Put32(out, i == 1 ? 0x00FF0000 : 0);  // index 1 is red
  int stride = ((4 * bits + 31) / 32) * 4;
  for (int y = 0; y < 4; ++y) {
    std::vector<unsigned char> row(static_cast<std::size_t>(stride), 0);
    for (int x = 0; x < 4; ++x) {
      bool left = x < 2;  // transparent pixels are black in the colour image
      if (bits == 24) {
        row[static_cast<std::size_t>(x * 3 + 2)] = left ? 0 : 0xFF;
      } else if (!left) {
        int bit = x * bits;
        row[static_cast<std::size_t>(bit / 8)] |= static_cast<unsigned char>(1 << (8 - bits - bit % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  for (int y = 0; y < 4; ++y) out.insert(out.end(), {0xC0, 0, 0, 0});  // mask: left two pixels
  return out;
}

TEST(Icons, DrawnThroughTheirMaskAtEveryDepth) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    for (int bits : {1, 4, 8, 24}) {
      auto images = sim::DecodeIconImage(IconImage(bits), nullptr);
      ASSERT_TRUE(images) << bits;
      HICON icon = sim::CreateIconObject(sim::GdiDescription{}, *images);
      Drawing drawing(12, 4);
      RECT all{0, 0, 12, 4};
      HBRUSH green = CreateSolidBrush(kBackground);
      FillRect(drawing.dc(), &all, green);
      EXPECT_TRUE(DrawIconEx(drawing.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
      EXPECT_TRUE(DrawIconEx(drawing.dc(), 4, 0, icon, 8, 4, 0, nullptr, DI_NORMAL)) << "stretched";
      for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(drawing.at(1, y), Shown(kBackground)) << bits << " bpp: the mask keeps the background";
        EXPECT_EQ(drawing.at(3, y), Shown(RGB(255, 0, 0))) << bits << " bpp";
        EXPECT_EQ(drawing.at(7, y), Shown(kBackground)) << bits << " bpp stretched";
        EXPECT_EQ(drawing.at(8, y), Shown(RGB(255, 0, 0))) << bits << " bpp stretched";
      }
      EXPECT_TRUE(DrawIconEx(drawing.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_MASK));
      EXPECT_EQ(drawing.at(3, 0), RGB(0, 0, 0)) << "the mask alone blacks the opaque part";
      DestroyIcon(icon);
      DeleteObject(green);
    }
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Icons, ResourceIconsKeepTheirPixelsAndStaleIconsAreFaults) {
  TestDevice handheld;
  test_support::ExpectMisuse staleIcon("DrawIconEx");
  handheld.run([&](HINSTANCE instance) {
    HICON small = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_FRAME), IMAGE_ICON, 16, 16, 0));
    HICON large = LoadIconW(instance, MAKEINTRESOURCEW(IDI_FRAME));
    ASSERT_NE(small, nullptr);
    Drawing drawing(48, 32);
    EXPECT_TRUE(DrawIconEx(drawing.dc(), 0, 0, small, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_TRUE(DrawIconEx(drawing.dc(), 16, 0, large, 0, 0, 0, nullptr, DI_NORMAL));
    int inked = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 48; ++x) inked += drawing.at(x, y) != RGB(255, 255, 255);
    EXPECT_GT(inked, 100);
    HBITMAP strip = LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_STRIP));
    BITMAP info{};
    GetObjectW(strip, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 16) << "a loaded bitmap takes the screen's format";
    DeleteObject(strip);
    DestroyIcon(small);
    EXPECT_FALSE(DrawIconEx(drawing.dc(), 0, 0, small, 0, 0, 0, nullptr, DI_NORMAL));
  });
}

TEST(ImageLists, ImagesKeepTheirPixelsAndMasks) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE instance) {
    // Two 2 x 1 images in a strip: magenta is the mask colour.
    Drawing strip(4, 1);
    SetPixel(strip.dc(), 0, 0, RGB(255, 0, 255));
    SetPixel(strip.dc(), 1, 0, RGB(0, 0, 255));
    SetPixel(strip.dc(), 2, 0, RGB(255, 0, 0));
    SetPixel(strip.dc(), 3, 0, RGB(255, 0, 255));
    HIMAGELIST list = ImageList_Create(2, 1, ILC_MASK | ILC_COLOR16, 2, 2);
    HDC screen = GetDC(nullptr);
    HBITMAP free = CreateCompatibleBitmap(screen, 4, 1);
    ReleaseDC(nullptr, screen);
    HDC copy = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(copy, free);
    BitBlt(copy, 0, 0, 4, 1, strip.dc(), 0, 0, SRCCOPY);
    SelectObject(copy, previous);
    DeleteDC(copy);
    EXPECT_EQ(ImageList_AddMasked(list, free, RGB(255, 0, 255)), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    Drawing target(6, 1);
    HBRUSH green = CreateSolidBrush(kBackground);
    RECT all{0, 0, 6, 1};
    FillRect(target.dc(), &all, green);
    EXPECT_TRUE(ImageList_Draw(list, 0, target.dc(), 0, 0, ILD_TRANSPARENT));
    EXPECT_TRUE(ImageList_Draw(list, 1, target.dc(), 2, 0, ILD_NORMAL));
    EXPECT_EQ(target.at(0, 0), Shown(kBackground));
    EXPECT_EQ(target.at(1, 0), Shown(RGB(0, 0, 255)));
    EXPECT_EQ(target.at(2, 0), Shown(RGB(255, 0, 0)));
    EXPECT_EQ(target.at(3, 0), Shown(kBackground));
    EXPECT_TRUE(ImageList_DrawEx(list, 0, target.dc(), 4, 0, 0, 0, RGB(255, 255, 0), CLR_NONE, ILD_NORMAL));
    EXPECT_EQ(target.at(4, 0), Shown(RGB(255, 255, 0))) << "drawn over the background colour asked for";
    // An icon put in the list comes out again with its pixels.
    HICON icon = ImageList_GetIcon(list, 1, ILD_NORMAL);
    Drawing again(2, 1);
    DrawIconEx(again.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(again.at(0, 0), Shown(RGB(255, 0, 0)));
    EXPECT_EQ(again.at(1, 0), RGB(255, 255, 255));
    DestroyIcon(icon);
    DeleteObject(free);
    DeleteObject(green);
    ImageList_Destroy(list);
    HIMAGELIST loaded = ImageList_LoadImage(instance, MAKEINTRESOURCEW(IDB_STRIP), 16, 0, CLR_NONE, IMAGE_BITMAP, 0);
    EXPECT_EQ(ImageList_GetImageCount(loaded), 4);
    ImageList_Destroy(loaded);
  });
  EXPECT_TRUE(handheld.faults().empty());
}

}  // namespace
