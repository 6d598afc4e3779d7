// Message boxes: a real modal dialog owned by the caller's window, with a text, a
// caption, an icon and a row of buttons. The device keeps a list of the open ones so
// that whoever looks at the screen (the automation layer) can read and answer them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

namespace sim {

class Device;

struct MessageBoxButton {
  int id = 0;  // IDOK, IDCANCEL, IDYES...
  std::u16string label;
  HWND hwnd = nullptr;
};

struct OpenMessageBox {
  HWND dialog = nullptr;
  HWND owner = nullptr;
  std::u16string text;
  std::u16string caption;
  UINT type = 0;  // the MB_* flags it was called with
  std::vector<MessageBoxButton> buttons;
  int defaultId = 0;
};

class MessageBoxes {
 public:
  explicit MessageBoxes(Device&) {}
  static MessageBoxes& get();

  // Open message boxes, oldest first.
  const std::vector<OpenMessageBox>& open() const { return open_; }
  // The newest open message box.
  const OpenMessageBox* top() const { return open_.empty() ? nullptr : &open_.back(); }

  void opened(OpenMessageBox box) { open_.push_back(std::move(box)); }
  void closed(HWND dialog);

 private:
  std::vector<OpenMessageBox> open_;
};

// The user taps the button `id` of the newest open message box, through the touch
// screen. False when no message box is open or it has no such button. Callable from
// the driver; the answer takes effect when the box's thread runs.
bool AnswerMessageBox(int id);

}  // namespace sim
