// The edit control's editing commands, undo, password character, Enter and end,
// against the documented behaviour of the device.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "user/clipboard.h"

namespace {

using test_support::TemplateBuilder;
using test_support::TestDevice;

std::vector<std::string>* trace = nullptr;
WNDPROC editProc = nullptr;

std::string Name(UINT msg) {
  switch (msg) {
    case WM_CUT: return "cut";
    case WM_COPY: return "copy";
    case WM_PASTE: return "paste";
    case WM_UNDO: return "undo";
    case WM_DESTROY: return "destroy";
    case WM_NCDESTROY: return "ncdestroy";
    default: return "";
  }
}

// Records the messages above as the edit receives them, with its text length.
LRESULT CALLBACK RecordingEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::string name = Name(msg);
  if (trace && !name.empty()) trace->push_back(name + " " + std::to_string(GetWindowTextLengthW(hwnd)));
  LRESULT result = CallWindowProcW(editProc, hwnd, msg, wParam, lParam);
  if (trace && msg == WM_NCDESTROY) trace->push_back("after ncdestroy " + std::to_string(GetWindowTextLengthW(hwnd)));
  return result;
}

void Subclass(HWND edit) {
  editProc = reinterpret_cast<WNDPROC>(SetWindowLongW(edit, GWL_WNDPROC, reinterpret_cast<LONG>(RecordingEdit)));
}

std::u16string ClipboardText() { return sim::Clipboard::get().text().value_or(u"<none>"); }

std::u16string Text(HWND edit) { return test_support::TextOf(edit); }

HLOCAL TextBlock(std::u16string_view text) {
  auto* block = static_cast<WCHAR*>(LocalAlloc(LPTR, static_cast<UINT>((text.size() + 1) * 2)));
  std::memcpy(block, text.data(), text.size() * 2);
  return block;
}

// Places text as a program does: only the window that opened and emptied the
// clipboard may put data on it.
void PutText(HWND owner, UINT format, std::u16string_view text) {
  OpenClipboard(owner);
  EmptyClipboard();
  SetClipboardData(format, TextBlock(text));
  CloseClipboard();
}

INT_PTR CALLBACK EditDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      SetDlgItemTextW(dialog, 11, u"\\Temp\\a.txt");
      Subclass(GetDlgItem(dialog, 11));
      return TRUE;  // the edit box gets the focus with its text selected
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK CommandsProc(HWND, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
  if (trace) trace->push_back("command " + std::to_string(LOWORD(wParam)));
  return TRUE;
}

class EditControlTest : public ::testing::Test {
 protected:
  void SetUp() override { trace = &lines_; }
  void TearDown() override { trace = nullptr; }

  // Runs `body` in a program with an edit box of `style` inside a plain window.
  void withEdit(DWORD style, std::function<void(HWND)> body) {
    device_.start([&](HINSTANCE instance) {
      HWND parent = CreateWindowExW(0, u"STATIC", u"", WS_VISIBLE, 0, 0, 240, 200, nullptr, nullptr, instance, nullptr);
      HWND edit = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | style, 4, 4, 100, 20, parent,
                                  reinterpret_cast<HMENU>(7), instance, nullptr);
      body(edit);
      DestroyWindow(parent);
      return 0;
    });
  }

  std::vector<std::string> lines_;
  TestDevice device_;
};

