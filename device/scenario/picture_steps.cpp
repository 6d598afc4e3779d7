// Pictures of the screen: a screenshot kept for a person to look at, and the screen
// compared pixel for pixel with a golden image kept beside the scenario.
#include <filesystem>
#include <string>

#include "gdi/png.h"
#include "scenario/session.h"
#include "scenario/steps.h"

namespace sim::scenario {

namespace {

namespace fs = std::filesystem;

constexpr char kNoHostFiles[] =
    "this handheld keeps no pictures on the host: screenshot and expect screen work in `handheld run`";

fs::path OutputFile(const Session& session, const fs::path& name) {
  return name.is_absolute() ? name : session.screenFiles.outputFolder / name;
}

// Writes the picture, making the folders above it; the reason when it cannot.
StepResult Keep(const PixelBuffer& pixels, const fs::path& file) {
  std::error_code ignored;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ignored);
  std::string why;
  if (WritePng(pixels, file, &why)) return std::nullopt;
  return "cannot write the picture " + file.string() + ": " + why;
}

std::string Size(const PixelBuffer& pixels) {
  return std::to_string(pixels.width()) + " x " + std::to_string(pixels.height());
}

std::string Box(const RECT& box) {
  return "(" + std::to_string(box.left) + ", " + std::to_string(box.top) + ")-(" + std::to_string(box.right - 1) +
         ", " + std::to_string(box.bottom - 1) + ")";
}

StepResult UpdateGolden(Session& session, const PixelBuffer& screen, const fs::path& golden, const std::string& was) {
  if (auto problem = Keep(screen, golden)) return problem;
  session.transcript << "    golden image " << golden.string() << " written (" << was << ")\n";
  return std::nullopt;
}

// The golden image cannot be read: the screen is kept where the failure says.
StepResult NoGolden(Session& session, const PixelBuffer& screen, const fs::path& golden, const std::string& why) {
  fs::path actual = OutputFile(session, golden.stem().string() + ".actual.png");
  if (auto problem = Keep(screen, actual)) return problem;
  return "cannot read the golden image " + golden.string() + " (" + why + "); the screen is in " + actual.string() +
         " (--update-screens makes the golden image)";
}

StepResult Mismatch(Session& session, const PixelBuffer& screen, const fs::path& golden, const ScreenComparison& found,
                    const PixelBuffer& expected) {
  fs::path actual = OutputFile(session, golden.stem().string() + ".actual.png");
  fs::path difference = OutputFile(session, golden.stem().string() + ".diff.png");
  if (auto problem = Keep(screen, actual)) return problem;
  if (auto problem = Keep(*found.picture, difference)) return problem;
  std::string what = found.sizesDiffer ? "the screen is " + Size(screen) + ", the golden image " + Size(expected)
                                       : std::to_string(found.differentPixels) + " pixels differ within " +
                                             Box(found.differences);
  return "the screen differs from the golden image " + golden.string() + ": " + what + "; the screen is in " +
         actual.string() + ", the differences (in red) in " + difference.string();
}

}  // namespace

StepResult Screenshot(Session& session, const Step& step) {
  if (!session.screenFiles.hostFiles) return std::string(kNoHostFiles);
  fs::path file = OutputFile(session, step.args[0]);
  if (auto problem = Keep(session.user.screen(), file)) return problem;
  session.transcript << "    screen written to " << file.string() << "\n";
  return std::nullopt;
}

StepResult ExpectScreen(Session& session, const Step& step) {
  const ScreenFiles& files = session.screenFiles;
  if (!files.hostFiles) return std::string(kNoHostFiles);
  fs::path golden = files.scriptFolder / step.args[0];
  const PixelBuffer& screen = session.user.screen();
  std::string why;
  auto expected = ReadPng(golden, &why);
  if (!expected)
    return files.updateGolden ? UpdateGolden(session, screen, golden, "it was missing")
                              : NoGolden(session, screen, golden, why);
  ScreenComparison found = CompareScreens(screen, *expected);
  if (found.same) return std::nullopt;
  if (files.updateGolden)
    return UpdateGolden(session, screen, golden, std::to_string(found.differentPixels) + " pixels differed");
  return Mismatch(session, screen, golden, found, *expected);
}

}  // namespace sim::scenario
