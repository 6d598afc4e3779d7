// Each process has its own copy of the data of the images it runs or loads, and a
// program's imports are bound when its process starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "tests/support/test_device.h"
#include "library/sample_library.h"
#include "program/counting_program.h"

namespace {

std::string id(const sim::Process* process) { return std::to_string(process->id); }

TEST(ProcessData, TwoProcessesOfOneProgramKeepTheirOwnGlobalsAndALaterOneStartsFresh) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  std::vector<std::string> log;
  HANDLE gate = nullptr;
  device.service<sim::ImageRegistry>().install(CountingProgramImage(u"\\Windows\\count.exe", &gate, log));

  gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  auto* first = sim::StartProgram(device, u"\\Windows\\count.exe", u"");
  auto* second = sim::StartProgram(device, u"\\Windows\\count.exe", u"");
  device.scheduler().runUntilIdle();
  ASSERT_TRUE(first && second);
  EXPECT_EQ(device.service<sim::ProcessTable>().running(u"\\Windows\\count.exe").size(), 2u);
  SetEvent(gate);
  device.scheduler().runUntilIdle();
  EXPECT_EQ(first->exitCode, 2u) << "each counted only its own steps, kept its own text";
  EXPECT_EQ(second->exitCode, 2u);

  CloseHandle(gate);
  gate = nullptr;
  auto* third = sim::StartProgram(device, u"\\Windows\\count.exe", u"");
  device.scheduler().runUntilIdle();
  ASSERT_TRUE(third);
  EXPECT_EQ(third->exitCode, 2u) << "a process started after the others ended starts from fresh data";

  // Construction and destruction happen in each process, on its own data.
  EXPECT_EQ(log, (std::vector<std::string>{"construct " + id(first), "construct " + id(second),
                                           "destroy " + id(first) + " after 2", "destroy " + id(second) + " after 2",
                                           "construct " + id(third), "destroy " + id(third) + " after 2"}));
}

TEST(ProcessData, TwoProcessesThatLoadOneLibraryKeepTheirOwnLibraryGlobals) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  std::vector<std::string> attachLog;
  device.service<sim::ImageRegistry>().install(SampleLibraryImage(u"\\Windows\\sample.dll", attachLog));
  struct Seen {
    std::vector<int> counts;
    int attached = 0;
  };
  auto caller = [&device](Seen& seen) {
    return [&device, &seen] {
      HMODULE library = LoadLibraryW(u"sample.dll");
      auto count = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddressW(library, MAKEINTRESOURCE(9))));
      seen.counts.push_back(count());
      Sleep(10);  // the other caller runs meanwhile
      seen.counts.push_back(count());
      seen.attached = SampleAttachedProcesses();
      FreeLibrary(library);
      return 0;
    };
  };
  Seen a, b;
  booted.launch(u"\\Windows\\a.exe", caller(a));
  booted.launch(u"\\Windows\\b.exe", caller(b));
  device.scheduler().settle(10000, 60000);
  EXPECT_EQ(a.counts, (std::vector<int>{1, 2}));
  EXPECT_EQ(b.counts, (std::vector<int>{1, 2}));
  EXPECT_EQ(a.attached, 1) << "each process's copy saw only its own attach";
  EXPECT_EQ(b.attached, 1);
  EXPECT_EQ(attachLog.size(), 4u);
  EXPECT_EQ(SampleAttachedProcesses(), -1) << "the library's data is back as it was installed";
}

