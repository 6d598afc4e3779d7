#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "kernel/local_memory.h"
#include "kernel/process.h"
#include "menu_test_support.h"
#include "tests/support/misuse.h"
#include "user/clipboard.h"

#if defined(__SANITIZE_ADDRESS__)
#define HANDHELD_TEST_HAS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HANDHELD_TEST_HAS_ASAN 1
#endif
#endif
#ifdef HANDHELD_TEST_HAS_ASAN
#include <sanitizer/asan_interface.h>
#else
#define HANDHELD_TEST_HAS_ASAN 0
#endif

namespace {

using test_support::TestDevice;
using test_support::Trace;

HLOCAL textBlock(std::u16string_view text, UINT bytes = 0) {
  UINT size = bytes ? bytes : static_cast<UINT>((text.size() + 1) * 2);
  auto* block = static_cast<WCHAR*>(LocalAlloc(LPTR, size));
  std::memcpy(block, text.data(), text.size() * 2);
  return block;
}

std::size_t liveBlocks(sim::Device& device) { return device.service<sim::LocalMemory>().liveBlocks(); }

HWND makeWindow(LPCWSTR title) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = u"ClipOwner";
  RegisterClassW(&wc);  // the second call of a process fails harmlessly
  return CreateWindowExW(0, u"ClipOwner", title, WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
}

Trace* trace = nullptr;
std::string result(const char* what, BOOL ok) {
  return std::string(what) + (ok ? " ok" : " failed " + std::to_string(GetLastError()));
}

TEST(Clipboard, AnotherWindowCannotOpenItUntilTheHolderClosesItOrEnds) {
  TestDevice device;
  Trace seen;
  trace = &seen;
  // The holder opens the clipboard and waits; it ends without closing it.
  device.launch(u"\\Windows\\holder.exe", [] {
    HWND window = makeWindow(u"holder");
    trace->add(result("holder open", OpenClipboard(window)));
    trace->add(result("holder open again", OpenClipboard(window)));
    HWND second = makeWindow(u"second");
    trace->add(result("holder's other window", OpenClipboard(second)));
    Sleep(1000);
    return 0;
  });
  device.launch(u"\\Windows\\other.exe", [] {
    HWND window = makeWindow(u"other");
    trace->add(result("other open", OpenClipboard(window)));
    trace->add(result("other thread without window", OpenClipboard(nullptr)));
    trace->add(result("other close", CloseClipboard()));
    trace->add(GetOpenClipboardWindow() == FindWindowW(u"ClipOwner", u"holder") ? "held by holder" : "held by ?");
    Sleep(2000);
    trace->add(result("other open after holder ended", OpenClipboard(window)));
    sim::Device::current().faults().arm("OpenClipboard");
    trace->add(result("other open injected", OpenClipboard(window)));
    trace->add(result("other close", CloseClipboard()));
    return 0;
  });
  device.runFor(3000);
  trace = nullptr;
  const std::vector<std::string> expected = {
      "holder open ok",
      "holder open again ok",
      "holder's other window failed 5",
      "other open failed 5",
      "other thread without window failed 5",
      "other close failed 1418",
      "held by holder",
      "other open after holder ended ok",
      "other open injected failed 5",
      "other close ok",
  };
  EXPECT_EQ(seen.lines, expected);
}

// Runs `body` as a program with a window of its own and lets it finish.
void RunWithWindow(TestDevice& device, std::function<void(HWND)> body) {
  device.launch(u"\\Windows\\clip.exe", [body] {
    body(makeWindow(u"clip"));
    return 0;
  });
  device.runUntilIdle();
}

TEST(Clipboard, PlacedBlocksBelongToTheClipboardWhichFreesWhatItReplaces) {
  TestDevice device;
  const std::size_t before = liveBlocks(*device);
  RunWithWindow(device, [&](HWND window) {
    HLOCAL first = textBlock(u"first");
    HLOCAL second = textBlock(u"second");
    HLOCAL refused = textBlock(u"refused");

    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, refused), nullptr) << "not open";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
    EXPECT_FALSE(EmptyClipboard());
    LocalFree(refused);

    ASSERT_TRUE(OpenClipboard(window));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, first), first);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, first), first) << "placing the same block again keeps it";
    EXPECT_EQ(liveBlocks(*device), before + 2);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, second), second);
    EXPECT_EQ(liveBlocks(*device), before + 1) << "the replaced block is freed";
    EXPECT_EQ(sim::Clipboard::get().text(), u"second");

    device->faults().arm("SetClipboardData");
    HLOCAL kept = textBlock(u"kept by its maker");
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, kept), nullptr);
    EXPECT_EQ(sim::Clipboard::get().text(), u"second") << "a failed placement changes nothing";
    EXPECT_EQ(LocalFree(kept), nullptr) << "and the block stays its maker's";

    // A null block (rendering on request) leaves nothing stale behind.
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, nullptr), nullptr);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(liveBlocks(*device), before);

    {
      test_support::ExpectMisuse wild("SetClipboardData");
      HLOCAL notABlock = reinterpret_cast<HLOCAL>(std::uintptr_t{0x5000});
      EXPECT_EQ(SetClipboardData(CF_TEXT, notABlock), nullptr);
    }

    SetClipboardData(CF_UNICODETEXT, textBlock(u"a"));
    SetClipboardData(CF_HDROP, textBlock(u"b"));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(CountClipboardFormats(), 0);
    EXPECT_EQ(liveBlocks(*device), before);
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr) << "closed";
  });
}

