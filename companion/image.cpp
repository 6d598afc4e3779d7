// The companion as an installable program image: \Program Files\Brackenway\Brackenway.exe.
#include "companion.h"
#include "brackenway_image.h"

#include "kernel/image.h"

extern "C" const unsigned char brackenway_resources[];
extern "C" const std::size_t brackenway_resources_size;

sim::ProgramImage BrackenwayImage() {
  sim::ProgramImage image;
  image.path = u"\\Program Files\\Brackenway\\Brackenway.exe";
  image.kind = sim::ProgramImage::Kind::Program;
  image.main = BrackenwayMain;
  image.startup = ResetCompanionState;
  image.cleanup = ResetCompanionState;
  image.resources = std::span<const unsigned char>(brackenway_resources, brackenway_resources_size);
  return image;
}
