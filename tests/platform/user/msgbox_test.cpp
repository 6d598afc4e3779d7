#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "user/msgbox.h"

namespace {

using test_support::TestDevice;

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class MessageBoxTest : public ::testing::Test {
 protected:
  // A program with a main window that asks `ask` questions in a row.
  void ask(std::vector<UINT> types) {
    device_.start([this, types](HINSTANCE instance) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = PlainProc;
      wc.lpszClassName = u"MsgBoxOwner";
      RegisterClassW(&wc);
      owner_ = CreateWindowExW(0, u"MsgBoxOwner", u"main", WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr, instance,
                               nullptr);
      ShowWindow(owner_, SW_SHOW);
      for (UINT type : types) {
        answers_.push_back(MessageBoxW(owner_, u"同名のファイルがすでに存在します。上書きしますか?", u"上書きの確認", type));
        ownerEnabledAfter_.push_back(IsWindowEnabled(owner_) != FALSE);
        ownerInFrontAfter_.push_back(GetForegroundWindow() == owner_);
      }
      return 0;
    });
  }

  TestDevice device_;
  HWND owner_ = nullptr;
  std::vector<int> answers_;
  std::vector<bool> ownerEnabledAfter_;
  std::vector<bool> ownerInFrontAfter_;
};

TEST_F(MessageBoxTest, TheUserAnswersAndTheCallerGetsTheAnswer) {
  ask({MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2});
  const sim::OpenMessageBox* box = sim::MessageBoxes::get().top();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text, u"同名のファイルがすでに存在します。上書きしますか?");
  EXPECT_EQ(box->caption, u"上書きの確認");
  ASSERT_EQ(box->buttons.size(), 2u);
  EXPECT_EQ(box->buttons[0].id, IDYES);
  EXPECT_EQ(box->buttons[1].id, IDNO);
  EXPECT_EQ(box->defaultId, IDNO);
  EXPECT_EQ(test_support::TextOf(box->dialog), u"上書きの確認");
  EXPECT_NE(SendDlgItemMessageW(box->dialog, 20, STM_GETICON, 0, 0), 0) << "a question mark is shown";
  EXPECT_EQ(SendMessageW(box->buttons[1].hwnd, BM_GETSTATE, 0, 0) & BST_FOCUS, BST_FOCUS)
      << "MB_DEFBUTTON2 puts the focus on the second button";
  EXPECT_FALSE(IsWindowEnabled(owner_)) << "the owner is disabled while the box is open";
  EXPECT_EQ(GetForegroundWindow(), box->dialog);

  device_.press(VK_ESCAPE);  // a yes/no box has no Cancel: Escape does nothing
  ASSERT_NE(sim::MessageBoxes::get().top(), nullptr);
  EXPECT_TRUE(sim::AnswerMessageBox(IDYES));
  device_.runUntilIdle();
  EXPECT_EQ(answers_, (std::vector<int>{IDYES}));
  EXPECT_EQ(ownerEnabledAfter_, (std::vector<bool>{true}));
  EXPECT_EQ(sim::MessageBoxes::get().top(), nullptr);
}

TEST_F(MessageBoxTest, KeysAnswerByTheButtonSet) {
  ask({MB_OK | MB_ICONHAND, MB_OKCANCEL, MB_YESNOCANCEL | MB_DEFBUTTON3, MB_ABORTRETRYIGNORE});
  device_.press(VK_ESCAPE);  // OK only: Escape answers OK
  device_.press(VK_ESCAPE);  // OK/Cancel: Cancel
  device_.press(VK_RETURN);  // the third button is the default
  ASSERT_NE(sim::MessageBoxes::get().top(), nullptr);
  EXPECT_FALSE(sim::AnswerMessageBox(IDOK)) << "no such button";
  EXPECT_TRUE(sim::AnswerMessageBox(IDRETRY));
  device_.runUntilIdle();
  EXPECT_EQ(answers_, (std::vector<int>{IDOK, IDCANCEL, IDCANCEL, IDRETRY}));
  EXPECT_EQ(ownerInFrontAfter_, (std::vector<bool>{true, true, true, true})) << "each answer brings the owner back";
}

}  // namespace