// The owner window places data: a clipboard emptied while opened without a window
// has no owner and takes nothing, and a window that is not the owner places nothing.
TEST(Clipboard, OnlyTheOwnerWindowPlacesData) {
  TestDevice device;
  RunWithWindow(device, [&](HWND window) {
    HLOCAL block = textBlock(u"text");
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardOwner(), nullptr);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
    ASSERT_TRUE(CloseClipboard());

    HWND other = makeWindow(u"other");
    ASSERT_TRUE(OpenClipboard(other));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(CloseClipboard());
    ASSERT_TRUE(OpenClipboard(window));
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), nullptr) << "the owner is the other window";
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), block);
    ASSERT_TRUE(CloseClipboard());
  });
  EXPECT_EQ(sim::Clipboard::get().text(), u"text");
}

TEST(Clipboard, FormatsAreRegisteredByNameIgnoringCaseAndListedInPlacementOrder) {
  TestDevice device;
  UINT idList = RegisterClipboardFormatW(u"Shell IDList Array");
  EXPECT_GE(idList, sim::kFirstRegisteredFormat);
  EXPECT_EQ(RegisterClipboardFormatW(u"shell idlist ARRAY"), idList);
  UINT other = RegisterClipboardFormatW(u"FileName");
  EXPECT_NE(other, idList);
  EXPECT_EQ(RegisterClipboardFormatW(u""), 0u);

  WCHAR name[6];
  EXPECT_EQ(GetClipboardFormatNameW(idList, name, 6), 5);
  EXPECT_EQ(std::u16string(name), u"Shell");
  EXPECT_EQ(GetClipboardFormatNameW(CF_UNICODETEXT, name, 6), 0);

  // The automation layer reads the text up to its terminator, whatever the block size.
  RunWithWindow(device, [&](HWND window) {
    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    SetClipboardData(idList, textBlock(u"\\My Documents"));
    SetClipboardData(CF_UNICODETEXT, textBlock(u"\\a.txt\n\\b.txt", 13000));
    EXPECT_EQ(EnumClipboardFormats(0), idList);
    EXPECT_EQ(EnumClipboardFormats(idList), static_cast<UINT>(CF_UNICODETEXT));
    EXPECT_EQ(EnumClipboardFormats(CF_UNICODETEXT), 0u);
    CloseClipboard();
  });

  auto& clipboard = sim::Clipboard::get();
  EXPECT_EQ(clipboard.formats(), (std::vector<UINT>{idList, CF_UNICODETEXT}));
  EXPECT_EQ(clipboard.text(), u"\\a.txt\n\\b.txt");
  EXPECT_EQ(clipboard.bytes(CF_UNICODETEXT)->size(), 13000u);
  EXPECT_TRUE(IsClipboardFormatAvailable(idList));
  EXPECT_EQ(CountClipboardFormats(), 2);
}

