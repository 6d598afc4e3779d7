#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "tests/support/test_device.h"
#include "library/sample_library.h"

namespace {

// An export as the function type its caller knows it by.
template <class Function>
Function as(FARPROC address) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

TEST(Modules, ALibraryAttachesOncePerProcessAndExportsByTheOrdinalsOfItsDef) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  std::vector<std::string> attachLog;
  device.service<sim::ImageRegistry>().install(SampleLibraryImage(u"\\Windows\\sample.dll", attachLog));
  struct Seen {
    HMODULE first = nullptr, second = nullptr;
    int sum = 0, attachedWhileLoaded = 0;
    std::u16string name;
    bool byNameMatchesOrdinal = false;
    FARPROC missing = reinterpret_cast<FARPROC>(1);
    DWORD missingError = 0;
  } seen;
  DWORD pid = 0;
  booted.launch(u"\\Program Files\\App\\app.exe", [&] {
    pid = GetCurrentProcessId();
    seen.first = LoadLibraryW(u"sample.dll");  // not beside the program: found in \Windows
    seen.second = LoadLibraryW(u"\\WINDOWS\\SAMPLE.DLL");
    auto add = as<int (*)(int, int)>(GetProcAddressW(seen.first, MAKEINTRESOURCE(3)));
    seen.sum = add ? add(2, 3) : -1;
    seen.byNameMatchesOrdinal =
        reinterpret_cast<void*>(GetProcAddress(seen.first, "SampleAdd")) == reinterpret_cast<void*>(add);
    auto name = as<const WCHAR* (*)()>(GetProcAddressW(seen.first, u"SampleName"));
    seen.name = name ? name() : u"";
    auto attached = as<int (*)()>(GetProcAddressW(seen.first, MAKEINTRESOURCE(7)));
    seen.attachedWhileLoaded = attached ? attached() : -100;
    seen.missing = GetProcAddressW(seen.first, MAKEINTRESOURCE(2));
    seen.missingError = GetLastError();
    FreeLibrary(seen.second);
    attachLog.push_back("one free left");
    FreeLibrary(seen.first);
    return 0;
  });
  device.scheduler().runUntilIdle();
  EXPECT_NE(seen.first, nullptr);
  EXPECT_EQ(seen.first, seen.second);
  EXPECT_EQ(seen.sum, 5);
  EXPECT_TRUE(seen.byNameMatchesOrdinal);
  EXPECT_EQ(seen.name, u"sample");
  EXPECT_EQ(seen.attachedWhileLoaded, 1);
  EXPECT_EQ(seen.missing, nullptr);
  EXPECT_EQ(seen.missingError, static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  const std::string p = std::to_string(pid);
  EXPECT_EQ(attachLog, (std::vector<std::string>{"attach " + p, "one free left", "detach " + p + " freed"}));
  EXPECT_EQ(SampleAttachedProcesses(), -1) << "the library's globals went with its last user";
}

TEST(Modules, ABareNameIsFoundBesideTheProgramFirstAndDetachesWhenTheProcessEnds) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  std::vector<std::string> besideLog, systemLog;
  auto& registry = device.service<sim::ImageRegistry>();
  registry.install(SampleLibraryImage(u"\\Windows\\sample.dll", systemLog));
  registry.install(SampleLibraryImage(u"\\Program Files\\App\\sample.dll", besideLog));
  std::u16string loadedFrom;
  DWORD unknownError = 0;
  DWORD pid = 0;
  booted.launch(u"\\Program Files\\App\\app.exe", [&] {
    pid = GetCurrentProcessId();
    HMODULE library = LoadLibraryW(u"Sample");  // ".dll" is implied
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(library, path, MAX_PATH);
    loadedFrom = path;
    LoadLibraryW(u"absent.dll");
    unknownError = GetLastError();
    return 0;  // ends without FreeLibrary
  });
  device.scheduler().runUntilIdle();
  EXPECT_EQ(loadedFrom, u"\\Program Files\\App\\sample.dll");
  EXPECT_EQ(unknownError, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  const std::string p = std::to_string(pid);
  EXPECT_EQ(besideLog, (std::vector<std::string>{"attach " + p, "detach " + p + " ending"}));
  EXPECT_TRUE(systemLog.empty());
}

TEST(Modules, GetModuleFileNameTruncatesToTheBufferAndAlwaysTerminates) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  const std::u16string path = u"\\Windows\\namer.exe";  // 18 characters
  struct Call {
    DWORD result;
    DWORD error;
    std::u16string text;
  };
  std::vector<Call> calls;
  booted.launch(path, [&] {
    for (DWORD size : {DWORD{19}, DWORD{18}, DWORD{5}}) {
      WCHAR buffer[32];
      std::fill(std::begin(buffer), std::end(buffer), u'#');
      SetLastError(0);
      DWORD result = GetModuleFileNameW(nullptr, buffer, size);
      calls.push_back({result, GetLastError(), std::u16string(buffer, size)});
    }
    return 0;
  });
  device.scheduler().runUntilIdle();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].result, 18u);
  EXPECT_EQ(calls[0].error, 0u);
  EXPECT_EQ(calls[0].text, path + u'\0');
  EXPECT_EQ(calls[1].result, 18u);
  EXPECT_EQ(calls[1].error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(calls[1].text, path.substr(0, 17) + u'\0');
  EXPECT_EQ(calls[2].result, 5u);
  EXPECT_EQ(calls[2].text, std::u16string(u"\\Win") + u'\0');
}

}  // namespace
