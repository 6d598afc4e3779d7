// Renaming by a tap on the label of the selected item of a list view, as a person
// does it: the edit waits for the double-tap time, and only a plain tap on the label
// of the focused selection in a focused list starts it.
#include <algorithm>
#include <string>
#include <vector>

#include "comctl_test_support.h"

namespace {

using test_support::ControlHost;
using test_support::Heard;

// "name" 100 pixels wide, "size" beside it.
HWND MakeList(HWND host, DWORD style) {
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 240, 200, host,
                              reinterpret_cast<HMENU>(100), nullptr, nullptr);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<WCHAR*>(u"name");
  column.cx = 100;
  ListView_InsertColumn(list, 0, &column);
  column.pszText = const_cast<WCHAR*>(u"size");
  column.cx = 70;
  column.iSubItem = 1;
  ListView_InsertColumn(list, 1, &column);
  for (const WCHAR* name : {u"alpha", u"beta"}) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(list);
    item.pszText = const_cast<WCHAR*>(name);
    ListView_InsertItem(list, &item);
  }
  return list;
}

int EditsBegun() {
  return static_cast<int>(std::count_if(Heard().begin(), Heard().end(),
                                        [](const std::string& line) { return line.rfind("LVN_BEGINLABELEDITW", 0) == 0; }));
}

class TapEdit : public ::testing::Test {
 protected:
  void open(DWORD style) {
    handheld_.start([&](HWND host) { list_ = MakeList(host, WS_TABSTOP | style); });
    handheld_.call([&] {
      RECT label{};
      ListView_GetItemRect(list_, 1, &label, LVIR_LABEL);
      beta_ = test_support::Middle(label);
    });
  }
  // The first tap selects "beta" and focuses the list.
  void selectBeta() {
    handheld_.tap(list_, beta_);
    handheld_.call([&] {
      ASSERT_EQ(ListView_GetNextItem(list_, -1, LVNI_SELECTED | LVNI_FOCUSED), 1);
      ASSERT_EQ(GetFocus(), list_);
    });
    Heard().clear();
  }
  HWND editControl() {
    HWND edit = nullptr;
    handheld_.call([&] { edit = ListView_GetEditControl(list_); });
    return edit;
  }

  ControlHost handheld_;
  HWND list_ = nullptr;
  POINT beta_{};
};

TEST_F(TapEdit, ATapOnTheSelectedLabelEditsItOnceTheDoubleTapTimeHasPassed) {
  test_support::Answer() = [](NMHDR* header) -> LRESULT { return header->code == LVN_ENDLABELEDITW; };
  open(LVS_REPORT | LVS_SINGLESEL | LVS_EDITLABELS);
  selectBeta();
  EXPECT_EQ(editControl(), nullptr) << "the tap that selects does not edit";

  ASSERT_TRUE(sim::Input::get().tapWindow(list_, beta_));
  handheld_.runUntilIdle();
  handheld_.runFor(sim::Input::kDoubleTapMs - 1);
  EXPECT_EQ(EditsBegun(), 0) << "a second tap may still come";
  handheld_.runFor(1);
  EXPECT_EQ(Heard(), (std::vector<std::string>{"NM_CLICK", "LVN_BEGINLABELEDITW 1 beta"}));
  HWND edit = editControl();
  ASSERT_NE(edit, nullptr);
  handheld_.call([&] {
    EXPECT_EQ(GetFocus(), edit);
    for (char16_t ch : std::u16string(u"gamma")) SendMessageW(edit, WM_CHAR, ch, 0);
  });
  handheld_.press(VK_RETURN);
  EXPECT_EQ(Heard().back(), "LVN_ENDLABELEDITW 1 gamma");
  handheld_.call([&] {
    WCHAR text[16] = {};
    LVITEMW item{};
    item.pszText = text;
    item.cchTextMax = 16;
    SendMessageW(list_, LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::u16string(text), u"gamma");
  });

  // A double tap on the selected item opens it instead.
  Heard().clear();
  handheld_.doubleTap(list_, beta_);
  EXPECT_EQ(Heard(), (std::vector<std::string>{"NM_CLICK", "NM_DBLCLK"}));
  EXPECT_EQ(editControl(), nullptr);
}

TEST_F(TapEdit, OnlyAPlainTapOnTheLabelOfTheFocusedSelectionInAFocusedListEdits) {
  open(LVS_REPORT | LVS_EDITLABELS);
  selectBeta();
  // Beside the label, in the size column of the selected row.
  handheld_.tap(list_, POINT{150, beta_.y});
  // With Control held: that tap takes the item out of the selection.
  handheld_.keyDown(VK_CONTROL);
  handheld_.tap(list_, beta_);
  handheld_.keyUp(VK_CONTROL);
  handheld_.tap(list_, beta_);  // selects it again
  EXPECT_EQ(EditsBegun(), 0);
  Heard().clear();
  // A hold asks for the context menu.
  handheld_.hold(list_, beta_);
  EXPECT_EQ(Heard(), std::vector<std::string>{"NM_RCLICK"});
  // A list that did not have the focus only takes it with the tap.
  handheld_.call([&] { SetFocus(handheld_.host()); });
  handheld_.tap(list_, beta_);
  EXPECT_EQ(EditsBegun(), 0);
  EXPECT_EQ(editControl(), nullptr);
  // Without LVS_EDITLABELS nothing edits even then.
  handheld_.call([&] { SetWindowLongW(list_, GWL_STYLE, GetWindowLongW(list_, GWL_STYLE) & ~LVS_EDITLABELS); });
  handheld_.tap(list_, beta_);
  EXPECT_EQ(EditsBegun(), 0);
  // Now editable, focused, selected and tapped plainly on the label: the edit starts.
  handheld_.call([&] { SetWindowLongW(list_, GWL_STYLE, GetWindowLongW(list_, GWL_STYLE) | LVS_EDITLABELS); });
  handheld_.tap(list_, beta_);
  EXPECT_EQ(EditsBegun(), 1);
  EXPECT_NE(editControl(), nullptr);
}

}  // namespace
