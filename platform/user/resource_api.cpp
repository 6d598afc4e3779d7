// FindResourceW, LoadResource and LoadStringW over the modules' .res images.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "kernel/device.h"
#include "kernel/image.h"
#include "kernel/image_registry.h"
#include "user/resource_module.h"
#include "user/resource_strings.h"

namespace sim {
namespace {

// Parsed images, keyed by where their bytes are and what they hold. An entry's
// address is the HRSRC handed out, so entries stay put until the device shuts down.
class ResourceCache {
 public:
  explicit ResourceCache(Device& device) : images_(device.service<ImageRegistry>()) {}

  Result<const ResourceIndex*> indexOf(std::span<const unsigned char> image) {
    Key key{image.data(), image.size(), fingerprintOf(image)};
    // Handles and string pointers point into the image, which must be aligned as the
    // device's loader aligns it.
    if (reinterpret_cast<std::uintptr_t>(image.data()) % 4 != 0)
      return Error{"resource image not on a 4-byte boundary"};
    auto found = parsed_.find(key);
    if (found == parsed_.end()) {
      auto result = ParseResourceImage(image);
      Parsed parsed;
      if (result)
        parsed.index = std::make_unique<ResourceIndex>(std::move(*result));
      else
        parsed.error = result.message();
      found = parsed_.emplace(key, std::move(parsed)).first;
    }
    if (!found->second.index) return Error{"malformed resource image: " + found->second.error};
    return static_cast<const ResourceIndex*>(found->second.index.get());
  }

  // The entry behind a handle, when the handle is one this cache gave out.
  const ResourceEntry* entryOf(HRSRC handle) {
    auto* entry = reinterpret_cast<const ResourceEntry*>(handle);
    for (auto& [key, parsed] : parsed_)
      if (parsed.index && parsed.index->contains(entry)) return entry;
    return nullptr;
  }

 private:
  // The address alone could be reused by a test's later image of the same size.
  using Key = std::tuple<const unsigned char*, std::size_t, std::uint64_t>;
  using Place = std::pair<const unsigned char*, std::size_t>;

  // Every dialog and string a program loads looks its image up: the bytes at a place
  // are hashed once, and again only after another image was installed, the only
  // time a place can come to hold other bytes.
  std::uint64_t fingerprintOf(std::span<const unsigned char> image) {
    if (images_.installs() != installsSeen_) {
      fingerprints_.clear();
      installsSeen_ = images_.installs();
    }
    auto [at, added] = fingerprints_.try_emplace(Place{image.data(), image.size()}, 0);
    if (added) at->second = Fingerprint(image);
    return at->second;
  }
  static std::uint64_t Fingerprint(std::span<const unsigned char> bytes) {
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (unsigned char b : bytes) hash = (hash ^ b) * 1099511628211ull;
    return hash;
  }
  struct Parsed {
    std::unique_ptr<ResourceIndex> index;
    std::string error;
  };
  std::map<Key, Parsed> parsed_;
  ImageRegistry& images_;
  std::map<Place, std::uint64_t> fingerprints_;
  std::uint64_t installsSeen_ = 0;
};

ResourceCache& Cache() { return Device::current().service<ResourceCache>(); }

HRSRC ToHandle(const ResourceEntry* entry) {
  return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
}

DWORD MissError(ResourceMiss miss) {
  switch (miss) {
    case ResourceMiss::Type: return ERROR_RESOURCE_TYPE_NOT_FOUND;
    case ResourceMiss::Name: return ERROR_RESOURCE_NAME_NOT_FOUND;
    case ResourceMiss::Language: return ERROR_RESOURCE_LANG_NOT_FOUND;
  }
  return ERROR_RESOURCE_DATA_NOT_FOUND;
}

const ResourceEntry* Lookup(HMODULE module, LPCWSTR type, LPCWSTR name, std::optional<WORD> language) {
  if (!type || !name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto index = ModuleResourceIndex(module);
  if (!index) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  ResourceMiss miss{};
  auto typeName = ResourceNameFromApi(type);
  auto resourceName = ResourceNameFromApi(name);
  const ResourceEntry* entry = language ? (*index)->findInLanguage(typeName, resourceName, *language, &miss)
                                        : (*index)->find(typeName, resourceName, &miss);
  if (!entry) SetLastError(MissError(miss));
  return entry;
}

}  // namespace

ResourceName ResourceNameFromApi(LPCWSTR name) {
  if (IS_INTRESOURCE(name))
    return ResourceName::number(static_cast<std::uint16_t>(reinterpret_cast<ULONG_PTR>(name)));
  std::u16string_view text(name);
  if (text.size() > 1 && text[0] == u'#') {
    std::uint32_t value = 0;
    bool digits = text.size() <= 6;
    for (char16_t c : text.substr(1)) {
      if (c < u'0' || c > u'9') digits = false;
      if (digits) value = value * 10 + (c - u'0');
    }
    if (digits && value <= 0xFFFF) return ResourceName::number(static_cast<std::uint16_t>(value));
  }
  return ResourceName::string(std::u16string(text));
}

Result<const ResourceIndex*> ModuleResourceIndex(HMODULE module) {
  auto image = ModuleResources(module);
  if (!image) return Error{"no such module"};
  return Cache().indexOf(*image);
}

const ResourceEntry* FindModuleResource(HMODULE module, LPCWSTR type, LPCWSTR name) {
  return Lookup(module, type, name, std::nullopt);
}

}  // namespace sim

using namespace sim;

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
  if (FailsByInjection("FindResourceW")) return nullptr;
  return ToHandle(Lookup(module, type, name, std::nullopt));
}

HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language) {
  return ToHandle(Lookup(module, type, name, language));
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  if (FailsByInjection("LoadResource")) return nullptr;
  const ResourceEntry* entry = resource ? Cache().entryOf(resource) : nullptr;
  if (!entry) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  // An empty resource still gets a non-null handle: the place where its data would be.
  return const_cast<unsigned char*>(entry->data.data());
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
  const ResourceEntry* entry = resource ? Cache().entryOf(resource) : nullptr;
  if (!entry) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return static_cast<DWORD>(entry->data.size());
}

LPVOID LockResource(HGLOBAL resource) { return resource; }

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax) {
  if (!buffer || bufferMax < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto index = ModuleResourceIndex(instance);
  std::optional<std::u16string_view> text;
  if (index) text = FindTableString(**index, id);
  if (!text) {
    SetLastError(index ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_DATA_NOT_FOUND);
    if (bufferMax > 0) buffer[0] = 0;
    return 0;
  }
  if (bufferMax == 0) {
    const WCHAR* start = text->data();
    std::memcpy(buffer, &start, sizeof start);
    return static_cast<int>(text->size());
  }
  std::size_t count = std::min<std::size_t>(text->size(), static_cast<std::size_t>(bufferMax) - 1);
  std::copy_n(text->data(), count, buffer);
  buffer[count] = 0;
  return static_cast<int>(count);
}
