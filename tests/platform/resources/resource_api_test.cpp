#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "kernel/device.h"
#include "tests/support/test_device.h"
#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "test_image.h"
#include "test_resource_ids.h"

namespace {

// A device with the test resources installed as the image of a program.
class ResourceApi : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = install(u"\\Windows\\restest.exe", test_support::Image(), [](HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; });
  }

  HMODULE install(std::u16string path, std::span<const unsigned char> resources,
                  std::function<int(HINSTANCE, HINSTANCE, LPWSTR, int)> main) {
    sim::ProgramImage image;
    image.path = std::move(path);
    image.resources = resources;
    image.main = std::move(main);
    auto& registry = device_->service<sim::ImageRegistry>();
    return registry.moduleHandle(*registry.install(std::move(image)));
  }

  test_support::TestDevice device_;
  HMODULE module_ = nullptr;
};

TEST_F(ResourceApi, FindsLoadsAndSizesResourcesByNumberTextAndHashForm) {
  HRSRC dialog = FindResourceW(module_, MAKEINTRESOURCEW(IDD_CONFIRM), RT_DIALOG);
  ASSERT_NE(dialog, nullptr);
  HGLOBAL loaded = LoadResource(module_, dialog);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(LockResource(loaded), loaded);
  auto expected = test_support::Bytes(5, IDD_CONFIRM);
  EXPECT_EQ(static_cast<const unsigned char*>(loaded), expected.data()) << "points into the image";
  EXPECT_EQ(SizeofResource(module_, dialog), expected.size());

  EXPECT_EQ(FindResourceW(module_, u"#102", RT_DIALOG), dialog);
  EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(IDD_CONFIRM), u"#5"), dialog);
  HRSRC named = FindResourceW(module_, u"Named_Blob", u"customtype");
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(LoadResource(module_, named)), 5), "named");
}

TEST_F(ResourceApi, ReportsWhatWasMissing) {
  SetLastError(0);
  EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(99)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(999), RT_DIALOG), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(FindResourceExW(module_, RT_RCDATA, MAKEINTRESOURCEW(IDR_ENGLISH_ONLY), 0x411), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));
  HRSRC english = FindResourceExW(module_, RT_RCDATA, MAKEINTRESOURCEW(IDR_LANGUAGES), 0x409);
  ASSERT_NE(english, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(LoadResource(module_, english)), 7), "english");

  // Handles the loader never gave out are refused, not followed.
  int bogus = 0;
  EXPECT_EQ(LoadResource(module_, reinterpret_cast<HRSRC>(&bogus)), nullptr);
  EXPECT_EQ(SizeofResource(module_, reinterpret_cast<HRSRC>(&bogus)), 0u);
  EXPECT_EQ(FindResourceW(reinterpret_cast<HMODULE>(0x1234), MAKEINTRESOURCEW(IDD_CONFIRM), RT_DIALOG), nullptr);
}

TEST_F(ResourceApi, MalformedImageFindsNothing) {
  static const unsigned char garbage[] = {1, 0, 0, 0, 0xFF, 0xFF, 0, 0};
  HMODULE broken = install(u"\\Windows\\broken.exe", garbage, {});
  SetLastError(0);
  EXPECT_EQ(FindResourceW(broken, MAKEINTRESOURCEW(1), RT_DIALOG), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
}

TEST_F(ResourceApi, LoadStringCopiesTruncatesOrLendsThePointer) {
  WCHAR buffer[16];
  EXPECT_EQ(LoadStringW(module_, IDS_CANCEL, buffer, 16), 5);
  EXPECT_EQ(std::u16string(buffer), u"ｷｬﾝｾﾙ");
  EXPECT_EQ(LoadStringW(module_, IDS_CANCEL, buffer, 3), 2);
  EXPECT_EQ(std::u16string(buffer), u"ｷｬ");
  EXPECT_EQ(LoadStringW(module_, IDS_CANCEL, buffer, 1), 0);
  EXPECT_EQ(buffer[0], 0);

  const WCHAR* lent = nullptr;
  EXPECT_EQ(LoadStringW(module_, IDS_VIEW, reinterpret_cast<LPWSTR>(&lent), 0), 2);
  ASSERT_NE(lent, nullptr);
  EXPECT_EQ(std::u16string(lent, 2), u"表示");

  buffer[0] = u'x';
  EXPECT_EQ(LoadStringW(module_, IDS_EMPTY_SLOT, buffer, 16), 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(LoadStringW(module_, IDS_OK, nullptr, 16), 0);
}

TEST_F(ResourceApi, NullModuleMeansTheCallingProgram) {
  std::u16string seen;
  install(u"\\Windows\\caller.exe", test_support::Image(), [&](HINSTANCE, HINSTANCE, LPWSTR, int) {
    WCHAR text[8] = {};
    LoadStringW(nullptr, IDS_FIRST, text, 8);
    seen = text;
    return FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_FOLDER), RT_DIALOG) ? 1 : 2;
  });
  ASSERT_NE(sim::StartProgram(*device_, u"\\Windows\\caller.exe", u""), nullptr);
  device_->scheduler().runUntilIdle();
  EXPECT_EQ(seen, u"最初");
}

}  // namespace
