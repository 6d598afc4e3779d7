#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "kernel/handles.h"
#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "tests/support/test_device.h"

namespace {

TEST(Processes, TwoProcessesTakeTurnsOnlyAtBlockingCallsInARepeatableOrder) {
  auto runOnce = [] {
    test_support::TestDevice booted;
    sim::Device& device = *booted;
    std::vector<std::string> trace;
    sim::Process& a = booted.launch(u"\\Windows\\a.exe", [&] {
      trace.push_back("a starts");
      HANDLE ping = CreateEventW(nullptr, FALSE, FALSE, u"ping");
      EXPECT_EQ(WaitForSingleObject(ping, INFINITE), WAIT_OBJECT_0);
      trace.push_back("a woke at " + std::to_string(GetTickCount()));
      Sleep(5);
      trace.push_back("a ends at " + std::to_string(GetTickCount()));
      CloseHandle(ping);
      return 3;
    });
    sim::Process& b = booted.launch(u"\\Windows\\b.exe", [&] {
      trace.push_back("b starts");
      HANDLE ping = CreateEventW(nullptr, FALSE, FALSE, u"ping");
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
      SetEvent(ping);  // the waker keeps the CPU
      trace.push_back("b signaled");
      Sleep(1);
      trace.push_back("b ends at " + std::to_string(GetTickCount()));
      CloseHandle(ping);
      return 4;
    });
    device.scheduler().settle(10000, 60000);
    EXPECT_TRUE(a.ended);
    EXPECT_TRUE(b.ended);
    EXPECT_EQ(a.exitCode, 3u);
    EXPECT_EQ(b.exitCode, 4u);
    return trace;
  };
  const auto first = runOnce();
  const std::vector<std::string> expected = {"a starts", "b starts", "b signaled", "a woke at 0", "b ends at 1",
                                             "a ends at 5"};
  EXPECT_EQ(first, expected);
  EXPECT_EQ(runOnce(), first);
}

TEST(Processes, ATenMinuteSleepWakesAtItsDeadlineAndTheWallClockFollows) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  std::optional<SYSTEMTIME> local, utc;
  DWORD before = 1, ticks = 0;
  booted.launch(u"\\Windows\\sleeper.exe", [&] {
    before = GetTickCount();
    Sleep(10 * 60 * 1000);
    ticks = GetTickCount();
    local.emplace();
    utc.emplace();
    GetLocalTime(&*local);
    GetSystemTime(&*utc);
    return 0;
  });
  device.scheduler().runUntil(60 * 60 * 1000);
  EXPECT_EQ(before, 0u);
  EXPECT_EQ(ticks, 600000u) << "the sleeper wakes exactly at its deadline";
  EXPECT_EQ(device.clock().now(), 60u * 60 * 1000);
  ASSERT_TRUE(local && utc);
  // Booted 2002-04-01 00:00 UTC, a Monday, at UTC+9.
  EXPECT_EQ(local->wYear, 2002);
  EXPECT_EQ(local->wMonth, 4);
  EXPECT_EQ(local->wDay, 1);
  EXPECT_EQ(local->wDayOfWeek, 1);
  EXPECT_EQ(local->wHour, 9);
  EXPECT_EQ(local->wMinute, 10);
  EXPECT_EQ(utc->wHour, 0);
  EXPECT_EQ(utc->wMinute, 10);
}

TEST(Processes, AnUnknownProgramFailsWithFileNotFoundAndNothingRuns) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  BOOL started = TRUE;
  DWORD error = 0;
  PROCESS_INFORMATION info{};
  booted.launch(u"\\Windows\\caller.exe", [&] {
    started = CreateProcessW(u"\\Windows\\missing.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             nullptr, &info);
    error = GetLastError();
    return 0;
  });
  device.scheduler().runUntilIdle();
  EXPECT_FALSE(started);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(info.hProcess, nullptr);
  auto& table = device.service<sim::ProcessTable>();
  EXPECT_EQ(table.processes().size(), 1u) << "only the caller ever ran";
  ASSERT_EQ(table.startLog().size(), 2u);
  EXPECT_EQ(table.startLog()[1].application, u"\\Windows\\missing.exe");
  EXPECT_EQ(table.startLog()[1].error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(sim::StartProgram(device, u"\\nowhere\\x.exe", u""), nullptr);
}

TEST(Processes, TheEntryGetsItsCommandLineInstanceAndPath) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  struct Seen {
    std::u16string commandLine, fromApi, fileName;
    bool instanceIsModule = false;
    int show = 0;
  } seen;
  sim::ProgramImage tool;
  tool.path = u"\\Program Files\\My Tools\\tool.exe";
  tool.main = [&](HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show) {
    seen.commandLine = commandLine;
    seen.fromApi = GetCommandLineW();
    WCHAR name[MAX_PATH];
    GetModuleFileNameW(nullptr, name, MAX_PATH);
    seen.fileName = name;
    seen.instanceIsModule = instance == GetModuleHandleW(nullptr) && previous == nullptr;
    seen.show = show;
    return 0;
  };
  device.service<sim::ImageRegistry>().install(std::move(tool));
  // No application name: the program is the first (quoted) token, its case ignored.
  WCHAR line[] = u"\"\\program files\\my tools\\TOOL.EXE\"   \\My Documents\\a b";
  booted.launch(u"\\Windows\\shell.exe", [&] {
    PROCESS_INFORMATION info{};
    EXPECT_TRUE(CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 0;
  });
  device.scheduler().runUntilIdle();
  EXPECT_EQ(seen.commandLine, u"\\My Documents\\a b");
  EXPECT_EQ(seen.fromApi, seen.commandLine);
  EXPECT_EQ(seen.fileName, u"\\Program Files\\My Tools\\tool.exe");
  EXPECT_TRUE(seen.instanceIsModule);
  EXPECT_EQ(seen.show, SW_SHOW);
  auto& log = device.service<sim::ProcessTable>().startLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].application, u"\\program files\\my tools\\TOOL.EXE");
  EXPECT_EQ(log[1].commandLine, u"\\My Documents\\a b");
}