// The device keeps registered formats in 0xC000-0xFFFF whatever their names: the
// desktop's reading of "#1234" as the number 1234 comes from its atom table, which
// this device's clipboard does not use. Nor does the device convert between text
// formats: only what was placed is offered and given.
TEST(Clipboard, FormatNamesAreNamesAndTextFormatsAreNotSynthesised) {
  TestDevice device;
  UINT numbered = RegisterClipboardFormatW(u"#1234");
  EXPECT_GE(numbered, sim::kFirstRegisteredFormat);
  EXPECT_EQ(RegisterClipboardFormatW(u"#1234"), numbered);
  WCHAR name[8];
  EXPECT_EQ(GetClipboardFormatNameW(numbered, name, 8), 5);
  EXPECT_EQ(std::u16string(name), u"#1234");

  RunWithWindow(device, [&](HWND window) {
    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, textBlock(u"text"));
    EXPECT_EQ(EnumClipboardFormats(0), static_cast<UINT>(CF_UNICODETEXT));
    EXPECT_EQ(EnumClipboardFormats(CF_UNICODETEXT), 0u);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, textBlock(u"ansi"));
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    EXPECT_EQ(CountClipboardFormats(), 1);
    CloseClipboard();
  });
}

// What GetClipboardData gives may be read only while the clipboard is open and the
// data unchanged: closing or emptying the clipboard, or replacing the format, frees it.
TEST(Clipboard, ReadDataLivesOnlyWhileTheClipboardIsOpenAndUnchanged) {
  TestDevice device;
  auto& heap = device->service<sim::LocalMemory>();
  std::vector<void*> read;
  RunWithWindow(device, [&](HWND window) {
    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    HLOCAL placed = textBlock(u"placed");
    SetClipboardData(CF_UNICODETEXT, placed);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_NE(data, placed) << "the reader gets data of its own";
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), data) << "the same while the clipboard stays open";
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(data)), u"placed");
    EXPECT_EQ(LocalSize(data), LocalSize(placed));
    read.push_back(data);

    SetClipboardData(CF_UNICODETEXT, textBlock(u"replaced"));
    EXPECT_FALSE(heap.size(data)) << "replacing the format frees what was read";
    data = GetClipboardData(CF_UNICODETEXT);
    read.push_back(data);
    ASSERT_TRUE(CloseClipboard());
    EXPECT_FALSE(heap.size(data)) << "closing frees what was read";

    ASSERT_TRUE(OpenClipboard(window));
    read.push_back(GetClipboardData(CF_UNICODETEXT));
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(read.back())), u"replaced");
    {
      test_support::ExpectMisuse freed("LocalFree");
      EXPECT_EQ(LocalFree(read.back()), read.back()) << "the clipboard's, not the reader's";
    }
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_FALSE(heap.size(read.back())) << "emptying frees what was read";
    CloseClipboard();
  });
  ASSERT_EQ(read.size(), 3u);
}

// A late read of clipboard data is a read of freed memory, which the address
// sanitizer reports.
TEST(Clipboard, ReadDataIsFreedMemoryOnceTheClipboardCloses) {
#if HANDHELD_TEST_HAS_ASAN
  TestDevice device;
  const void* data = nullptr;
  RunWithWindow(device, [&](HWND window) {
    OpenClipboard(window);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, textBlock(u"gone after closing"));
    data = GetClipboardData(CF_UNICODETEXT);
    EXPECT_FALSE(__asan_address_is_poisoned(data));
    CloseClipboard();
  });
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(__asan_address_is_poisoned(data));
#else
  GTEST_SKIP() << "needs the address sanitizer";
#endif
}

// A process's heap goes with it; what it placed on the clipboard is the system's.
TEST(Clipboard, PlacedDataOutlivesItsMakerWhoseOtherBlocksGoWithIt) {
  TestDevice device;
  void* leaked = nullptr;
  RunWithWindow(device, [&](HWND window) {
    leaked = LocalAlloc(LMEM_FIXED, 16);
    OpenClipboard(window);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, textBlock(u"kept"));
    CloseClipboard();
  });
  EXPECT_FALSE(device->service<sim::LocalMemory>().size(leaked));
  EXPECT_EQ(sim::Clipboard::get().text(), u"kept");
  EXPECT_EQ(liveBlocks(*device), 1u);
}

}  // namespace
