// Taps made by position on the page's handheld are recorded by the name of what
// the screen's hit-testing says they reached, and a menu followed tap by tap
// becomes one `menu` step only when the taps make a path the runner can follow.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "kernel/process.h"
#include "scenario/script.h"
#include "shell/shell_screen.h"
#include "user.h"
#include "user/menu_tracker.h"
#include "web/web_session.h"

namespace sim::web {
namespace {

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

std::vector<std::string> Lines(const WebSession& session) {
  std::vector<std::string> lines;
  std::string script = session.recordedScript();
  for (std::size_t pos = 0, end; (end = script.find('\n', pos)) != std::string::npos; pos = end + 1)
    if (script[pos] != '#') lines.push_back(script.substr(pos, end - pos));
  return lines;
}

std::string Tap(WebSession& session, POINT at, Gesture gesture = Gesture::Tap) {
  Answer answer = session.stylus(at, gesture);
  EXPECT_EQ(answer.status, 200) << answer.body;
  return PositionStep(at, gesture);
}

// Where the open menu draws the entry `label` (its whole text, as whatIsAt says it).
POINT MenuEntry(WebSession& session, const std::u16string& label) {
  for (const MenuBox& box : MenuTracker::get().layout())
    for (const RECT& item : box.items) {
      std::u16string what = session.user().whatIsAt(Centre(item));
      if (what == u"menu: " + label || what == u"menu: " + label + u" >") return Centre(item);
    }
  ADD_FAILURE() << "no menu entry is drawn with that label";
  return POINT{-1, -1};
}

POINT MenuBarButton(WebSession& session, int index) {
  HWND toolbar = session.user().menuBarToolbar();
  RECT button{};
  SendMessageW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&button));
  MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
  return Centre(button);
}

POINT ControlCentre(WebSession& session, const std::u16string& textOrId) {
  HWND control = session.user().findControl(textOrId);
  RECT rect{};
  GetWindowRect(control, &rect);
  return Centre(rect);
}

TEST(TapRecordingTest, AMenuFollowedToAnEntryIsOneStepAndAnyOtherWayKeepsThePositions) {
  WebSession session({});
  ASSERT_EQ(session.writeFile("\\Temp\\a.txt", "alpha").status, 200);
  ASSERT_NE(StartProgram(session.device(), u"\\Program Files\\Brackenway\\Brackenway.exe", u"\\Temp\\"), nullptr);
  session.user().settle();

  // With no menu open, a list item is named.
  HWND list = session.user().findList();
  RECT row{LVIR_LABEL};
  SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&row), 2);
  Tap(session, Centre(row));
  EXPECT_EQ(Lines(session), std::vector<std::string>{"tap-item a.txt"});

  // A path still open is saved as the taps that opened it; chosen, it is one step.
  const std::string bar = Tap(session, MenuBarButton(session, 0));
  const std::string sendTo = Tap(session, MenuEntry(session, u"送る"));
  EXPECT_EQ(Lines(session), (std::vector<std::string>{"tap-item a.txt", bar, sendTo}));
  Tap(session, MenuEntry(session, u"ﾊﾟｽをｸﾘｯﾌﾟﾎﾞｰﾄﾞへ"));
  ASSERT_FALSE(MenuTracker::get().isOpen());
  EXPECT_EQ(Lines(session), (std::vector<std::string>{"tap-item a.txt", "menu 編集 送る ﾊﾟｽをｸﾘｯﾌﾟﾎﾞｰﾄﾞへ"}));
  session.user().settle();  // the companion's timer copies the path
  EXPECT_EQ(session.user().clipboardText(), u"\\Temp\\a.txt");

  // Another submenu opened from the menu behind, then a tap outside every menu.
  std::vector<std::string> expected = Lines(session);
  expected.push_back(Tap(session, MenuBarButton(session, 0)));
  expected.push_back(Tap(session, MenuEntry(session, u"送る")));
  expected.push_back(Tap(session, MenuEntry(session, u"ﾌｫﾙﾀﾞ移動")));
  ASSERT_EQ(MenuTracker::get().layout().size(), 2u);
  expected.push_back(Tap(session, POINT{120, 5}));
  ASSERT_FALSE(MenuTracker::get().isOpen());
  EXPECT_EQ(Lines(session), expected);

  EXPECT_TRUE(std::holds_alternative<std::vector<scenario::Step>>(scenario::ParseScript(session.recordedScript())));
}

TEST(TapRecordingTest, ControlsAreNamedAsAScriptFindsThem) {
  WebSession session({});
  ASSERT_EQ(session.open("\\Program Files\\Brackenway\\BrackenwayConf.exe").status, 200);
  // A label of two lines cannot stand in a script: the radio button goes by its id.
  Tap(session, ControlCentre(session, u"#1003"));
  Tap(session, ControlCentre(session, u"OK"));
  // The message box's button is its answer.
  Tap(session, ControlCentre(session, u"OK"));
  ASSERT_EQ(session.openScript("chooser file 開く \"\\My Documents\\\"\n").status, 200);
  ASSERT_EQ(session.stepScript().status, 200);
  // The navigation bar's OK of the file chooser.
  Tap(session, Centre(LayOutNavigationBar().ok));
  EXPECT_EQ(Lines(session), (std::vector<std::string>{"open \"\\Program Files\\Brackenway\\BrackenwayConf.exe\"",
                                                      "tap \"#1003\"", "tap OK", "answer ok", "ok"}));
  EXPECT_TRUE(session.device().faults().programFaults().empty());
}

}  // namespace
}  // namespace sim::web