TEST(Processes, WaitsTimeOutOnDeviceTimeOrReturnWhenSignaled) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  std::vector<std::string> trace;
  sim::ProgramImage child;
  child.path = u"\\Windows\\child.exe";
  child.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) {
    Sleep(500);
    return 42;
  };
  device.service<sim::ImageRegistry>().install(std::move(child));
  booted.launch(u"\\Windows\\parent.exe", [&] {
    PROCESS_INFORMATION info{};
    CreateProcessW(u"child.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    trace.push_back("code " + std::to_string(code));
    auto waited = [&](std::string what, DWORD result) {
      trace.push_back(what + " " + std::to_string(result) + " at " + std::to_string(GetTickCount()));
    };
    waited("wait", WaitForSingleObject(info.hProcess, 100));
    HANDLE both[] = {info.hThread, info.hProcess};
    waited("any", WaitForMultipleObjects(2, both, FALSE, INFINITE));
    GetExitCodeProcess(info.hProcess, &code);
    trace.push_back("code " + std::to_string(code));
    trace.push_back("again " + std::to_string(WaitForSingleObject(info.hProcess, 0)));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 0;
  });
  device.scheduler().runUntil(10000);
  const std::vector<std::string> expected = {"code 259", "wait 258 at 100", "any 0 at 500", "code 42", "again 0"};
  EXPECT_EQ(trace, expected);
}

TEST(Processes, AnAutoResetEventReleasesOneWaiterPerSignal) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  std::vector<std::string> trace;
  for (std::string name : {"x", "y"}) {
    booted.launch(u"\\Windows\\waiter.exe", [&, name] {
      DWORD result = WaitForSingleObject(event, 1000);
      trace.push_back(name + (result == WAIT_OBJECT_0 ? " got it" : " timed out"));
      return 0;
    });
  }
  device.scheduler().runUntilIdle();
  SetEvent(event);
  device.scheduler().runUntil(2000);
  EXPECT_EQ(trace, (std::vector<std::string>{"x got it", "y timed out"}));
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the signal was used up";
  CloseHandle(event);
}

DWORD WINAPI waitForever(LPVOID event) { return WaitForSingleObject(static_cast<HANDLE>(event), INFINITE); }

DWORD WINAPI endThisThread(LPVOID) { ExitThread(5); }

TEST(Processes, TerminationEndsEveryThreadAndObserversRunBeforeTheHandleIsSignaled) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto& table = device.service<sim::ProcessTable>();
  std::vector<std::string> observed;
  table.addExitObserver([&](sim::Process& process) {
    observed.push_back(std::to_string(process.id) + (process.ended ? " already ended" : " ending") +
                       (sim::CurrentProcess() == &process ? " on its own thread" : " elsewhere"));
  });
  sim::ProgramImage victim;
  victim.path = u"\\Windows\\victim.exe";
  victim.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) {
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CreateThread(nullptr, 0, waitForever, never, 0, nullptr);
    Sleep(INFINITE);
    return 0;
  };
  device.service<sim::ImageRegistry>().install(std::move(victim));
  std::vector<std::string> trace;
  DWORD victimId = 0;
  booted.launch(u"\\Windows\\killer.exe", [&] {
    PROCESS_INFORMATION info{};
    CreateProcessW(u"\\Windows\\victim.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info);
    victimId = info.dwProcessId;
    Sleep(10);
    TerminateProcess(info.hProcess, 7);
    trace.push_back("wait " + std::to_string(WaitForSingleObject(info.hProcess, INFINITE)));
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    trace.push_back("process " + std::to_string(code));
    GetExitCodeThread(info.hThread, &code);
    trace.push_back("main thread " + std::to_string(code));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 0;
  });
  device.scheduler().runUntil(1000);
  EXPECT_EQ(trace, (std::vector<std::string>{"wait 0", "process 7", "main thread 7"}));
  EXPECT_EQ(observed, (std::vector<std::string>{std::to_string(victimId) + " ending on its own thread",
                                                std::to_string(table.processes().at(0)->id) +
                                                    " ending on its own thread"}));
  EXPECT_EQ(device.service<sim::HandleTable>().size(), 0u) << "an ended process's handles are closed";
  EXPECT_EQ(device.scheduler().liveThreadCount(), 0u);
}

