// Acting as the user: starting programs, waiting, tapping, keys and text, menus,
// the title-bar OK, message boxes, the input panel, and looking at the screen.
#include <windows.h>

#include "key_strokes.h"
#include "kernel/process.h"
#include "scenario/session.h"
#include "scenario/steps.h"
#include "shell/shortcut.h"
#include "window_listing.h"

namespace sim::scenario {

namespace {

StepResult Result(const std::optional<UserError>& error) {
  if (error) return error->message;
  return std::nullopt;
}

// Starts a program as the shell does; a start that fails is noted in the
// transcript, and the log keeps it as a failed start.
StepResult StartAsShell(Session& session, const std::u16string& program, const std::u16string& arguments) {
  if (StartProgram(session.device(), program, arguments)) return std::nullopt;
  const auto& log = session.device().service<ProcessTable>().startLog();
  session.transcript << "    the start of " << Quote(program) << " failed with error " << log.back().error << "\n";
  return std::nullopt;
}

}  // namespace

StepResult Start(Session& session, const Step& step) {
  return StartAsShell(session, Arg(step, 0), step.args.size() > 1 ? Arg(step, 1) : u"");
}

StepResult Open(Session& session, const Step& step) {
  std::u16string path = Arg(step, 0);
  if (path.size() <= 4 || !SameIgnoringCase(path.substr(path.size() - 4), u".lnk")) return StartAsShell(session, path, u"");
  WCHAR target[MAX_PATH] = {};
  if (!SHGetShortcutTarget(path.data(), target, MAX_PATH)) return "cannot read the shortcut " + step.args[0];
  ShortcutCommand command = SplitShortcutTarget(target);
  return StartAsShell(session, command.program, command.arguments);
}

StepResult Wait(Session& session, const Step& step) {
  session.user.wait(ParseInteger<DWORD>(step.args[0]).value());
  return std::nullopt;
}

StepResult Close(Session& session, const Step&) { return Result(session.user.close()); }
StepResult Tap(Session& session, const Step& step) { return Result(session.user.tap(Arg(step, 0))); }

// The stylus at a screen pixel: whatever is there gets the gesture, as a person's
// stylus would give it.
static StepResult TouchAt(Session& session, const Step& step,
                          std::optional<UserError> (User::*gesture)(POINT)) {
  POINT at{ParseInteger<int>(step.args[0]).value(), ParseInteger<int>(step.args[1]).value()};
  return Result((session.user.*gesture)(at));
}

StepResult TapAt(Session& session, const Step& step) { return TouchAt(session, step, &User::tapAt); }
StepResult DoubleTapAt(Session& session, const Step& step) { return TouchAt(session, step, &User::doubleTapAt); }
StepResult HoldAt(Session& session, const Step& step) { return TouchAt(session, step, &User::holdAt); }

StepResult Choose(Session& session, const Step& step) {
  return Result(session.user.choose(Arg(step, 0), Arg(step, 1)));
}

StepResult TapItem(Session& session, const Step& step) {
  return Result(session.user.touchItem(Arg(step, 0), User::ItemGesture::Tap));
}

StepResult DoubleTapItem(Session& session, const Step& step) {
  return Result(session.user.touchItem(Arg(step, 0), User::ItemGesture::DoubleTap));
}

StepResult HoldItem(Session& session, const Step& step) {
  return Result(session.user.touchItem(Arg(step, 0), User::ItemGesture::Hold));
}

StepResult Key(Session& session, const Step& step) {
  for (const auto& name : step.args)
    if (auto error = session.user.press(ParseKeyStroke(name).value())) return error->message;
  return std::nullopt;
}

StepResult Type(Session& session, const Step& step) { return Result(session.user.type(Arg(step, 0))); }
StepResult Menu(Session& session, const Step& step) { return Result(session.user.menu(Args(step, 0))); }
StepResult Pick(Session& session, const Step& step) { return Result(session.user.pick(Args(step, 0))); }
StepResult Ok(Session& session, const Step&) { return Result(session.user.ok()); }

StepResult Answer(Session& session, const Step& step) {
  const std::string& answer = step.args[0];
  int id = answer == "ok" ? IDOK : answer == "cancel" ? IDCANCEL : answer == "yes" ? IDYES : IDNO;
  return Result(session.user.answer(id));
}

StepResult InputPanel(Session& session, const Step& step) {
  session.user.inputPanel(step.args[0] == "on");
  return std::nullopt;
}

StepResult Show(Session& session, const Step&) {
  session.transcript << Narrow(ListForegroundWindow(session.user));
  return std::nullopt;
}

}  // namespace sim::scenario
