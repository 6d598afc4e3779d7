// Searches: FindFirstFileW, FindNextFileW, FindClose.
//
// A search takes the folder's matching names when it starts, in name order
// ignoring case, and reads each entry's details when it is handed out; an entry
// removed in between is skipped. "." and ".." are never reported.
#include <windows.h>

#include "fs/api_guard.h"
#include "fs/names.h"
#include "fs/object_store.h"
#include "kernel/handles.h"

using namespace sim;
using namespace sim::fs;

namespace {

ObjectStore& Store() { return Device::current().service<ObjectStore>(); }

bool NextFound(ObjectStore& store, Search& search, WIN32_FIND_DATAW& data) {
  while (search.next < search.entries.size()) {
    const HostEntry& entry = search.entries[search.next++];
    Node node;
    node.host = search.folder / entry.hostName;
    auto stat = search.openFolder ? search.openFolder.stat(entry.hostName) : StatNode(node.host);
    if (!stat) continue;
    node.path = search.folderPath;
    node.path.components.push_back(entry.name);
    node.exists = true;
    node.isDirectory = stat->isDirectory;
    store.fillFindData(node, *stat, data);
    return true;
  }
  return false;
}

// The entries a search for `pattern` starts with, or the error it fails with.
FsResult<std::shared_ptr<Search>> StartSearch(ObjectStore& store, const WCHAR* pattern) {
  auto path = ParseDevicePath(ArgumentText(pattern), PathUse::SearchPattern);
  if (!path) return path.error();
  if (path->isRoot() || path->trailingSeparator) return FsError{ERROR_FILE_NOT_FOUND};

  auto search = std::make_shared<Search>();
  const std::u16string& leaf = path->leaf();
  if (!HasWildcards(leaf)) {
    auto node = store.locate(*path);
    if (!node) return node.error();
    if (!node->exists) return FsError{ERROR_FILE_NOT_FOUND};
    search->folder = node->host.parent_path();
    search->folderPath = node->path.parent();
    search->entries.push_back(HostEntry{node->path.leaf(), node->host.filename().string(), node->isDirectory});
    return search;
  }

  auto listing = store.openFolder(path->parent());
  if (!listing) return listing.error();
  std::erase_if(listing->entries, [&](const HostEntry& entry) { return !MatchesPattern(leaf, entry.name); });
  search->folder = std::move(listing->node.host);
  search->folderPath = std::move(listing->node.path);
  search->openFolder = std::move(listing->folder);
  search->entries = std::move(listing->entries);
  return search;
}

// A handle that is not an open search (ended, or never one) is the program's misuse.
BOOL NotASearch(HANDLE handle, const char* operation) {
  reportProgramFault(operation, HandleText(handle), "not an open search handle");
  return FailWith(ERROR_INVALID_HANDLE);
}

}  // namespace

HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData) {
  if (InjectedFailure("FindFirstFileW")) return INVALID_HANDLE_VALUE;
  if (!findData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  ObjectStore& store = Store();
  auto search = StartSearch(store, fileName);
  if (!search) {
    SetLastError(search.error().code);
    return INVALID_HANDLE_VALUE;
  }
  if (!NextFound(store, **search, *findData)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  SetLastError(ERROR_SUCCESS);
  return store.addSearch(std::move(*search));
}

BOOL FindNextFileW(HANDLE handle, LPWIN32_FIND_DATAW findData) {
  if (InjectedFailure("FindNextFileW")) return FALSE;
  ObjectStore& store = Store();
  Search* search = store.search(handle);
  if (!search) return NotASearch(handle, "FindNextFileW");
  if (!findData) return FailWith(ERROR_INVALID_PARAMETER);
  if (!NextFound(store, *search, *findData)) return FailWith(ERROR_NO_MORE_FILES);
  return TRUE;
}

// A close that fails still ends the search: the program cannot end it any other
// way, and a search that outlived every call to close it would be a leak the
// program never made.
BOOL FindClose(HANDLE handle) {
  const bool injected = InjectedFailure("FindClose");
  const DWORD injectedError = GetLastError();
  ObjectStore& store = Store();
  if (!store.search(handle)) return NotASearch(handle, "FindClose");
  store.close(handle);
  if (injected) SetLastError(injectedError);
  return injected ? FALSE : TRUE;
}
