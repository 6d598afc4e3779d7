#include "program_catalog.h"

#include "explorer_image.h"
#include "suite_images.h"

namespace sim {

namespace {

// A program that only records that it ran: the start log keeps its command line.
ProgramImage RecordingProgram(std::u16string path) {
  ProgramImage image;
  image.path = std::move(path);
  image.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; };
  return image;
}

}  // namespace

ProgramCatalog StandardPrograms() {
  ProgramCatalog catalog;
  catalog.push_back({"File Explorer", [] { return ExplorerImage(); }});
  catalog.push_back({"Brackenway", [] { return BrackenwayImage(); }});
  catalog.push_back({"Vornkit", [] { return VornkitImage(); }});
  catalog.push_back({"BrackenwayConf", [] { return BrackenwayConfImage(); }});
  catalog.push_back({"Notes", [] { return RecordingProgram(u"\\Windows\\notes.exe"); }});
  catalog.push_back({"Viewer", [] { return RecordingProgram(u"\\Windows\\viewer.exe"); }});
  return catalog;
}

}  // namespace sim
