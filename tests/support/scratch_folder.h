// A host folder of the test's own: made fresh, with a name no other test or test
// program shares, and removed with everything in it when the scope ends, whether the
// test passed, failed an assertion or threw.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>

#include <filesystem>
#include <string>
#include <system_error>

namespace test_support {

class ScratchFolder {
 public:
  ScratchFolder() : path_(Make()) {}
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  static std::filesystem::path Make() {
    std::string pattern = (std::filesystem::temp_directory_path() / "handheld-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::filesystem::filesystem_error("cannot make a scratch folder", pattern, std::error_code(errno, std::generic_category()));
    return pattern;
  }

  std::filesystem::path path_;
};

}  // namespace test_support
