#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "device_listing.h"
#include "handheld.h"
#include "kernel/image_registry.h"
#include "tests/support/misuse.h"
#include "tests/support/scratch_folder.h"

namespace {

sim::HandheldOptions WithoutPrograms() {
  sim::HandheldOptions options;
  options.programs.clear();
  options.device = test_support::FailOnMisuse(options.device);
  return options;
}

std::string Listing() {
  std::ostringstream out;
  sim::PrintFileTree(out);
  return out.str();
}

}  // namespace

TEST(Handheld, BootsAFreshSampleDeviceAndRemovesItAfterwards) {
  std::filesystem::path folder;
  {
    sim::Handheld handheld(WithoutPrograms());
    folder = handheld.folder();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(GetFileAttributesW(u"\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(u"\\Storage Card"), 0x110u);
    for (const char16_t* folderPath : {u"\\Windows\\Desktop", u"\\My Documents\\Personal", u"\\Temp", u"\\Program Files"})
      EXPECT_EQ(GetFileAttributesW(folderPath), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));

    // Every entry is dated 2001-2002 in device time, whatever the host clock says.
    std::string listing = Listing();
    EXPECT_NE(listing.find("      見積書.pxl"), std::string::npos) << listing;
    EXPECT_NE(listing.find("2002-02-01 14:30:00"), std::string::npos) << listing;
    EXPECT_NE(listing.find("Storage Card\\"), std::string::npos) << listing;
    std::istringstream lines(listing);
    std::string line;
    int dated = 0;
    while (std::getline(lines, line)) {
      if (line == "\\") continue;
      ++dated;
      EXPECT_TRUE(line.find(" 2001-") != std::string::npos || line.find(" 2002-") != std::string::npos) << line;
    }
    EXPECT_GE(dated, 15);
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(Handheld, RefusesASecondHandheldWhileOneRuns) {
  sim::Handheld first(WithoutPrograms());
  EXPECT_THROW(sim::Handheld second(WithoutPrograms()), std::logic_error);
  EXPECT_EQ(GetFileAttributesW(u"\\Temp"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST(Handheld, InstallsCatalogProgramsAsImagesAndFiles) {
  test_support::ScratchFolder scratch;
  const std::filesystem::path& folder = scratch.path();
  std::filesystem::create_directories(folder / "Storage Card");
  {
    sim::HandheldOptions options;
    options.device = test_support::FailOnMisuse(options.device);
    options.folder = folder;
    options.programs = {{"Recorder", [] {
                           sim::ProgramImage image;
                           image.path = u"\\Program Files\\Tools\\recorder.exe";
                           image.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; };
                           return image;
                         }}};
    sim::Handheld handheld(options);
    EXPECT_EQ(handheld.installedPrograms(), std::vector<std::u16string>{u"\\Program Files\\Tools\\recorder.exe"});
    EXPECT_NE(handheld.device().service<sim::ImageRegistry>().find(u"\\program files\\tools\\RECORDER.EXE"), nullptr);
    EXPECT_EQ(GetFileAttributesW(u"\\Program Files\\Tools\\recorder.exe"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    // A folder handheld gets no sample files, but its card is still a card.
    EXPECT_EQ(GetFileAttributesW(u"\\My Documents"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(u"\\Storage Card"), 0x110u);
  }
  // The host folder given to the handheld is the user's: it stays, with what the device wrote.
  EXPECT_TRUE(std::filesystem::exists(folder / "Program Files" / "Tools" / "recorder.exe"));
}
