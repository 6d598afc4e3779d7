// The clipboard: one for the whole device.
//
// A program opens it (for a window, or for its thread with a null window), empties it
// to become its owner, and places blocks of its local heap under format ids; only
// the owner window may place data, so a clipboard emptied while opened without a
// window takes none. A placed block becomes the system's: the clipboard frees it
// when it is replaced, when the clipboard is emptied, and when the device shuts
// down. A reader gets its own copy of the data, which the clipboard frees when it
// is closed or emptied or the format is replaced, as the data may be used only
// while the clipboard is open and unchanged; reading it later is a use after free.
// Registered formats are names mapped to ids from 0xC000 up, the same id for the
// same name whatever its letter case.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

class Device;
class LocalMemory;
class SimThread;

inline constexpr UINT kFirstRegisteredFormat = 0xC000;

class Clipboard {
 public:
  explicit Clipboard(Device& device);
  ~Clipboard();
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;

  static Clipboard& get();

  // --- the API's operations, for the calling thread (null: the driver). Each failure
  // gives the device's error code in `error`. ---
  bool open(HWND window, SimThread* thread, DWORD& error);
  bool close(SimThread* thread, DWORD& error);
  bool empty(SimThread* thread, DWORD& error);
  // Takes ownership of `block` (a block of the caller's heap) and frees the block it
  // replaces. A null block (rendering on request) drops what the format held and
  // places nothing.
  bool set(UINT format, HANDLE block, SimThread* thread, DWORD& error);
  // The reader's copy of the format's data, valid until the clipboard is closed or
  // emptied or the format replaced.
  HANDLE data(UINT format, SimThread* thread, DWORD& error);
  // The format after `format` (0: the first); 0 at the end.
  UINT next(UINT format, SimThread* thread, DWORD& error) const;
  bool available(UINT format) const;
  int count() const { return static_cast<int>(blocks_.size()); }
  HWND owner() const;
  HWND openWindow() const { return holder_ ? holder_->window : nullptr; }
  bool isOpen() const { return holder_.has_value(); }

  // 0 for an empty name or when no id is left.
  UINT registerFormat(std::u16string_view name);
  std::optional<std::u16string> formatName(UINT format) const;

  // --- for the automation layer ---
  // The CF_UNICODETEXT text, up to its terminator or the end of its block.
  std::optional<std::u16string> text() const;
  // The formats present, in the order they were placed.
  std::vector<UINT> formats() const;
  std::optional<std::vector<unsigned char>> bytes(UINT format) const;

  // A thread that ends with the clipboard open leaves it closed.
  void threadEnded(const SimThread& thread);

 private:
  struct Holder {
    HWND window;
    SimThread* thread;
  };
  struct Copy {
    UINT format;
    HANDLE block;
  };
  bool heldBy(const SimThread* thread) const { return holder_ && holder_->thread == thread; }
  bool ownedByHolder() const { return holder_ && holder_->window && owner_ == holder_->window; }
  HANDLE find(UINT format) const;
  bool holds(HANDLE block) const;
  // True when the caller may hand `block` over; reports the misuse otherwise.
  bool acceptable(HANDLE block, DWORD& error) const;
  // Frees `block` unless another format still holds it.
  void release(HANDLE block);
  // Frees the readers' copies of `format` (0: of every format).
  void dropCopies(UINT format);

  LocalMemory& heap_;
  std::optional<Holder> holder_;
  HWND owner_ = nullptr;
  std::vector<std::pair<UINT, HANDLE>> blocks_;  // in the order they were placed
  std::vector<Copy> copies_;                     // handed to readers since the clipboard was opened
  std::vector<std::u16string> names_;            // names_[i] is format 0xC000 + i
};

}  // namespace sim
