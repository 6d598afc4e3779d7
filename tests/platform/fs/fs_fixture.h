// A device booted over a host folder inside a scratch folder of the test's own, so
// that a test can reach the host beside the device's files.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fs/object_store.h"
#include "kernel/device.h"
#include "tests/support/misuse.h"
#include "tests/support/scratch_folder.h"

class FsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = scratch_.path();
    root_ = base_ / "device";
    std::filesystem::create_directories(root_);
    sim::DeviceConfig config;
    config.root = root_;
    device_ = std::make_unique<sim::Device>(test_support::FailOnMisuse(config));
  }
  void TearDown() override { device_.reset(); }

  sim::ObjectStore& store() { return device_->service<sim::ObjectStore>(); }

  void hostWrite(const std::filesystem::path& relative, const std::string& bytes) {
    std::filesystem::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative, std::ios::binary) << bytes;
  }
  std::string hostRead(const std::filesystem::path& relative) {
    std::ifstream in(root_ / relative, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Writes a file through the device's API.
  void deviceWrite(const std::u16string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_TRUE(CloseHandle(file));
  }
  std::string deviceRead(const std::u16string& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<cannot open>";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
  }

  // The names a search yields, in order; empty when it fails.
  std::vector<std::u16string> found(const std::u16string& pattern) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.emplace_back(data.cFileName);
    while (FindNextFileW(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    return names;
  }

  test_support::ScratchFolder scratch_;  // the device's folder and room outside it
  std::filesystem::path base_;
  std::filesystem::path root_;
  std::unique_ptr<sim::Device> device_;
};
