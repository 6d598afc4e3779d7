// The shortcut fuzzer's target: a file's bytes through the shell's shortcut reader,
// on a bare device booted once. Whatever the bytes, the reader gives a target or
// refuses, the API agrees with the format's reader and never writes past the
// buffer it is given, and a target that reads writes back: the shortcut the
// device writes for it reads back as the same target. Only a target the format
// cannot hold (longer than 256 characters, or with a character code page 932
// lacks, as files from other tools may have) may be refused by the writer.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "fuzz_targets.h"
#include "kernel/device.h"
#include "shell/shortcut.h"
#include "text/utf.h"

namespace fuzz {
namespace {

constexpr char16_t kReadPath[] = u"\\read.lnk";
constexpr char16_t kWritePath[] = u"\\written.lnk";

class ShortcutDevice {
 public:
  ShortcutDevice() : root_(MakeRoot()) {
    sim::DeviceConfig config;
    config.root = root_;
    device_ = std::make_unique<sim::Device>(config);
  }
  ~ShortcutDevice() {
    device_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  ShortcutDevice(const ShortcutDevice&) = delete;
  ShortcutDevice& operator=(const ShortcutDevice&) = delete;

  bool write(const char16_t* path, std::span<const std::uint8_t> bytes) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
  }
  std::string read(const char16_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(sim::kMaxShortcutFileBytes, '\0');
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
  }

 private:
  static std::filesystem::path MakeRoot() {
    std::string name = (std::filesystem::temp_directory_path() / "shortcut-fuzz-XXXXXX").string();
    if (!::mkdtemp(name.data())) throw std::runtime_error("no temporary folder for the shortcut fuzzer");
    return name;
  }

  std::filesystem::path root_;
  std::unique_ptr<sim::Device> device_;
};

std::unique_ptr<ShortcutDevice>& Device() {
  static std::unique_ptr<ShortcutDevice> device;
  return device;
}

// SHGetShortcutTarget into a buffer of exactly `chars` characters (the sanitizer
// sees any write past it).
std::optional<std::u16string> ReadTarget(const char16_t* path, std::size_t chars, DWORD& error) {
  std::vector<WCHAR> buffer(chars);
  std::u16string file(path);
  if (!SHGetShortcutTarget(file.data(), buffer.data(), static_cast<int>(chars))) {
    error = GetLastError();
    if (buffer[0] != 0) return u"<a failed read left text behind>";
    return std::nullopt;
  }
  return std::u16string(buffer.data());
}

Finding CheckApiRead(ShortcutDevice& device, std::span<const std::uint8_t> input,
                     const sim::Result<std::u16string>& decoded) {
  if (!device.write(kReadPath, input)) return "the shortcut file cannot be written";
  DWORD error = 0;
  auto read = ReadTarget(kReadPath, MAX_PATH, error);
  if (!decoded) return read ? Finding("SHGetShortcutTarget reads what the format refuses") : std::nullopt;
  if (decoded->size() >= MAX_PATH)
    return read || error != ERROR_INSUFFICIENT_BUFFER ? Finding("a long target is not refused as too long")
                                                       : std::nullopt;
  if (read != *decoded) return "SHGetShortcutTarget and the format read different targets";
  if (ReadTarget(kReadPath, decoded->size() + 1, error) != *decoded)
    return "the target does not read into a buffer that just holds it";
  if (ReadTarget(kReadPath, decoded->size(), error) || error != ERROR_INSUFFICIENT_BUFFER)
    return "a buffer one character short is not refused";
  return std::nullopt;
}

Finding CheckWriteBack(ShortcutDevice& device, const std::u16string& target) {
  auto encoded = sim::EncodeShortcut(target);
  if (!encoded) {
    if (target.size() > sim::kMaxShortcutTarget || !sim::ToAnsi932(target)) return std::nullopt;
    return "the writer refuses a target that reads: " + encoded.message();
  }
  auto again = sim::DecodeShortcut(std::span(reinterpret_cast<const std::uint8_t*>(encoded->data()), encoded->size()));
  if (!again || *again != target) return "a written shortcut reads back as another target";
  DeleteFileW(kWritePath);
  std::u16string file(kWritePath), text(target);
  if (!SHCreateShortcut(file.data(), text.data())) return "SHCreateShortcut refuses a target the format holds";
  if (device.read(kWritePath) != *encoded) return "SHCreateShortcut wrote other bytes than the format gives";
  DWORD error = 0;
  if (ReadTarget(kWritePath, MAX_PATH, error) != target) return "the shortcut SHCreateShortcut wrote reads otherwise";
  return std::nullopt;
}

// The program and its command line as the shell starts them: the program is the
// quoted part or the first word, the command line the rest without its blanks.
Finding CheckSplit(const std::u16string& target) {
  sim::ShortcutCommand command = sim::SplitShortcutTarget(target);
  bool quoted = target.front() == u'"';
  if (target.compare(quoted ? 1 : 0, command.program.size(), command.program) != 0)
    return "the program is not where the target begins";
  if (command.program.find(quoted ? u'"' : u' ') != std::u16string::npos) return "the program runs past its end";
  if (!target.ends_with(command.arguments) || command.arguments.starts_with(u' '))
    return "the command line is not the target's rest";
  return std::nullopt;
}

}  // namespace

Finding RunShortcutFile(std::span<const std::uint8_t> input) {
  if (!Device()) Device() = std::make_unique<ShortcutDevice>();
  auto decoded = sim::DecodeShortcut(input);
  constexpr std::u16string_view kLineEnds(u"\r\n\0", 3);
  if (decoded && (decoded->empty() || decoded->find_first_of(kLineEnds) != std::u16string::npos))
    return "a target that is empty or spans lines";
  if (auto finding = CheckApiRead(*Device(), input, decoded)) return finding;
  if (!decoded) return std::nullopt;
  if (auto finding = CheckSplit(*decoded)) return finding;
  return CheckWriteBack(*Device(), *decoded);
}

void EndShortcutDevice() { Device().reset(); }

}  // namespace fuzz
