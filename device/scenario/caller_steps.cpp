// The caller program: a small program at \Windows\chooser.exe that calls the dialog
// library's exports the way another program of the device would, with the window
// in front as owner.
#include <windows.h>

#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "scenario/session.h"
#include "scenario/steps.h"

namespace sim::scenario {

namespace {

constexpr const char16_t* kLibraryPath = u"\\Program Files\\Brackenway\\Vornkit.dll";

using FolderTreeEntry = int (*)(HWND, LPCWSTR, LPWSTR);
using ChooserEntry = int (*)(HWND, LPCWSTR, LPWSTR, int);
using VersionEntry = int (*)(int);

struct ChooserCall {
  int ordinal;
  HWND owner;
  std::u16string title;
  std::u16string path;
  int mustExist;
};

int CallChooser(const ChooserCall& call, ChooserResult& result) {
  HMODULE library = LoadLibraryW(kLibraryPath);
  if (!library) return 1;
  WCHAR buffer[MAX_PATH] = {};
  for (std::size_t i = 0; i < call.path.size() && i < MAX_PATH - 1; ++i) buffer[i] = call.path[i];
  FARPROC proc = GetProcAddressW(library, MAKEINTRESOURCEW(call.ordinal));
  int answer = 0;
  if (call.ordinal == 4 && proc)
    answer = reinterpret_cast<FolderTreeEntry>(proc)(call.owner, call.title.c_str(), buffer);
  else if (proc)
    answer = reinterpret_cast<ChooserEntry>(proc)(call.owner, call.title.c_str(), buffer, call.mustExist);
  result.result = answer;
  result.path = buffer;
  result.done = true;
  FreeLibrary(library);
  return 0;
}

// Starts the caller program running `body`. A start that fails (an injected
// failure of CreateProcessW) is noted in the transcript and logged as a failed
// start, as for `start`; the call then has no result.
void StartCaller(Session& session, std::function<int()> body) {
  ProgramImage image;
  image.path = kCallerProgramPath;
  image.main = [body = std::move(body)](HINSTANCE, HINSTANCE, LPWSTR, int) { return body(); };
  session.device().service<ImageRegistry>().install(std::move(image));
  auto started = session.device().service<ProcessTable>().start(kCallerProgramPath, u"");
  if (!started.process)
    session.transcript << "    the start of the caller program failed with error " << started.error << "\n";
}

}  // namespace

StepResult Chooser(Session& session, const Step& step) {
  int ordinal = step.args[0] == "file" ? 2 : step.args[0] == "folder" ? 3 : 4;
  ChooserCall call{ordinal, session.user.foreground(), Arg(step, 1), Arg(step, 2), step.args.size() > 3 ? 1 : 0};
  auto result = std::make_shared<ChooserResult>();
  session.chosen = result;
  StartCaller(session, [=]() { return CallChooser(call, *result); });
  return std::nullopt;
}

// The caller program asks the library's version table (ordinal 1) for one entry.
StepResult Version(Session& session, const Step& step) {
  auto result = std::make_shared<ChooserResult>();
  session.chosen = result;
  int which = ParseInteger<int>(step.args[0]).value();
  StartCaller(session, [=]() -> int {
    HMODULE library = LoadLibraryW(kLibraryPath);
    if (!library) return 1;
    FARPROC proc = GetProcAddressW(library, MAKEINTRESOURCEW(1));
    if (proc) {
      result->result = reinterpret_cast<VersionEntry>(proc)(which);
      result->done = true;
    }
    FreeLibrary(library);
    return proc ? 0 : 1;
  });
  return std::nullopt;
}

}  // namespace sim::scenario
