// The dialog library as an installable library image beside the companion.
#include "vornkit_image.h"

#include "kernel/image.h"
#include "vornkit.h"

extern "C" const unsigned char vornkit_resources[];
extern "C" const std::size_t vornkit_resources_size;

std::vector<sim::ImageExport> VornkitExports();

sim::ProgramImage VornkitImage() {
  sim::ProgramImage image;
  image.path = u"\\Program Files\\Brackenway\\Vornkit.dll";
  image.kind = sim::ProgramImage::Kind::Library;
  image.attach = VornkitAttach;
  image.exports = VornkitExports();
  image.startup = ResetVornkitGlobals;
  image.resources = std::span<const unsigned char>(vornkit_resources, vornkit_resources_size);
  return image;
}
