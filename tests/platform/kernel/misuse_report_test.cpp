// How misuse reaches a test: an undeclared one fails it with its description, a
// declared one is taken and counted.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <windows.h>

#include "kernel/process.h"
#include "kernel_test_device.h"
#include "tests/support/misuse.h"

namespace {

using kernel_test::deviceConfig;

HANDLE Bogus() { return reinterpret_cast<HANDLE>(std::uintptr_t{0x4321}); }

TEST(MisuseReport, AnUndeclaredMisuseFailsTheTestWithWhoCalledWhatWithWhich) {
  EXPECT_NONFATAL_FAILURE(
      {
        sim::Device device(deviceConfig());
        CloseHandle(Bogus());
      },
      "misuse of the platform: driver: CloseHandle(0x4321): not an open handle");
  // A program's thread reports it too, naming the program.
  EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
      {
        sim::Device device(deviceConfig());
        sim::StartFunction(device, u"\\Windows\\careless.exe", [] { return FreeLibrary(nullptr) ? 0 : 1; });
        device.scheduler().runUntilIdle();
      },
      "\\Windows\\careless.exe: FreeLibrary(NULL): not a library this program has loaded");
}

TEST(MisuseReport, ADeclaredMisuseIsTakenAndMustComeAsOftenAsDeclared) {
  sim::Device device(deviceConfig());
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
