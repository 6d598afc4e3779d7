// Setting up the device: files, folders, shortcuts, recording programs, the screen
// the handheld was booted with, and armed failures.
#include <windows.h>

#include "kernel/image_registry.h"
#include "scenario/device_files.h"
#include "scenario/session.h"
#include "scenario/steps.h"

namespace sim::scenario {

// The handheld was booted with the screen the script names; this confirms it.
StepResult Screen(Session& session, const Step& step) {
  const DeviceConfig& config = session.device().config();
  if (config.screenWidth == ParseInteger<int>(step.args[0]) && config.screenHeight == ParseInteger<int>(step.args[1]))
    return std::nullopt;
  return "the handheld was booted with a " + std::to_string(config.screenWidth) + " x " +
         std::to_string(config.screenHeight) + " screen";
}

StepResult Folder(Session&, const Step& step) {
  if (!MakeFolders(Arg(step, 0))) return "cannot make the folder " + step.args[0];
  return std::nullopt;
}

StepResult File(Session&, const Step& step) {
  if (!WriteWholeFile(Arg(step, 0), step.args.size() > 1 ? step.args[1] : std::string()))
    return "cannot write the file " + step.args[0];
  return std::nullopt;
}

StepResult Sized(Session&, const Step& step) {
  if (!WriteWholeFile(Arg(step, 0), std::string(), ParseInteger<ULONGLONG>(step.args[1]).value()))
    return "cannot write the file " + step.args[0];
  return std::nullopt;
}

StepResult Shortcut(Session&, const Step& step) {
  std::u16string path = Arg(step, 0);
  std::u16string target = Arg(step, 1);
  if (!ParentOf(path).empty()) MakeFolders(ParentOf(path));
  DeleteFileW(path.c_str());
  if (!SHCreateShortcut(path.data(), target.data())) return "cannot write the shortcut " + step.args[0];
  return std::nullopt;
}

StepResult Remove(Session&, const Step& step) {
  if (!RemoveTree(Arg(step, 0))) return "cannot remove " + step.args[0];
  return std::nullopt;
}

StepResult Program(Session& session, const Step& step) {
  std::u16string path = Arg(step, 0);
  ProgramImage image;
  image.path = path;
  image.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; };
  session.device().service<ImageRegistry>().install(std::move(image));
  if (!ParentOf(path).empty()) MakeFolders(ParentOf(path));
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && !WriteWholeFile(path, ""))
    return "cannot install the program " + step.args[0];
  return std::nullopt;
}

StepResult Fail(Session& session, const Step& step) {
  FailRequest request = ParseFail(step.args).value();
  session.device().faults().arm(request.operation, request.count, 0, request.skip);
  return std::nullopt;
}

}  // namespace sim::scenario
