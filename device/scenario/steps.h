// What each word of the scenario language does; the table of words (words.cpp)
// names these. Each runs on the driver between runs of the device.
#pragma once

#include "scenario/words.h"

namespace sim::scenario {

// --- setting up the device (setup_steps.cpp) ---
StepResult Screen(Session& session, const Step& step);
StepResult Folder(Session& session, const Step& step);
StepResult File(Session& session, const Step& step);
StepResult Sized(Session& session, const Step& step);
StepResult Shortcut(Session& session, const Step& step);
StepResult Remove(Session& session, const Step& step);
StepResult Program(Session& session, const Step& step);
StepResult Fail(Session& session, const Step& step);

// --- acting (action_steps.cpp, caller_steps.cpp) ---
StepResult Start(Session& session, const Step& step);
StepResult Open(Session& session, const Step& step);
StepResult Wait(Session& session, const Step& step);
StepResult Close(Session& session, const Step& step);
StepResult Tap(Session& session, const Step& step);
StepResult TapAt(Session& session, const Step& step);
StepResult DoubleTapAt(Session& session, const Step& step);
StepResult HoldAt(Session& session, const Step& step);
StepResult Choose(Session& session, const Step& step);
StepResult TapItem(Session& session, const Step& step);
StepResult DoubleTapItem(Session& session, const Step& step);
StepResult HoldItem(Session& session, const Step& step);
StepResult Key(Session& session, const Step& step);
StepResult Type(Session& session, const Step& step);
StepResult Menu(Session& session, const Step& step);
StepResult Pick(Session& session, const Step& step);
StepResult Ok(Session& session, const Step& step);
StepResult Answer(Session& session, const Step& step);
StepResult InputPanel(Session& session, const Step& step);
StepResult Show(Session& session, const Step& step);
StepResult Chooser(Session& session, const Step& step);
StepResult Version(Session& session, const Step& step);

// --- expecting what is on the screen (expect_screen_steps.cpp) ---
StepResult ExpectWindow(Session& session, const Step& step);
StepResult ExpectDialog(Session& session, const Step& step);
StepResult ExpectPlace(Session& session, const Step& step);
StepResult ExpectText(Session& session, const Step& step);
StepResult ExpectMessage(Session& session, const Step& step);
StepResult ExpectNoMessage(Session& session, const Step& step);
StepResult ExpectMenu(Session& session, const Step& step);
StepResult ExpectNoMenu(Session& session, const Step& step);
StepResult ExpectItems(Session& session, const Step& step);
StepResult ExpectList(Session& session, const Step& step);
StepResult ExpectColumns(Session& session, const Step& step);
StepResult ExpectRow(Session& session, const Step& step);
StepResult ExpectSelected(Session& session, const Step& step);

// --- pictures of the screen (picture_steps.cpp) ---
StepResult Screenshot(Session& session, const Step& step);
StepResult ExpectScreen(Session& session, const Step& step);

// --- expecting what is on the device (expect_device_steps.cpp) ---
StepResult ExpectFile(Session& session, const Step& step);
StepResult ExpectNoFile(Session& session, const Step& step);
StepResult ExpectFolder(Session& session, const Step& step);
StepResult ExpectShortcut(Session& session, const Step& step);
StepResult ExpectClipboard(Session& session, const Step& step);
StepResult ExpectStarted(Session& session, const Step& step);
StepResult ExpectStartFailed(Session& session, const Step& step);
StepResult ExpectNoStart(Session& session, const Step& step);
StepResult ExpectChosen(Session& session, const Step& step);
StepResult ExpectRunning(Session& session, const Step& step);
StepResult ExpectNotRunning(Session& session, const Step& step);
StepResult ExpectEnded(Session& session, const Step& step);
StepResult ExpectNoOrphans(Session& session, const Step& step);
StepResult ExpectNoLeaks(Session& session, const Step& step);

}  // namespace sim::scenario