// Ctrl+C, Ctrl+X, Ctrl+V and Ctrl+Z come to the edit as the characters 0x03, 0x18,
// 0x16 and 0x1A and do their work through WM_COPY, WM_CUT, WM_PASTE and WM_UNDO, in
// the device's clipboard text format, CF_UNICODETEXT (the desktop's edit control
// uses CF_TEXT).
TEST_F(EditControlTest, KeyboardEditingCommandsGoThroughTheClipboardMessages) {
  HWND dialog = nullptr;
  device_.start([&](HINSTANCE instance) {
    TemplateBuilder t(WS_POPUP | WS_CAPTION, u"編集");
    t.edit(11, WS_TABSTOP | ES_AUTOHSCROLL).button(u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP);
    DialogBoxIndirectParamW(instance, t.get(), nullptr, EditDialogProc, 0);
    return 0;
  });
  dialog = sim::WindowSystem::get().foreground()->handle;
  HWND edit = GetDlgItem(dialog, 11);
  device_.pressWithControl('C');
  EXPECT_EQ(ClipboardText(), u"\\Temp\\a.txt");
  device_.pressWithControl('X');
  EXPECT_EQ(Text(edit), u"");
  device_.pressWithControl('V');
  device_.pressWithControl('V');
  EXPECT_EQ(Text(edit), u"\\Temp\\a.txt\\Temp\\a.txt");
  device_.pressWithControl('Z');
  EXPECT_EQ(Text(edit), u"\\Temp\\a.txt") << "the last paste is undone";
  device_.pressWithControl('Z');
  EXPECT_EQ(Text(edit), u"\\Temp\\a.txt\\Temp\\a.txt") << "an undo is undone by the next";
  const std::vector<std::string> expected = {"copy 11",  "cut 11",   "paste 0",
                                             "paste 11", "undo 22", "undo 11"};
  EXPECT_EQ(lines_, expected);
  EXPECT_EQ(sim::Clipboard::get().formats(), (std::vector<UINT>{CF_UNICODETEXT}));
  device_.press(VK_RETURN);
  EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(EditControlTest, UndoKeepsOneChangeTypingJoinsAndProgramTextCannotBeUndone) {
  withEdit(0, [&](HWND edit) {
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), FALSE);
    EXPECT_EQ(SendMessageW(edit, EM_UNDO, 0, 0), TRUE) << "a single-line edit always answers TRUE";
    for (char16_t ch : std::u16string(u"abc")) SendMessageW(edit, WM_CHAR, ch, 0);
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), TRUE);
    SendMessageW(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), u"") << "characters typed one after another are undone together";
    SendMessageW(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), u"abc");
    SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    SendMessageW(edit, WM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), u"abc") << "a deletion is a change of its own";
    SendMessageW(edit, EM_SETSEL, 0, 1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(u"X"));
    SendMessageW(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), u"abc");
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"Y"));
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), FALSE) << "EM_REPLACESEL with FALSE cannot be undone";
    SendMessageW(edit, WM_CHAR, u'z', 0);
    SetWindowTextW(edit, u"set");
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), FALSE) << "WM_SETTEXT empties the undo buffer";
    SendMessageW(edit, WM_CHAR, u'!', 0);
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), FALSE);
  });
  withEdit(ES_MULTILINE, [&](HWND edit) {
    EXPECT_EQ(SendMessageW(edit, EM_UNDO, 0, 0), FALSE) << "a multi-line edit tells whether it undid anything";
  });
}

TEST_F(EditControlTest, PasteTakesTheFirstLineWithinTheLimitAndReadOnlyRefusesChanges) {
  withEdit(0, [&](HWND edit) {
    PutText(edit, CF_UNICODETEXT, u"\\Temp\\a.txt\n\\Temp\\b.txt");
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), u"\\Temp\\a.txt") << "a single-line edit takes the first line";
    SendMessageW(edit, EM_LIMITTEXT, 14, 0);
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), u"\\Temp\\a.txt\\Te");
    PutText(edit, CF_TEXT, u"ansi only");
    SetWindowTextW(edit, u"");
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), u"") << "the device pastes CF_UNICODETEXT only and converts nothing";
    SetWindowTextW(edit, u"kept");
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    PutText(edit, CF_UNICODETEXT, u"new");
    SendMessageW(edit, WM_PASTE, 0, 0);
    SendMessageW(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(edit), u"kept");
    EXPECT_EQ(ClipboardText(), u"kept") << "a read-only edit still copies";
  });
}

// When the clipboard cannot be opened, a cut deletes nothing: the text would be lost.
TEST_F(EditControlTest, ACutThatCannotReachTheClipboardKeepsTheText) {
  withEdit(0, [&](HWND edit) {
    SetWindowTextW(edit, u"precious");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    sim::Device::current().faults().arm("OpenClipboard");
    SendMessageW(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(edit), u"precious");
    SendMessageW(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(edit), u"");
    EXPECT_EQ(ClipboardText(), u"precious");
  });
}

TEST_F(EditControlTest, APasswordEditShowsItsCharacterAndGivesNothingToTheClipboard) {
  withEdit(ES_PASSWORD, [&](HWND edit) {
    PutText(edit, CF_UNICODETEXT, u"before");
    SetWindowTextW(edit, u"secret");
    auto shown = [&] { return sim::WindowSystem::get().find(edit)->text; };
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), u'*') << "ES_PASSWORD's default character";
    EXPECT_EQ(shown(), u"******");
    EXPECT_EQ(Text(edit), u"secret") << "the program itself reads the text";
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COPY, 0, 0);
    SendMessageW(edit, WM_CUT, 0, 0);
    EXPECT_EQ(ClipboardText(), u"before");
    EXPECT_EQ(Text(edit), u"secret");
    SendMessageW(edit, EM_SETPASSWORDCHAR, u'#', 0);
    EXPECT_EQ(shown(), u"######");
    SendMessageW(edit, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_EQ(shown(), u"secret");
    EXPECT_EQ(GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD, 0) << "0 takes the style away";
    SendMessageW(edit, WM_COPY, 0, 0);
    EXPECT_EQ(ClipboardText(), u"secret");
  });
  withEdit(ES_MULTILINE | ES_PASSWORD, [&](HWND edit) {
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0) << "a multi-line edit hides nothing";
  });
}

TEST_F(EditControlTest, TheTextGoesAtNcDestroy) {
  withEdit(0, [&](HWND edit) {
    SetWindowTextW(edit, u"abc");
    Subclass(edit);
    DestroyWindow(edit);
  });
  EXPECT_EQ(lines_, (std::vector<std::string>{"destroy 3", "ncdestroy 3", "after ncdestroy 0"}));
}

