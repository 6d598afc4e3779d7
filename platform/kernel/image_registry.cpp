#include "kernel/image_registry.h"

#include "kernel/device.h"
#include "kernel/process_data.h"

namespace sim {

std::u16string foldCase(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
      c = static_cast<char16_t>(c + 0x20);
    else if (c >= 0xFF21 && c <= 0xFF3A)  // full-width Latin capitals
      c = static_cast<char16_t>(c + 0x20);
  }
  return folded;
}

std::shared_ptr<const ProgramImage> ImageRegistry::install(ProgramImage image) {
  ++installs_;
  auto shared = std::make_shared<const ProgramImage>(std::move(image));
  if (!shared->data.empty()) device_.service<ProcessData>().install(*shared);
  byPath_[foldCase(shared->path)] = shared;
  const std::uintptr_t handle = nextModule_;
  nextModule_ += 0x10000;
  modules_.emplace(handle, shared);
  handles_.emplace(shared.get(), handle);
  return shared;
}

std::shared_ptr<const ProgramImage> ImageRegistry::find(std::u16string_view path) const {
  auto it = byPath_.find(foldCase(path));
  return it == byPath_.end() ? nullptr : it->second;
}

HMODULE ImageRegistry::moduleHandle(const ProgramImage& image) const {
  auto it = handles_.find(&image);
  return it == handles_.end() ? nullptr : reinterpret_cast<HMODULE>(it->second);
}

std::shared_ptr<const ProgramImage> ImageRegistry::byModule(HMODULE module) const {
  auto it = modules_.find(reinterpret_cast<std::uintptr_t>(module));
  return it == modules_.end() ? nullptr : it->second;
}

}  // namespace sim
