// Pictures of what the drawing part draws, written to gdi-pictures/ in the build
// folder for a person to look at: Japanese text on both screens, the suite's icons
// and command-bar bitmap, the system's icons, frames and shapes. Each picture must
// come back from its PNG unchanged.
#include "gdi_test_support.h"

#include <fstream>
#include <iterator>

#include <commctrl.h>

#include "gdi/dib.h"
#include "gdi/stock_icons.h"

namespace {

namespace fs = std::filesystem;
using test_support::TestDevice;

std::vector<unsigned char> ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The images of an .ico file, decoded as the loader decodes RT_ICON resources.
std::vector<sim::IconData> IconsOfFile(const fs::path& file) {
  std::vector<unsigned char> bytes = ReadFile(file);
  std::vector<sim::IconData> icons;
  int count = bytes.size() >= 6 ? bytes[4] | (bytes[5] << 8) : 0;
  for (int i = 0; i < count; ++i) {
    const unsigned char* entry = bytes.data() + 6 + 16 * i;
    std::uint32_t size = entry[8] | (entry[9] << 8) | (entry[10] << 16) | (entry[11] << 24);
    std::uint32_t offset = entry[12] | (entry[13] << 8) | (entry[14] << 16) | (entry[15] << 24);
    auto icon = sim::DecodeIconImage(std::span<const unsigned char>(bytes).subspan(offset, size), nullptr);
    if (icon) icons.push_back(*icon);
  }
  return icons;
}

sim::PixelBuffer& PixelsOf(HBITMAP bitmap) {
  return *sim::GdiObjects::get().lookup(bitmap)->as<sim::BitmapData>()->pixels;
}

// Writes the picture and checks that its PNG reads back to the same pixels and
// that encoding it again gives the same bytes.
void Keep(HBITMAP bitmap, const std::string& name) {
  const sim::PixelBuffer& pixels = PixelsOf(bitmap);
  fs::path file = test_support::PictureFolder() / name;
  ASSERT_TRUE(sim::WritePng(pixels, file));
  auto back = sim::ReadPng(file);
  ASSERT_TRUE(back);
  EXPECT_TRUE(sim::CompareScreens(*back, pixels).same) << name;
  EXPECT_EQ(sim::EncodePng(*back), ReadFile(file)) << name << ": same pixels, same bytes";
}

// A three times larger copy beside it, to see single pixels.
void KeepZoomed(HDC dc, HBITMAP bitmap, const std::string& name) {
  const sim::PixelBuffer& pixels = PixelsOf(bitmap);
  test_support::Drawing zoom(pixels.width() * 3, pixels.height() * 3);
  StretchBlt(zoom.dc(), 0, 0, pixels.width() * 3, pixels.height() * 3, dc, 0, 0, pixels.width(), pixels.height(),
             SRCCOPY);
  Keep(zoom.bitmap(), name);
}

void FrameRectOutline(HDC dc, const RECT& r) {
  HGDIOBJ previous = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, r.left - 1, r.top - 1, r.right + 1, r.bottom + 1);
  SelectObject(dc, previous);
}

void DrawTexts(HDC dc, int scale) {
  const char16_t* lines[] = {u"ｼｮｰﾄｶｯﾄの貼り付けの確認", u"編集  送る  ﾏｲ ﾃﾞﾊﾞｲｽ  • 貼り付け(&P)",
                             u"「はい」、「いいえ」。ファイルを上書きしますか?", u"Brackenway 1.20  \\My Documents\\"};
  RECT r{4 * scale, 4 * scale, 236 * scale, 150 * scale};
  for (const char16_t* line : lines) {
    r.top += DrawTextW(dc, line, -1, &r, DT_LEFT | DT_WORDBREAK) + 4 * scale;
  }
  LOGFONTW bold{};
  bold.lfWeight = FW_BOLD;
  HFONT font = CreateFontIndirectW(&bold);
  HGDIOBJ previous = SelectObject(dc, font);
  DrawTextW(dc, u"太字: 設定を保存しました", -1, &r, DT_LEFT);
  r.top += 16 * scale;
  SelectObject(dc, previous);
  DeleteObject(font);
  RECT box{4 * scale, r.top, 120 * scale, r.top + 14 * scale};
  DrawTextW(dc, u"長い名前のファイルを省略する", -1, &box, DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER);
  FrameRectOutline(dc, box);
}

TEST(Pictures, JapaneseTextOnBothScreens) {
  for (int scale : {1, 2}) {
    TestDevice handheld(240 * scale, 320 * scale);
    handheld.run([&](HINSTANCE) {
      test_support::Drawing drawing(240 * scale, 150 * scale);
      DrawTexts(drawing.dc(), scale);
      Keep(drawing.bitmap(), scale == 1 ? "text-240x320.png" : "text-480x640.png");
    });
    EXPECT_TRUE(handheld.faults().empty());
  }
}