// Enter reaching an edit box itself: outside a dialog it does nothing and answers
// 0; in a dialog it presses the default button unless a multi-line edit has
// ES_WANTRETURN, which takes the line break instead.
TEST_F(EditControlTest, EnterInAnEditAnswersByWhereTheEditIs) {
  withEdit(ES_MULTILINE, [&](HWND edit) {
    EXPECT_EQ(SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0), 0);
    SendMessageW(edit, WM_CHAR, u'\r', 0);
    EXPECT_EQ(Text(edit), u"\r\n") << "outside a dialog a multi-line edit takes line breaks";
  });
  EXPECT_TRUE(lines_.empty());
  std::vector<std::u16string> texts;
  device_.start([&](HINSTANCE instance) {
    TemplateBuilder t(WS_POPUP | WS_VISIBLE, u"入力");
    t.edit(11, ES_MULTILINE).edit(12, ES_MULTILINE | ES_WANTRETURN).edit(13, 0);
    t.button(u"既定", 5, BS_DEFPUSHBUTTON);
    HWND dialog = CreateDialogIndirectParamW(instance, t.get(), nullptr, CommandsProc, 0);
    for (int id : {11, 12, 13}) {
      HWND edit = GetDlgItem(dialog, id);
      if (trace) trace->push_back("edit " + std::to_string(id));
      SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
      SendMessageW(edit, WM_CHAR, u'\r', 0);
      texts.push_back(test_support::TextOf(edit));
    }
    DestroyWindow(dialog);
    return 0;
  });
  EXPECT_EQ(lines_, (std::vector<std::string>{"edit 11", "command 5", "edit 12", "edit 13", "command 5"}));
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"", u"\r\n", u""}));
}

WNDPROC parentProc = nullptr;
int maxTextNotices = 0;

LRESULT CALLBACK CountingParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && HIWORD(wParam) == EN_MAXTEXT) ++maxTextNotices;
  return CallWindowProcW(parentProc, hwnd, msg, wParam, lParam);
}

int DrawnWidth(HWND edit, std::u16string_view text) {
  HDC dc = GetDC(edit);
  HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(edit, dc);
  return size.cx;
}

// A one-line edit without ES_AUTOHSCROLL cannot scroll, so it takes no more than it
// can show: typed and pasted text is cut where the box is full (keeping what stands
// after the caret) and the parent hears EN_MAXTEXT. The program's own WM_SETTEXT is
// not cut; a box that scrolls takes everything.
TEST_F(EditControlTest, AOneLineEditThatCannotScrollTakesWhatFitsItsWidth) {
  withEdit(0, [&](HWND edit) {
    parentProc = reinterpret_cast<WNDPROC>(
        SetWindowLongW(GetParent(edit), GWL_WNDPROC, reinterpret_cast<LONG>(CountingParent)));
    RECT client{};
    GetClientRect(edit, &client);
    const int room = client.right - 4;  // a two-pixel margin each side
    for (int i = 0; i < 40; ++i) SendMessageW(edit, WM_CHAR, u'あ', 0);
    const std::u16string typed = Text(edit);
    ASSERT_FALSE(typed.empty());
    EXPECT_LT(typed.size(), 40u);
    EXPECT_LE(DrawnWidth(edit, typed), room);
    EXPECT_GT(DrawnWidth(edit, typed + u"あ"), room);
    EXPECT_EQ(maxTextNotices, static_cast<int>(40 - typed.size())) << "every refused character is told";

    SetWindowTextW(edit, u"ab");
    SendMessageW(edit, EM_SETSEL, 1, 1);
    PutText(edit, CF_UNICODETEXT, std::u16string(60, u'x'));
    maxTextNotices = 0;
    SendMessageW(edit, WM_PASTE, 0, 0);
    const std::u16string pasted = Text(edit);
    EXPECT_EQ(pasted.front(), u'a');
    EXPECT_EQ(pasted.back(), u'b') << "the text after the caret stays";
    EXPECT_LE(DrawnWidth(edit, pasted), room);
    EXPECT_GT(DrawnWidth(edit, pasted + u"x"), room);
    EXPECT_EQ(maxTextNotices, 1);

    SetWindowTextW(edit, std::u16string(60, u'y').c_str());
    EXPECT_EQ(Text(edit).size(), 60u) << "the program's own text is not cut";
    SetWindowLongW(GetParent(edit), GWL_WNDPROC, reinterpret_cast<LONG>(parentProc));
  });
  withEdit(ES_AUTOHSCROLL, [&](HWND edit) {
    for (int i = 0; i < 40; ++i) SendMessageW(edit, WM_CHAR, u'あ', 0);
    EXPECT_EQ(Text(edit).size(), 40u);
  });
}

}  // namespace
