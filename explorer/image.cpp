// The File Explorer as an installable program image: \Windows\fexplore.exe.
#include "explorer_image.h"

#include "explorer.h"
#include "kernel/image.h"

std::vector<std::span<std::byte>> explorer_image_data();

sim::ProgramImage ExplorerImage() {
  sim::ProgramImage image;
  image.path = u"\\Windows\\fexplore.exe";
  image.kind = sim::ProgramImage::Kind::Program;
  image.main = explorer::ExplorerMain;
  image.data = explorer_image_data();
  return image;
}
