// The clipboard: one for the whole device.
//
// A program opens it (for a window, or for its thread with a null window), empties it
// to become its owner, and places blocks of local memory under format ids; the
// clipboard then owns those blocks and frees them when they are replaced, when it is
// emptied, and when the device shuts down. Registered formats are names mapped to
// ids from 0xC000 up, the same id for the same name whatever its letter case.
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
  // Takes ownership of `block` (a local memory block) and frees the block it replaces.
  // A null block (rendering on request) drops what the format held and places nothing.
  bool set(UINT format, HANDLE block, SimThread* thread, DWORD& error);
  HANDLE data(UINT format, SimThread* thread, DWORD& error) const;
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
  bool heldBy(const SimThread* thread) const { return holder_ && holder_->thread == thread; }
  HANDLE find(UINT format) const;
  // Frees `block` unless another format still holds it.
  void release(HANDLE block);

  LocalMemory& heap_;
  std::optional<Holder> holder_;
  HWND owner_ = nullptr;
  std::vector<std::pair<UINT, HANDLE>> blocks_;  // in the order they were placed
  std::vector<std::u16string> names_;            // names_[i] is format 0xC000 + i
};

}  // namespace sim
