#include "handheld.h"

#include <stdlib.h>

#include <stdexcept>
#include <system_error>

#include <windows.h>

#include "fs/object_store.h"
#include "kernel/image_registry.h"
#include "sample_device.h"
#include "text/utf.h"

namespace sim {

namespace {

std::filesystem::path MakeTemporaryFolder() {
  std::string name = (std::filesystem::temp_directory_path() / "handheld-XXXXXX").string();
  if (!::mkdtemp(name.data())) throw std::runtime_error("cannot make a temporary folder for the sample device");
  return name;
}

// Makes every folder above `path` that is missing.
void MakeParentFolders(const std::u16string& path) {
  for (std::size_t at = path.find(u'\\', 1); at != std::u16string::npos; at = path.find(u'\\', at + 1)) {
    std::u16string folder = path.substr(0, at);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("cannot make the folder " + Utf16ToUtf8Replacing(folder).text);
  }
}

void WriteProgramFile(const std::u16string& path, const std::string& name) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw std::runtime_error("cannot write the program file " + Utf16ToUtf8Replacing(path).text);
  std::string marker = "program image: " + name + "\n";
  DWORD written = 0;
  BOOL ok = WriteFile(file, marker.data(), static_cast<DWORD>(marker.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok) throw std::runtime_error("cannot write the program file " + Utf16ToUtf8Replacing(path).text);
}

}  // namespace

Handheld::Handheld(HandheldOptions options) {
  if (Device::active())
    throw std::logic_error("a handheld is already running in this process; shut it down before booting another");
  if (options.folder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(*options.folder, ec))
      throw std::runtime_error("cannot boot a handheld over " + options.folder->string() + ": not a folder");
    folder_ = *options.folder;
  } else {
    folder_ = MakeTemporaryFolder();
    ownsFolder_ = true;
  }
  try {
    DeviceConfig config = options.device;
    config.root = folder_;
    device_ = std::make_unique<Device>(config);
    device_->service<ObjectStore>().mountStorageCard(kStorageCardName);
    if (ownsFolder_) WriteSampleDevice(*device_);
    for (const auto& program : options.programs) install(program);
    // What the handheld starts with is what its device held when it booted: its
    // folders list in name order until something changes them.
    device_->service<ObjectStore>().takeContentsAsBooted();
  } catch (...) {
    device_.reset();
    if (ownsFolder_) {
      std::error_code ec;
      std::filesystem::remove_all(folder_, ec);
    }
    throw;
  }
}

Handheld::~Handheld() {
  device_.reset();
  if (ownsFolder_) {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
}

void Handheld::install(const ProgramSource& source) {
  ProgramImage image = source.makeImage();
  std::u16string path = image.path;
  if (path.empty() || path.front() != u'\\')
    throw std::runtime_error("program " + source.name + " has no absolute device path");
  device_->service<ImageRegistry>().install(std::move(image));
  MakeParentFolders(path);
  WriteProgramFile(path, source.name);
  installed_.push_back(std::move(path));
}

}  // namespace sim
