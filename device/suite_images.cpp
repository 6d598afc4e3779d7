#include "suite_images.h"

#include "companion.h"
#include "setup.h"
#include "vornkit.h"

extern "C" const unsigned char brackenway_resources[];
extern "C" const std::size_t brackenway_resources_size;
extern "C" const unsigned char vornkit_resources[];
extern "C" const std::size_t vornkit_resources_size;
extern "C" const unsigned char brackenwayconf_resources[];
extern "C" const std::size_t brackenwayconf_resources_size;

// Generated from vornkit.def and by cmake/ImageData.cmake.
std::vector<sim::ImageExport> VornkitExports();
std::vector<std::span<std::byte>> brackenway_image_data();
std::vector<std::span<std::byte>> vornkit_image_data();
std::vector<std::span<std::byte>> brackenwayconf_image_data();

namespace sim {

namespace {

constexpr char16_t kSuiteFolder[] = u"\\Program Files\\Brackenway\\";

}  // namespace

ProgramImage BrackenwayImage() {
  ProgramImage image;
  image.path = std::u16string(kSuiteFolder) + u"Brackenway.exe";
  image.kind = ProgramImage::Kind::Program;
  image.main = BrackenwayMain;
  image.startup = ResetCompanionState;
  image.cleanup = ResetCompanionState;
  // The folder tree, bound when each process of the companion starts.
  image.imports = {ImageImport{VORNKIT_LIBRARY, FOLDER_TREE_ORDINAL, &folderTreeImport}};
  image.resources = std::span<const unsigned char>(brackenway_resources, brackenway_resources_size);
  image.data = brackenway_image_data();
  return image;
}

ProgramImage VornkitImage() {
  ProgramImage image;
  image.path = std::u16string(kSuiteFolder) + u"Vornkit.dll";
  image.kind = ProgramImage::Kind::Library;
  image.attach = VornkitAttach;
  image.exports = VornkitExports();
  image.startup = ResetVornkitGlobals;
  image.resources = std::span<const unsigned char>(vornkit_resources, vornkit_resources_size);
  image.data = vornkit_image_data();
  return image;
}

ProgramImage BrackenwayConfImage() {
  ProgramImage image;
  image.path = std::u16string(kSuiteFolder) + u"BrackenwayConf.exe";
  image.kind = ProgramImage::Kind::Program;
  image.main = BrackenwayConfMain;
  image.startup = ResetSetupTexts;
  image.resources = std::span<const unsigned char>(brackenwayconf_resources, brackenwayconf_resources_size);
  image.data = brackenwayconf_image_data();
  return image;
}

}  // namespace sim
