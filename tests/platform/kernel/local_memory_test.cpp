#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <windows.h>

#include "kernel/local_memory.h"
#include "kernel/process.h"
#include "tests/support/test_device.h"
#include "tests/support/misuse.h"

namespace {

TEST(LocalMemory, AnInjectedFailureFailsOnlyTheArmedCallsWithTheDeviceError) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  device.faults().arm("LocalAlloc", 2);
  EXPECT_EQ(LocalAlloc(LMEM_FIXED, 16), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, 16), nullptr) << "the global heap is the local heap";
  device.faults().arm("LocalAlloc", 1, ERROR_OUTOFMEMORY);
  EXPECT_EQ(LocalAlloc(LMEM_FIXED, 16), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY));
  EXPECT_EQ(device.service<sim::LocalMemory>().liveBlocks(), 0u);
  HLOCAL block = LocalAlloc(LPTR, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(LocalSize(block), 16u);
  EXPECT_EQ(LocalFree(block), nullptr);
  EXPECT_EQ(LocalAlloc(LPTR, 0xFFFFFFFFu), nullptr) << "more than the device has";
}

TEST(LocalMemory, GrowingKeepsTheContentAndOnlyMovesWhenAllowed) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto* block = static_cast<char*>(LocalAlloc(LPTR, 8));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::vector<char>(block, block + 8), std::vector<char>(8, 0)) << "LPTR zero-fills";
  std::memcpy(block, "abcdefg", 8);
  EXPECT_EQ(LocalReAlloc(block, 64, LMEM_ZEROINIT), nullptr) << "a fixed block cannot move";
  EXPECT_EQ(LocalSize(block), 8u) << "and stays as it was";
  auto* grown = static_cast<char*>(LocalReAlloc(block, 64, LMEM_MOVEABLE | LMEM_ZEROINIT));
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(LocalSize(grown), 64u);
  EXPECT_STREQ(grown, "abcdefg");
  EXPECT_EQ(std::vector<char>(grown + 8, grown + 64), std::vector<char>(56, 0));
  EXPECT_EQ(LocalReAlloc(grown, 4, 0), grown) << "shrinking stays in place";
  EXPECT_EQ(LocalSize(grown), 4u);
  LocalFree(grown);
}

TEST(LocalMemory, BadBlocksAreMisuseAndAProcessesBlocksGoWhenItEnds) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  auto& heap = device.service<sim::LocalMemory>();
  std::vector<UINT> results;
  void* leaked = nullptr;
  test_support::ExpectMisuse freed("LocalFree");
  test_support::ExpectMisuse sized("LocalSize", 2);
  booted.launch(u"\\Windows\\leaky.exe", [&] {
    HLOCAL block = LocalAlloc(LMEM_FIXED, 32);
    LocalFree(block);
    results.push_back(LocalFree(block) == block);  // freed twice: handed back, not freed
    results.push_back(LocalSize(block));
    int onTheStack = 0;
    results.push_back(LocalSize(&onTheStack));
    results.push_back(LocalFree(nullptr) == nullptr);
    leaked = LocalAlloc(LMEM_FIXED, 100);  // never freed: its process's end frees it
    return 0;
  });
  device.scheduler().runUntilIdle();
  EXPECT_EQ(results, (std::vector<UINT>{1, 0, 0, 1}));
  EXPECT_EQ(freed.faults().at(0).program, "\\Windows\\leaky.exe");
  EXPECT_EQ(freed.faults().at(0).problem, "not a live local memory block");
  EXPECT_FALSE(heap.size(leaked)) << "the ended process's heap is gone";
  EXPECT_EQ(heap.liveBlocks(), 0u);
}

TEST(LocalMemory, AProgramMayNotFreeOrResizeAnotherProcesssBlock) {
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  HLOCAL theirs = nullptr;
  booted.launch(u"\\Windows\\owner.exe", [&] {
    theirs = LocalAlloc(LPTR, 8);
    Sleep(INFINITE);
    return 0;
  });
  test_support::ExpectMisuse freed("LocalFree");
  test_support::ExpectMisuse resized("LocalReAlloc");
  test_support::ExpectMisuse sized("LocalSize");
  std::vector<bool> refused;
  booted.launch(u"\\Windows\\intruder.exe", [&] {
    refused.push_back(LocalFree(theirs) == theirs);
    refused.push_back(LocalReAlloc(theirs, 64, LMEM_MOVEABLE) == nullptr);
    refused.push_back(LocalSize(theirs) == 0);
    return 0;
  });
  device.scheduler().runUntilIdle();
  EXPECT_EQ(refused, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(freed.faults().at(0).program, "\\Windows\\intruder.exe");
  EXPECT_EQ(freed.faults().at(0).problem, "a block of \\Windows\\owner.exe's heap, not of this program's");
  EXPECT_EQ(device.service<sim::LocalMemory>().size(theirs), 8u) << "the owner's block is untouched";
}

}  // namespace
