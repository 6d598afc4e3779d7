// Pieces of the dialog and control tests: dialog templates built in memory and
// reading focus and text from outside a program.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "kernel/device.h"
#include "tests/support/test_device.h"
#include "user/message_queue.h"
#include "user/window.h"

namespace test_support {

// A classic dialog template, assembled as the resource compiler lays it out.
class TemplateBuilder {
 public:
  TemplateBuilder(DWORD style, std::u16string caption, short cx = 140, short cy = 100) {
    put32(style | DS_SETFONT);
    put32(0);
    countAt_ = bytes_.size();
    put16(0);
    put16(0), put16(0), put16(static_cast<WORD>(cx)), put16(static_cast<WORD>(cy));
    put16(0);  // no menu
    put16(0);  // the dialog class
    putText(caption);
    put16(9);
    putText(u"System");
  }

  TemplateBuilder& item(WORD classOrdinal, std::u16string text, int id, DWORD style, short x = 4, short y = 4,
                        short cx = 40, short cy = 12) {
    align();
    put32(style | WS_CHILD | WS_VISIBLE);
    put32(0);
    put16(static_cast<WORD>(x)), put16(static_cast<WORD>(y)), put16(static_cast<WORD>(cx)),
        put16(static_cast<WORD>(cy));
    put16(static_cast<WORD>(id));
    put16(0xFFFF), put16(classOrdinal);
    putText(text);
    put16(0);  // no creation data
    ++count_;
    std::memcpy(bytes_.data() + countAt_, &count_, 2);
    return *this;
  }
  TemplateBuilder& button(std::u16string text, int id, DWORD style) { return item(0x80, std::move(text), id, style); }
  TemplateBuilder& edit(int id, DWORD style) { return item(0x81, u"", id, style); }
  TemplateBuilder& label(std::u16string text, int id, DWORD style = SS_LEFT) { return item(0x82, std::move(text), id, style); }

  // DWORD-aligned storage, as templates are.
  LPCDLGTEMPLATEW get() {
    storage_.assign((bytes_.size() + 3) / 4, 0);
    std::memcpy(storage_.data(), bytes_.data(), bytes_.size());
    return reinterpret_cast<LPCDLGTEMPLATEW>(storage_.data());
  }

 private:
  void put16(WORD value) {
    bytes_.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes_.push_back(static_cast<unsigned char>(value >> 8));
  }
  void put32(DWORD value) {
    put16(static_cast<WORD>(value & 0xFFFF));
    put16(static_cast<WORD>(value >> 16));
  }
  void putText(const std::u16string& text) {
    for (char16_t ch : text) put16(ch);
    put16(0);
  }
  void align() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }

  std::vector<unsigned char> bytes_;
  std::vector<std::uint32_t> storage_;
  std::size_t countAt_ = 0;
  WORD count_ = 0;
};

// A program's message loop that keeps its windows alive until the device shuts
// down; keys for `dialog` go through IsDialogMessageW.
inline void PumpMessages(HWND dialog) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0)
    if (!dialog || !IsWindow(dialog) || !IsDialogMessageW(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
}

// The window with the keyboard focus on the thread of `window`, read from outside.
inline HWND FocusOnThreadOf(HWND window) {
  sim::Window* record = sim::WindowSystem::get().find(window);
  sim::MessageQueue* queue = record && record->thread ? sim::MessageQueues::get().find(record->thread) : nullptr;
  return queue && IsWindow(queue->focus) ? queue->focus : nullptr;
}

inline std::u16string TextOf(HWND hwnd) {
  WCHAR buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return buffer;
}

}  // namespace test_support
