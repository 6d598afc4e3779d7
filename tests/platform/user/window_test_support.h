// Shared pieces of the window part's tests: a message recorder and a window class
// whose procedure records what it receives.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "kernel/device.h"
#include "tests/support/test_device.h"
#include "kernel/process.h"
#include "user/window.h"

namespace test_support {

inline std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

inline std::string MessageName(UINT msg) {
  static const std::map<UINT, std::string> names = {
      {WM_NCCREATE, "NCCREATE"},     {WM_CREATE, "CREATE"},         {WM_SIZE, "SIZE"},
      {WM_MOVE, "MOVE"},             {WM_DESTROY, "DESTROY"},       {WM_NCDESTROY, "NCDESTROY"},
      {WM_ACTIVATE, "ACTIVATE"},     {WM_SETFOCUS, "SETFOCUS"},     {WM_KILLFOCUS, "KILLFOCUS"},
      {WM_TIMER, "TIMER"},           {WM_KEYDOWN, "KEYDOWN"},       {WM_KEYUP, "KEYUP"},
      {WM_CHAR, "CHAR"},             {WM_COMMAND, "COMMAND"},       {WM_LBUTTONDOWN, "LBUTTONDOWN"},
      {WM_LBUTTONUP, "LBUTTONUP"},   {WM_LBUTTONDBLCLK, "LBUTTONDBLCLK"}, {WM_CLOSE, "CLOSE"},
      {WM_SETTEXT, "SETTEXT"},       {WM_GETTEXT, "GETTEXT"},       {WM_ENABLE, "ENABLE"},
      {WM_SHOWWINDOW, "SHOWWINDOW"}, {WM_WINDOWPOSCHANGED, "WINDOWPOSCHANGED"},
      {WM_SETTINGCHANGE, "SETTINGCHANGE"}, {WM_USER, "USER"},     {WM_USER + 1, "USER+1"},
      {WM_USER + 2, "USER+2"},       {WM_APP, "APP"},         {WM_GETTEXTLENGTH, "GETTEXTLENGTH"},
      {WM_PAINT, "PAINT"},           {WM_ERASEBKGND, "ERASEBKGND"}};
  auto it = names.find(msg);
  if (it != names.end()) return it->second;
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%04X", msg);
  return hex;
}

inline std::string NameOf(HWND hwnd) {
  sim::Window* window = sim::WindowSystem::get().find(hwnd);
  if (!window) return "?";
  return std::string(window->text.begin(), window->text.end());  // test titles are ASCII
}

// What a test window does with a message beyond recording it; unset = DefWindowProcW.
inline std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>& Behaviour() {
  static std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> behaviour;
  return behaviour;
}

// Messages the recorder leaves out unless asked: the noisy ones every window gets.
inline bool Recorded(UINT msg) {
  return msg != WM_GETTEXT && msg != WM_WINDOWPOSCHANGING && msg != WM_WINDOWPOSCHANGED && msg != WM_MOVE;
}

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (Recorded(msg)) Log().push_back(NameOf(hwnd) + ":" + MessageName(msg));
  if (Behaviour())
    if (auto result = Behaviour()(hwnd, msg, wParam, lParam)) return *result;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

inline void RegisterRecordingClass(UINT style = 0, int wndExtra = 0, LPCWSTR name = u"Recorder") {
  WNDCLASSW wc{};
  wc.style = style;
  wc.lpfnWndProc = RecordingProc;
  wc.cbWndExtra = wndExtra;
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

inline HWND MakeWindow(LPCWSTR title, HWND parent = nullptr, DWORD style = WS_VISIBLE, int id = 0,
                       RECT rect = RECT{0, 26, 240, 294}, LPCWSTR cls = u"Recorder") {
  if (parent && (style & WS_POPUP) == 0) style |= WS_CHILD;
  return CreateWindowExW(0, cls, title, style, static_cast<int>(rect.left), static_cast<int>(rect.top),
                         static_cast<int>(rect.right - rect.left), static_cast<int>(rect.bottom - rect.top), parent,
                         reinterpret_cast<HMENU>(static_cast<LONG_PTR>(id)), nullptr, nullptr);
}

inline void RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

inline void ResetRecording() {
  Log().clear();
  Behaviour() = nullptr;
}

}  // namespace test_support
