#include <string>
#include <vector>

#include "dialog_test_support.h"

namespace {

using test_support::TestDevice;

std::vector<WORD>* notifications = nullptr;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && notifications) notifications->push_back(HIWORD(wParam));
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class EditTest : public ::testing::Test {
 protected:
  void SetUp() override { notifications = &codes_; }
  void TearDown() override { notifications = nullptr; }

  // Runs `body` with an edit box of `style` inside a parent window.
  void withEdit(DWORD style, std::function<void(HWND)> body) {
    device_.start([&](HINSTANCE instance) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = ParentProc;
      wc.lpszClassName = u"EditParent";
      RegisterClassW(&wc);
      HWND parent = CreateWindowExW(0, u"EditParent", u"", WS_VISIBLE, 0, 0, 240, 200, nullptr, nullptr, instance, nullptr);
      HWND edit = CreateWindowExW(0, u"edit", u"", WS_CHILD | WS_VISIBLE | style, 4, 4, 100, 20, parent,
                                  reinterpret_cast<HMENU>(7), instance, nullptr);
      codes_.clear();
      body(edit);
      return 0;
    });
  }
  static void type(HWND edit, std::u16string text) {
    for (char16_t ch : text) SendMessageW(edit, WM_CHAR, ch, 0);
  }

  TestDevice device_;
  std::vector<WORD> codes_;
};

TEST_F(EditTest, TypingStopsAtTheLimitAndSaysSo) {
  withEdit(0, [&](HWND edit) {
    SendMessageW(edit, EM_LIMITTEXT, 5, 0);
    type(edit, u"abcdefg");
    EXPECT_EQ(test_support::TextOf(edit), u"abcde");
    std::vector<WORD> expected;
    for (int i = 0; i < 5; ++i) expected.insert(expected.end(), {EN_UPDATE, EN_CHANGE});
    expected.insert(expected.end(), {EN_MAXTEXT, EN_MAXTEXT});
    EXPECT_EQ(codes_, expected);
    // Replacing a selection makes room again.
    SendMessageW(edit, EM_SETSEL, 1, 3);
    type(edit, u"XYZ");
    EXPECT_EQ(test_support::TextOf(edit), u"aXYde");
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u);
    EXPECT_EQ(end, 3u);
    // Text set by the program is not held to the limit.
    SetWindowTextW(edit, u"0123456789");
    EXPECT_EQ(GetWindowTextLengthW(edit), 10);
  });
}

TEST_F(EditTest, SelectionReplaceAndDeletion) {
  withEdit(ES_AUTOHSCROLL, [&](HWND edit) {
    SetWindowTextW(edit, u"ショートカット.lnk");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    DWORD start = 9, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 11u);
    SendMessageW(edit, EM_SETSEL, 7, 11);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u".txt"));
    EXPECT_EQ(test_support::TextOf(edit), u"ショートカット.txt");
    SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(test_support::TextOf(edit), u"ショートカット.tx");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(test_support::TextOf(edit), u"ョートカット.tx");
  });
}

TEST_F(EditTest, StylesRefuseWhatTheyForbid) {
  withEdit(ES_NUMBER, [&](HWND edit) {
    type(edit, u"1a2-3");
    EXPECT_EQ(test_support::TextOf(edit), u"123");
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    codes_.clear();
    type(edit, u"4");
    SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(test_support::TextOf(edit), u"123");
    EXPECT_TRUE(codes_.empty()) << "a read-only edit does not change";
  });
}

}  // namespace