TEST(Pictures, TheSuitesIconsAndTheSystemsIcons) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    test_support::Drawing drawing(240, 120);
    RECT all{0, 0, 240, 120};
    FillRect(drawing.dc(), &all, GetSysColorBrush(COLOR_BTNFACE));
    int x = 4;
    for (const char* file : {"companion/res/brackenway.ico", "vornkit/res/handheld.ico", "vornkit/res/folder.ico",
                             "vornkit/res/document.ico", "setup/res/setup.ico", "setup/res/setup256.ico"}) {
      for (const sim::IconData& icon : IconsOfFile(fs::path(HANDHELD_SOURCE_DIR) / file)) {
        HICON handle = sim::CreateIconObject(sim::GdiDescription{}, icon);
        EXPECT_TRUE(DrawIconEx(drawing.dc(), x, 4, handle, 0, 0, 0, nullptr, DI_NORMAL)) << file;
        x += icon.color->width() + 2;
        DestroyIcon(handle);
      }
    }
    auto strip = sim::DecodePackedDib(
        std::span<const unsigned char>(ReadFile(fs::path(HANDHELD_SOURCE_DIR) / "vornkit/res/commandbar.bmp")).subspan(14),
        nullptr);
    ASSERT_TRUE(strip);
    for (int i = 0; i < 5; ++i) {
      HICON stock = LoadIconW(nullptr, MAKEINTRESOURCEW(32512 + i));
      DrawIconEx(drawing.dc(), 4 + i * 36, 44, stock, 0, 0, 0, nullptr, DI_NORMAL);
      HICON shell = sim::CreateIconObject(sim::GdiDescription{}, sim::DrawShellIcon(static_cast<sim::ShellIcon>(i), 32));
      DrawIconEx(drawing.dc(), 4 + i * 36, 80, shell, 0, 0, 0, nullptr, DI_NORMAL);
      DrawIconEx(drawing.dc(), 190, 80 + (i % 2) * 18, shell, 16, 16, 0, nullptr, DI_NORMAL);
      DestroyIcon(shell);
    }
    HDC source = CreateCompatibleDC(drawing.dc());
    HBITMAP bar = CreateCompatibleBitmap(drawing.dc(), strip->width(), strip->height());
    HGDIOBJ previous = SelectObject(source, bar);
    PixelsOf(bar) = *sim::ToScreenFormat(*strip);
    BitBlt(drawing.dc(), 180, 44, strip->width(), strip->height(), source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bar);
    Keep(drawing.bitmap(), "icons.png");
    KeepZoomed(drawing.dc(), drawing.bitmap(), "icons-zoomed.png");
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Pictures, FramesControlsAndShapes) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    test_support::Drawing drawing(240, 140);
    HDC dc = drawing.dc();
    RECT all{0, 0, 240, 140};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    const UINT buttons[] = {DFCS_BUTTONPUSH, DFCS_BUTTONPUSH | DFCS_PUSHED, DFCS_BUTTONCHECK,
                            DFCS_BUTTONCHECK | DFCS_CHECKED, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE,
                            DFCS_BUTTONRADIO, DFCS_BUTTONRADIO | DFCS_CHECKED};
    int x = 4;
    for (UINT state : buttons) {
      RECT r{x, 4, x + ((state & 0x1F) == DFCS_BUTTONPUSH ? 40 : 13), 4 + 13};
      EXPECT_TRUE(DrawFrameControl(dc, &r, DFC_BUTTON, state));
      x = r.right + 6;
    }
    for (UINT arrow : {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT, DFCS_SCROLLUP | DFCS_INACTIVE}) {
      RECT r{x - 150, 24, x - 137, 37};
      EXPECT_TRUE(DrawFrameControl(dc, &r, DFC_SCROLL, arrow));
      x += 16;
    }
    x = 4;
    for (UINT edge : {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP}) {
      RECT r{x, 44, x + 40, 64};
      DrawEdge(dc, &r, edge, BF_RECT | BF_MIDDLE);
      x += 46;
    }
    RECT focus{190, 44, 234, 64};
    DrawFocusRect(dc, &focus);
    HPEN dashed = CreatePen(PS_DASH, 1, RGB(0, 0, 160));
    HBRUSH yellow = CreateSolidBrush(RGB(248, 216, 96));
    HGDIOBJ oldPen = SelectObject(dc, dashed), oldBrush = SelectObject(dc, yellow);
    Rectangle(dc, 4, 72, 54, 132);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, 60, 72, 110, 132);
    RoundRect(dc, 116, 72, 166, 132, 16, 16);
    const POINT star[] = {{196, 72}, {208, 130}, {172, 92}, {222, 92}, {184, 130}};
    Polygon(dc, star, 5);
    MoveToEx(dc, 226, 72, nullptr);
    LineTo(dc, 236, 132);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(dashed);
    DeleteObject(yellow);
    Keep(drawing.bitmap(), "frames.png");
    KeepZoomed(drawing.dc(), drawing.bitmap(), "frames-zoomed.png");
  });
  EXPECT_TRUE(handheld.faults().empty());
}

}  // namespace
