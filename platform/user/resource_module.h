// The resources of the device's modules, as the platform's own parts reach them
// (dialogs, menus, icons, menu bars): the parsed index of a module, kept for the
// device's lifetime, and lookups by the API's resource names.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include <windows.h>

#include "text/result.h"
#include "user/resource_image.h"

namespace sim {

// A name or type as the API passes it: MAKEINTRESOURCE(n), "#n", or a text.
ResourceName ResourceNameFromApi(LPCWSTR name);

// The parsed resources of a module (null: the calling process's program). Fails for
// an unknown module or a malformed image; the error names which.
Result<const ResourceIndex*> ModuleResourceIndex(HMODULE module);

// The resource of that type and name in the preferred language. On failure the
// calling thread's last error is set as FindResourceW sets it.
const ResourceEntry* FindModuleResource(HMODULE module, LPCWSTR type, LPCWSTR name);

}  // namespace sim