TEST(Processes, ExitThreadEndsOnlyThatThreadAndTheEntryDecidesTheExitCode) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  DWORD threadResult = 0, threadCode = 0;
  sim::Process& process = booted.launch(u"\\Windows\\threads.exe", [&] {
    HANDLE worker = CreateThread(nullptr, 0, endThisThread, nullptr, 0, nullptr);
    threadResult = WaitForSingleObject(worker, INFINITE);
    GetExitCodeThread(worker, &threadCode);
    CloseHandle(worker);
    return 9;
  });
  device.scheduler().runUntilIdle();
  EXPECT_EQ(threadResult, static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(threadCode, 5u);
  EXPECT_TRUE(process.ended);
  EXPECT_EQ(process.exitCode, 9u);
}

// ExitProcess ends the caller's process from inside it: every thread, the caller's
// too, and nothing after the call runs. The pseudo handles name the caller itself.
TEST(Processes, ExitProcessEndsTheCallersProcessAndEveryThreadWithTheGivenCode) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  std::vector<std::string> trace;
  sim::Process& process = booted.launch(u"\\Windows\\quits.exe", [&] {
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CreateThread(nullptr, 0, waitForever, never, 0, nullptr);
    DWORD code = 0;
    GetExitCodeProcess(GetCurrentProcess(), &code);
    trace.push_back("process " + std::to_string(code));
    GetExitCodeThread(GetCurrentThread(), &code);
    trace.push_back("thread " + std::to_string(code));
    ExitProcess(11);
    trace.push_back("after ExitProcess");
    return 0;
  });
  device.scheduler().runUntilIdle();
  EXPECT_EQ(trace, (std::vector<std::string>{"process 259", "thread 259"}));
  EXPECT_TRUE(process.ended);
  EXPECT_EQ(process.exitCode, 11u);
  EXPECT_EQ(device.scheduler().liveThreadCount(), 0u);
  EXPECT_EQ(device.service<sim::HandleTable>().size(), 0u);
}

TEST(Processes, AClosedOrUnknownHandleIsAProgramFaultNotACrash) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  std::vector<DWORD> results;
  test_support::ExpectMisuse closed("CloseHandle");
  test_support::ExpectMisuse waited("WaitForSingleObject");
  test_support::ExpectMisuse unknown("SetEvent");
  booted.launch(u"\\Windows\\\u30c6\u30b9\u30c8.exe", [&] {
    HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    results.push_back(CloseHandle(event));
    results.push_back(CloseHandle(event));
    results.push_back(GetLastError());
    results.push_back(WaitForSingleObject(event, 0));
    results.push_back(SetEvent(reinterpret_cast<HANDLE>(std::uintptr_t{0x1234})));
    return 0;
  });
  device.scheduler().runUntilIdle();
  EXPECT_EQ(results, (std::vector<DWORD>{TRUE, FALSE, ERROR_INVALID_HANDLE, WAIT_FAILED, FALSE}));
  ASSERT_EQ(closed.faults().size(), 1u);
  const sim::ProgramFault& fault = closed.faults()[0];
  EXPECT_EQ(fault.program, "\\Windows\\\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88.exe");
  EXPECT_EQ(fault.handle, waited.faults().at(0).handle) << "the closed event's handle";
  EXPECT_EQ(unknown.faults().at(0).handle, "0x1234");
  EXPECT_EQ(fault.description(), fault.program + ": CloseHandle(" + fault.handle + "): not an open handle");
}

TEST(Processes, ShutdownEndsABlockedProcessThroughItsNormalEnd) {
  std::vector<std::string> ended;
  bool cleanedUp = false;
  {
    test_support::TestDevice booted;
    sim::Device& device = *booted;
    device.service<sim::ProcessTable>().addExitObserver([&](sim::Process& p) { ended.push_back("observed"); });
    sim::ProgramImage stuck;
    stuck.path = u"\\Windows\\stuck.exe";
    stuck.cleanup = [&] { cleanedUp = true; };
    stuck.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) {
      Sleep(INFINITE);
      return 0;
    };
    device.service<sim::ImageRegistry>().install(std::move(stuck));
    ASSERT_NE(sim::StartProgram(device, u"\\Windows\\stuck.exe", u""), nullptr);
    device.scheduler().runUntilIdle();
  }
  EXPECT_EQ(ended, std::vector<std::string>{"observed"});
  EXPECT_TRUE(cleanedUp);
}

}  // namespace
