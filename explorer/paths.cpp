#include "explorer.h"

namespace explorer {

std::u16string JoinPath(const std::u16string& folder, const std::u16string& name) { return folder + name; }

bool IsFolderAttributes(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY)) != 0;
}

}  // namespace explorer
