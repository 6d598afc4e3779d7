// The setup tool as an installable program image, beside the companion.
#include "brackenwayconf_image.h"

#include "kernel/image.h"
#include "setup.h"

extern "C" const unsigned char brackenwayconf_resources[];
extern "C" const std::size_t brackenwayconf_resources_size;

sim::ProgramImage BrackenwayConfImage() {
  sim::ProgramImage image;
  image.path = u"\\Program Files\\Brackenway\\BrackenwayConf.exe";
  image.kind = sim::ProgramImage::Kind::Program;
  image.main = BrackenwayConfMain;
  image.startup = ResetSetupTexts;
  image.resources = std::span<const unsigned char>(brackenwayconf_resources, brackenwayconf_resources_size);
  return image;
}
