#include "counting_program.h"

std::vector<std::span<std::byte>> counting_program_image_data();

namespace {

int steps;
DWORD constructedIn;
std::u16string text;  // long enough to live on the heap

std::u16string textOf(DWORD process) { return u"written by process " + std::u16string(64, u'#') + char16_t(process); }

int run(const HANDLE* gate, const HWND* subclass) {
  ++steps;
  text = textOf(GetCurrentProcessId());
  if (subclass && *subclass) SetWindowLongW(*subclass, GWL_WNDPROC, reinterpret_cast<LONG>(CountingWndProc));
  if (*gate) WaitForSingleObject(*gate, INFINITE);
  ++steps;
  const bool own = text == textOf(GetCurrentProcessId()) && constructedIn == GetCurrentProcessId();
  return steps + (own ? 0 : 1000);
}

}  // namespace

LRESULT CALLBACK CountingWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) return static_cast<LRESULT>(constructedIn);
  return DefWindowProcW(window, message, wParam, lParam);
}

sim::ProgramImage CountingProgramImage(std::u16string path, const HANDLE* gate, std::vector<std::string>& log,
                                       const HWND* subclass) {
  sim::ProgramImage image;
  image.path = std::move(path);
  image.main = [gate, subclass](HINSTANCE, HINSTANCE, LPWSTR, int) { return run(gate, subclass); };
  image.startup = [&log] {
    constructedIn = GetCurrentProcessId();
    log.push_back("construct " + std::to_string(constructedIn));
  };
  image.cleanup = [&log] {
    log.push_back("destroy " + std::to_string(GetCurrentProcessId()) + " after " + std::to_string(steps));
    std::u16string().swap(text);  // frees the heap block, which a plain assignment would keep
  };
  image.data = counting_program_image_data();
  return image;
}
