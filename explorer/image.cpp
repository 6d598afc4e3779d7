// The File Explorer as an installable program image: \Windows\fexplore.exe.
#include "explorer_image.h"

#include "explorer.h"
#include "kernel/image.h"

sim::ProgramImage ExplorerImage() {
  sim::ProgramImage image;
  image.path = u"\\Windows\\fexplore.exe";
  image.kind = sim::ProgramImage::Kind::Program;
  image.main = explorer::ExplorerMain;
  return image;
}
