// How misuse reaches a test: an undeclared one fails it with its description, a
// declared one is taken and counted. And what else the fixture holds a test to.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "kernel/process.h"
#include "tests/support/test_device.h"

namespace {

HANDLE Bogus() { return reinterpret_cast<HANDLE>(std::uintptr_t{0x4321}); }

TEST(MisuseReport, AnUndeclaredMisuseFailsTheTestWithWhoCalledWhatWithWhich) {
  EXPECT_NONFATAL_FAILURE(
      {
        test_support::TestDevice booted;
        sim::Device& device = *booted;
        CloseHandle(Bogus());
      },
      "misuse of the platform: driver: CloseHandle(0x4321): not an open handle");
  // A program's thread reports it too, naming the program.
  EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
      {
        test_support::TestDevice booted;
        sim::Device& device = *booted;
        booted.launch(u"\\Windows\\careless.exe", [] { return FreeLibrary(nullptr) ? 0 : 1; });
        device.scheduler().runUntilIdle();
      },
      "\\Windows\\careless.exe: FreeLibrary(NULL): not a library this program has loaded");
}

TEST(MisuseReport, ADeclaredMisuseIsTakenAndMustComeAsOftenAsDeclared) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  {
    test_support::ExpectMisuse closed("CloseHandle", 2);
    CloseHandle(Bogus());
    CloseHandle(Bogus());
    EXPECT_EQ(closed.faults().size(), 2u);
  }
  EXPECT_NONFATAL_FAILURE({ test_support::ExpectMisuse never("CloseHandle"); }, "misuses of CloseHandle");
  // The scope takes only its own call: another misuse still fails the test.
  EXPECT_NONFATAL_FAILURE(
      {
        test_support::ExpectMisuse closed("CloseHandle");
        CloseHandle(Bogus());
        SetEvent(Bogus());
      },
      "SetEvent(0x4321)");
  EXPECT_EQ(device.faults().programFaults().size(), 4u) << "the device records every one";
}

}  // namespace

namespace {

// The fixture's own promises: a body it started must run, and its folder goes
// however the test ends.
TEST(TestFixture, FailsTheTestWhenAProgramBodyNeverRan) {
  EXPECT_NONFATAL_FAILURE(
      {
        test_support::TestDevice booted;
        booted.launch(u"\\Windows\\never.exe", [] { return 0; });
      },
      "the body of \\Windows\\never.exe never ran");
  // A body that runs satisfies it, whatever it returns.
  test_support::TestDevice booted;
  EXPECT_EQ(booted.run([] { return 7; }), 7u);
}

TEST(TestFixture, RemovesItsFolderAfterAFailedAssertionOrAnException) {
  static std::filesystem::path root;
  EXPECT_FATAL_FAILURE(
      {
        test_support::TestDevice booted;
        root = booted.root();
        std::ofstream(root / "left.txt") << "behind";
        ASSERT_TRUE(false) << "stopped early";
      },
      "stopped early");
  EXPECT_FALSE(root.empty());
  EXPECT_FALSE(std::filesystem::exists(root));

  root.clear();
  EXPECT_THROW(
      {
        test_support::TestDevice booted;
        root = booted.root();
        std::filesystem::create_directories(root / "Windows" / "deep");
        throw std::runtime_error("thrown");
      },
      std::runtime_error);
  EXPECT_FALSE(root.empty());
  EXPECT_FALSE(std::filesystem::exists(root));
}

}  // namespace