TEST(ProcessData, AReplacedWindowProcedureRunsWithTheDataOfTheProcessThatPutItThere) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  std::vector<std::string> log;
  HWND target = nullptr, none = nullptr;
  HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE ask = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  auto& registry = device.service<sim::ImageRegistry>();
  registry.install(CountingProgramImage(u"\\Windows\\subclass.exe", &gate, log, &target));
  registry.install(CountingProgramImage(u"\\Windows\\count.exe", &gate, log, &none));
  LRESULT answers[2] = {};
  booted.launch(u"\\Windows\\host.exe", [&] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"Target";
    RegisterClassW(&wc);
    target = CreateWindowExW(0, u"Target", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    WaitForSingleObject(ask, INFINITE);
    answers[0] = SendMessageW(target, WM_APP, 0, 0);
    answers[1] = CallWindowProcW(CountingWndProc, target, WM_APP, 0, 0);
    DestroyWindow(target);
    return 0;
  });
  device.scheduler().runUntilIdle();
  auto* installer = sim::StartProgram(device, u"\\Windows\\subclass.exe", u"");
  auto* other = sim::StartProgram(device, u"\\Windows\\count.exe", u"");  // its data is in place last
  device.scheduler().runUntilIdle();
  SetEvent(ask);
  device.scheduler().runUntilIdle();
  ASSERT_TRUE(installer && other);
  EXPECT_EQ(answers[0], static_cast<LRESULT>(installer->id)) << "called on the host's thread, with the installer's data";
  EXPECT_EQ(answers[1], static_cast<LRESULT>(installer->id));
  SetEvent(gate);
  device.scheduler().runUntilIdle();
  CloseHandle(gate);
  CloseHandle(ask);
}

// A program that imports the sample library's SampleAdd (ordinal 3); its entry calls
// through the bound slot.
struct ImportingProgram {
  int (*add)(int, int) = nullptr;
  int sum = 0;

  sim::ProgramImage image(std::u16string path, std::u16string library, WORD ordinal) {
    sim::ProgramImage image;
    image.path = std::move(path);
    image.imports = {sim::ImageImport{std::move(library), ordinal, &add}};
    image.main = [this](HINSTANCE, HINSTANCE, LPWSTR, int) {
      sum = add ? add(2, 3) : -1;
      return 0;
    };
    return image;
  }
};

TEST(ProcessData, ImportsAreBoundAtTheStartAndAMissingLibraryOrOrdinalFailsIt) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  std::vector<std::string> attachLog;
  auto& registry = device.service<sim::ImageRegistry>();
  registry.install(SampleLibraryImage(u"\\Windows\\sample.dll", attachLog));
  ImportingProgram bound, noOrdinal, noLibrary;
  registry.install(bound.image(u"\\Windows\\bound.exe", u"sample.dll", 3));
  registry.install(noOrdinal.image(u"\\Windows\\noordinal.exe", u"sample.dll", 42));
  registry.install(noLibrary.image(u"\\Windows\\nolibrary.exe", u"\\Windows\\absent.dll", 3));

  struct Start {
    BOOL started;
    DWORD error;
  };
  std::vector<Start> starts;
  DWORD boundId = 0;
  booted.launch(u"\\Windows\\starter.exe", [&] {
    for (const char16_t* program : {u"\\Windows\\bound.exe", u"\\Windows\\noordinal.exe", u"\\Windows\\nolibrary.exe"}) {
      PROCESS_INFORMATION info{};
      SetLastError(0);
      BOOL started = CreateProcessW(program, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info);
      starts.push_back({started, GetLastError()});
      if (started) {
        boundId = info.dwProcessId;
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
      }
    }
    return 0;
  });
  device.scheduler().runUntilIdle();

  ASSERT_EQ(starts.size(), 3u);
  EXPECT_TRUE(starts[0].started);
  EXPECT_EQ(bound.sum, 5) << "the slot was bound before the entry ran";
  EXPECT_EQ(attachLog.front(), "attach " + std::to_string(boundId)) << "loaded for the importing process";
  for (int failed : {1, 2}) {
    EXPECT_FALSE(starts[failed].started) << failed;
    EXPECT_EQ(starts[failed].error, static_cast<DWORD>(ERROR_BAD_EXE_FORMAT)) << failed;
  }
  EXPECT_EQ(noOrdinal.sum, 0) << "nothing of a failed start ran";
  const auto& log = device.service<sim::ProcessTable>().startLog();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2].error, static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
  EXPECT_EQ(log.back().error, static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
  EXPECT_EQ(log.back().application, u"\\Windows\\nolibrary.exe");
}

}  // namespace
