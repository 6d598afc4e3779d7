// What controls show: a message box's text fits the box it is laid out in, a
// password box shows only its character, a one-line box scrolls to its caret, and
// an icon static takes its icon's size.
#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "gdi/frame_buffer.h"
#include "user/edit_control.h"
#include "user/msgbox.h"

namespace {

// The screen's pixels inside a window's client area, row by row.
std::vector<COLORREF> ClientPixels(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  std::vector<COLORREF> pixels;
  const sim::PixelBuffer& screen = sim::FrameBuffer::get().pixels();
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) pixels.push_back(screen.color(origin.x + x, origin.y + y));
  return pixels;
}

class MessageBoxText : public ::testing::TestWithParam<std::u16string> {};

TEST_P(MessageBoxText, TheWholeTextFitsItsStatic) {
  test_support::TestDevice device;
  device.start([](HINSTANCE) { return MessageBoxW(nullptr, GetParam().c_str(), u"確認", MB_OK | MB_ICONEXCLAMATION); });
  const sim::OpenMessageBox* box = sim::MessageBoxes::get().top();
  ASSERT_NE(box, nullptr);
  HWND text = GetDlgItem(box->dialog, 0xFFFF);
  RECT client{};
  GetClientRect(text, &client);
  RECT needed = client;
  HDC dc = GetDC(text);
  DrawTextW(dc, GetParam().c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  ReleaseDC(text, dc);
  EXPECT_LE(needed.bottom, client.bottom) << "every line shows";
  EXPECT_LE(needed.right, client.right);
  RECT dialog{}, screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetWindowRect(box->dialog, &dialog);
  EXPECT_GE(dialog.left, screen.left);
  EXPECT_LE(dialog.right, screen.right) << "the box stays on the screen";
}

// Latin words wrap only at blanks: a layout that counted characters cut lines short.
INSTANTIATE_TEST_SUITE_P(
    Texts, MessageBoxText,
    ::testing::Values(u"The shortcut could not be written because the storage card is full or write protected.",
                      u"「報告書.txt」を削除しますか? 削除したファイルは元に戻せません。",
                      u"名前: b.txt\n種類: ﾌｧｲﾙ\nｻｲｽﾞ: 4 ﾊﾞｲﾄ"));

// A word wider than the screen (a long path without blanks) is cut at the edge of
// the text, and the box and its button stay on the screen where the stylus reaches.
TEST(MessageBoxLook, AWordWiderThanTheScreenLeavesTheBoxOnTheScreen) {
  test_support::TestDevice device;
  const std::u16string path = u"場所: \\Windows\\" + std::u16string(120, u'x') + u".txt";
  device.start([&](HINSTANCE) { return MessageBoxW(nullptr, path.c_str(), u"ﾌﾟﾛﾊﾟﾃｨ", MB_OK); });
  const sim::OpenMessageBox* box = sim::MessageBoxes::get().top();
  ASSERT_NE(box, nullptr);
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, dialog{}, ok{}, shown{};
  GetWindowRect(box->dialog, &dialog);
  GetWindowRect(GetDlgItem(box->dialog, IDOK), &ok);
  EXPECT_GE(dialog.left, screen.left);
  EXPECT_LE(dialog.right, screen.right);
  EXPECT_TRUE(IntersectRect(&shown, &ok, &screen) && EqualRect(&shown, &ok)) << "the whole button shows";
}

TEST(EditLook, APasswordBoxShowsOnlyItsCharacterAndALongLineScrollsToTheCaret) {
  test_support::TestDevice device;
  HWND password = nullptr, stars = nullptr, line = nullptr;
  device.start([&](HINSTANCE) {
    auto make = [](LPCWSTR text, DWORD style, int y) {
      return CreateWindowExW(0, u"EDIT", text, WS_POPUP | WS_VISIBLE | style, 10, y, 100, 20, nullptr, nullptr,
                             nullptr, nullptr);
    };
    password = make(u"abc", ES_PASSWORD, 40);
    stars = make(u"***", 0, 70);
    line = make(u"", ES_AUTOHSCROLL, 100);
    SetFocus(line);
    test_support::PumpMessages(nullptr);
    return 0;
  });
  EXPECT_EQ(ClientPixels(password), ClientPixels(stars));
  for (int i = 0; i < 30; ++i) sim::Input::get().character(u'W');
  device.runUntilIdle();
  auto edit = sim::EditOf(line);
  ASSERT_TRUE(edit);
  EXPECT_GT(edit->state.scrollX, 0) << "the line scrolled as it grew past the box";
  // The caret: a line of the text colour as tall as the text, just inside the right
  // margin (the box is 100 pixels wide with a 2-pixel margin each side).
  std::vector<COLORREF> pixels = ClientPixels(line);
  const int lineTop = (20 - 12) / 2;
  int inked = 0;
  for (int y = lineTop; y < lineTop + 12; ++y) inked += pixels[static_cast<std::size_t>(y * 100 + 98)] == RGB(0, 0, 0);
  EXPECT_EQ(inked, 12) << "the caret is in sight at the right end";
}

TEST(StaticLook, AnIconStaticTakesItsIconsSize) {
  test_support::TestDevice device;
  HWND icon = nullptr;
  device.start([&](HINSTANCE) {
    icon = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE | SS_ICON, 10, 40, 20, 20, nullptr, nullptr,
                           nullptr, nullptr);
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_HAND)), 0);
    test_support::PumpMessages(nullptr);
    return 0;
  });
  RECT rect{};
  GetWindowRect(icon, &rect);
  EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYICON));
}

}  // namespace
