// The suite's own work on a booted handheld, each beside a plain baseline over the
// same bytes or the same host folder:
//  - the companion's path-list action over a 1 MiB file list of 10,000 paths, beside
//    a memchr pass and a plain unit scan of the same block;
//  - opening the folder tree over a device of 20,000 folders, beside a recursive
//    std::filesystem enumeration, `find DIR -type d | sort`, and the device's own
//    search API walking the same folders;
//  - listing a folder of 10,000 files into the file browser's list view, beside a
//    std::filesystem enumeration of the same folder.
//
// Every device-side benchmark runs its measured loop on a program thread of the
// handheld; the driver only lets the device run. Wall-clock time is reported.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "companion.h"
#include "explorer.h"
#include "handheld.h"
#include "kernel/process.h"
#include "vornkit.h"

namespace {

namespace fs = std::filesystem;

constexpr const char16_t* kLibraryPath = u"\\Program Files\\Brackenway\\Vornkit.dll";
constexpr const char16_t* kCallerPath = u"\\Windows\\benchcaller.exe";
constexpr int kFileCount = 10000;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
constexpr int kTreeFolderCount = 20000;
constexpr UINT kAnswerMessage = WM_APP + 1;

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// A host folder under the temporary folder, removed when the process ends.
class HostFolder {
 public:
  explicit HostFolder(const std::string& what)
      : root_(fs::temp_directory_path() / ("suite-bench-" + what + "-" + std::to_string(::getpid()))) {
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  ~HostFolder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  HostFolder(const HostFolder&) = delete;
  HostFolder& operator=(const HostFolder&) = delete;
  const fs::path& root() const { return root_; }

 private:
  fs::path root_;
};

// Boots a handheld over `folder`, runs `body` as one of its programs until the
// device settles, and shuts the handheld down. False when the program did not end
// (it waited for something nobody gave it).
bool RunOnHandheld(const fs::path& folder, const std::function<void()>& body) {
  sim::HandheldOptions options;
  options.folder = folder;
  sim::Handheld handheld(options);
  bool finished = false;
  sim::StartFunction(handheld.device(), kCallerPath, [&] {
    body();
    finished = true;
    return 0;
  });
  handheld.device().scheduler().settle(10000, 3600 * 1000);
  return finished;
}

// ---- the file list on the clipboard -------------------------------------------------

// Names for the paths of a file-list block, padded so that a block of `folder`
// (with its trailing backslash) and 10,000 of them is exactly 1 MiB: the header,
// then for the folder and each path a marker unit, the text and its terminator.
std::vector<std::u16string> PaddedNames(const std::u16string& folder) {
  std::size_t folderUnits = folder.size() - 1;
  std::size_t fixed = 16 + 2 + 2 * folderUnits + 2;
  std::size_t perPath = 2 + 2 * folder.size() + 2;
  std::size_t nameUnits = (kBlockBytes - fixed - kFileCount * perPath) / 2;
  std::size_t base = nameUnits / kFileCount, longer = nameUnits % kFileCount;
  std::vector<std::u16string> names;
  for (int i = 0; i < kFileCount; ++i) {
    std::size_t length = base + (static_cast<std::size_t>(i) < longer ? 1 : 0);
    char head[16];
    std::snprintf(head, sizeof head, "File%05d ", i);
    std::string name = head;
    while (name.size() + 4 < length) name += static_cast<char>('a' + (i + name.size()) % 26);
    names.push_back(Wide(name + ".dat"));
  }
  return names;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// \Files holds 10,000 files, named for the 1 MiB block; the clipboard and listing
// benchmarks share it.
class FilesDevice {
 public:
  FilesDevice() : host_("files"), names_(PaddedNames(u"\\Files\\")) {
    fs::create_directories(host_.root() / "Files");
    for (int i = 0; i < kFileCount; ++i)
      std::ofstream(host_.root() / "Files" / Narrow(names_[static_cast<std::size_t>(i)])) << std::string(i % 97, 'x');
  }
  const fs::path& root() const { return host_.root(); }
  const std::vector<std::u16string>& names() const { return names_; }

 private:
  HostFolder host_;
  std::vector<std::u16string> names_;
};

const FilesDevice& Files() {
  static FilesDevice device;
  return device;
}

enum class PathsAre { Present, MissingAmongFiles, MissingFolder };

// The block the File Explorer makes for a selection of 10,000 files.
std::vector<BYTE> FileListBlock(PathsAre paths) {
  if (paths == PathsAre::MissingFolder) return explorer::BuildFileListBlock(u"\\Absent\\", PaddedNames(u"\\Absent\\"));
  std::vector<std::u16string> names = Files().names();
  // Same lengths, other names: the lookup misses in a folder of 10,000 files.
  if (paths == PathsAre::MissingAmongFiles)
    for (auto& name : names) name.back() = u'x';
  return explorer::BuildFileListBlock(u"\\Files\\", names);
}

// The window the companion works for (the File Explorer's): the clipboard takes data
// only from its owner window.
HWND OwnerWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.lpszClassName = u"BenchOwner";
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, u"BenchOwner", u"owner", 0, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
}

void PlaceFileList(HWND window, UINT format, const std::vector<BYTE>& block) {
  void* data = LocalAlloc(LMEM_FIXED, block.size());
  std::memcpy(data, block.data(), block.size());
  OpenClipboard(window);
  EmptyClipboard();
  SetClipboardData(format, data);
  CloseClipboard();
}

std::size_t LinesOfClipboardText(HWND window) {
  std::size_t lines = 0;
  OpenClipboard(window);
  if (auto text = static_cast<const char16_t*>(GetClipboardData(CF_UNICODETEXT))) {
    std::u16string_view view(text);
    lines = view.empty() ? 0 : 1;
    for (char16_t c : view) lines += c == u'\n';
  }
  CloseClipboard();
  return lines;
}

// ProcessClipboardFileList with the path-list action: one attribute lookup per path
// (the repair rule), the path appended to the text, the text placed on the
// clipboard. Placing the file list on the clipboard before each run is not timed.
void CompanionPathListScan(benchmark::State& state) {
  auto paths = static_cast<PathsAre>(state.range(0));
  std::vector<BYTE> block = FileListBlock(paths);
  if (block.size() != kBlockBytes) return state.SkipWithError("the block is not 1 MiB");
  std::size_t lines = 0;
  bool ran = RunOnHandheld(Files().root(), [&] {
    ResetCompanionState();
    HWND window = OwnerWindow();
    UINT format = RegisterClipboardFormatW(explorer::kFileListFormat);
    for (auto _ : state) {
      state.PauseTiming();
      PlaceFileList(window, format, block);
      state.ResumeTiming();
      ProcessClipboardFileList(window, format, ACTION_PATH_TO_CLIPBOARD);
    }
    lines = LinesOfClipboardText(window);
    ResetCompanionState();
  });
  if (!ran) return state.SkipWithError("the program did not end");
  if (lines != kFileCount) state.SkipWithError("the clipboard text does not hold every path");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
  state.SetLabel(paths == PathsAre::Present            ? "paths exist"
                 : paths == PathsAre::MissingAmongFiles ? "paths missing, folder of 10,000 files"
                                                        : "paths missing, folder missing");
}

// A memchr pass over the same bytes: every backslash byte at an even offset after
// a 0x01 byte is a path start.
void MemchrMarkerPass(benchmark::State& state) {
  std::vector<BYTE> block = FileListBlock(PathsAre::Present);
  std::size_t markers = 0;
  for (auto _ : state) {
    markers = 0;
    const BYTE* bytes = block.data();
    const BYTE* end = bytes + block.size();
    for (const BYTE* p = bytes + 1; p < end; ++p) {
      p = static_cast<const BYTE*>(std::memchr(p, 0x5C, static_cast<std::size_t>(end - p)));
      if (!p) break;
      std::size_t at = static_cast<std::size_t>(p - bytes);
      if (at % 2 == 0 && bytes[at - 1] == 0x01) ++markers;
    }
    benchmark::DoNotOptimize(markers);
  }
  if (markers != kFileCount + 1) state.SkipWithError("the pass did not find every path");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
}

// The bridge's walk without its per-path work: units, markers, terminators, and
// each path copied out, as the scan does before it looks the path up.
void PlainUnitScan(benchmark::State& state) {
  std::vector<BYTE> block = FileListBlock(PathsAre::Present);
  std::size_t paths = 0;
  for (auto _ : state) {
    paths = 0;
    const BYTE* bytes = block.data();
    std::u16string path;
    bool open = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < block.size(); i += 2) {
      if (i >= 2 && bytes[i] == 0x5C && bytes[i - 1] == 0x01) {
        open = true;
        start = i;
      } else if (open && bytes[i] == 0 && bytes[i + 1] == 0) {
        open = false;
        path.clear();
        for (std::size_t at = start; at < i; at += 2) path += static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
        benchmark::DoNotOptimize(path.data());
        ++paths;
      }
    }
  }
  if (paths != kFileCount + 1) state.SkipWithError("the scan did not find every path");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
}

// ---- the folder tree ---------------------------------------------------------------

// 20,000 folders in five levels: 4, 20, 100, 1,000, then 18,876 spread over the
// fourth level's folders, one of which holds 200.
class TreeDevice {
 public:
  TreeDevice() : host_("tree") {
    std::vector<fs::path> level{host_.root()};
    const int fanout[] = {4, 5, 5, 10};
    int made = 0;
    for (int depth = 0; depth < 4; ++depth) level = Grow(level, [&](std::size_t) { return fanout[depth]; }, made);
    int rest = kTreeFolderCount - made - 200;
    int parents = static_cast<int>(level.size()) - 1;
    level = Grow(level, [&](std::size_t i) {
      if (i == 0) return 200;
      int index = static_cast<int>(i) - 1;
      return rest / parents + (index < rest % parents ? 1 : 0);
    }, made);
    deepest_ = level.back();
  }
  const fs::path& root() const { return host_.root(); }
  // The device path of the last folder made, five levels down.
  std::u16string deepestPath() const {
    std::string relative = fs::relative(deepest_, host_.root()).string();
    std::string device;
    for (char c : relative) device += c == '/' ? '\\' : c;
    return Wide("\\" + device);
  }

 private:
  static std::vector<fs::path> Grow(const std::vector<fs::path>& parents, const std::function<int(std::size_t)>& count,
                                    int& made) {
    static const char* const kStems[] = {"Photos ", "notes_", "Backup-", "Mail", "Projects "};
    std::vector<fs::path> children;
    for (std::size_t p = 0; p < parents.size(); ++p) {
      for (int i = 0, n = count(p); i < n; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%03d", kStems[i % 5], i);
        children.push_back(parents[p] / name);
        fs::create_directory(children.back());
        ++made;
      }
    }
    return children;
  }

  HostFolder host_;
  fs::path deepest_;
};

const TreeDevice& Tree() {
  static TreeDevice device;
  return device;
}

// Folders below the host folder, the folder itself not counted.
std::size_t HostFolderCount(const fs::path& root) {
  std::size_t count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_directory()) ++count;
  return count;
}

// The caller's owner window: kAnswerMessage runs the answer stored with it, from
// inside whatever modal loop the caller is in.
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAnswerMessage) {
    auto* answer = reinterpret_cast<std::function<void()>*>(GetWindowLongW(window, GWL_USERDATA));
    if (answer) (*answer)();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateOwner(std::function<void()>* answer) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = OwnerProc;
  wc.lpszClassName = u"SuiteBenchOwner";
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(0, u"SuiteBenchOwner", u"caller", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                               nullptr, nullptr);
  SetWindowLongW(owner, GWL_USERDATA, reinterpret_cast<LONG>(answer));
  return owner;
}

// The modal dialog in front of the owner, found from inside its loop.
HWND DialogInFront(HWND owner) {
  HWND front = GetForegroundWindow();
  return front && front != owner ? front : GetActiveWindow();
}

template <class Proc>
Proc LibraryExport(int ordinal) {
  HMODULE library = LoadLibraryW(kLibraryPath);
  return library ? reinterpret_cast<Proc>(GetProcAddressW(library, MAKEINTRESOURCEW(ordinal))) : nullptr;
}

// FolderTree as the companion calls it, ended at once by a cancel posted from
// inside its modal loop: the whole scan, the tree, the pre-selection of a folder
// five levels down, the dialog's creation and its end.
void FolderTreeOpen(benchmark::State& state) {
  const TreeDevice& tree = Tree();
  std::size_t expectedItems = 0;
  LRESULT treeItems = -1;
  int lastResult = 0;
  bool ran = RunOnHandheld(tree.root(), [&] {
    expectedItems = HostFolderCount(tree.root()) + 1;  // and the root item
    std::function<void()> answer;
    HWND owner = CreateOwner(&answer);
    auto folderTree = LibraryExport<int (*)(HWND, LPCWSTR, LPWSTR)>(4);
    if (!folderTree) return state.SkipWithError("the library has no FolderTree");
    answer = [&] {
      HWND dialog = DialogInFront(owner);
      treeItems = SendMessageW(GetDlgItem(dialog, IDC_FOLDER_TREE), TVM_GETCOUNT, 0, 0);
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    std::u16string start = tree.deepestPath();
    for (auto _ : state) {
      WCHAR buffer[MAX_PATH] = {};
      std::copy(start.begin(), start.end(), buffer);
      PostMessageW(owner, kAnswerMessage, 0, 0);
      lastResult = folderTree(owner, u"移動先を指定してください", buffer);
    }
    DestroyWindow(owner);
  });
  if (!ran) return state.SkipWithError("the program did not end");
  if (treeItems == -1) return state.SkipWithError("the folder tree did not open");
  if (lastResult != 2) return state.SkipWithError("the dialog did not end with cancel");
  if (treeItems != static_cast<LRESULT>(expectedItems)) state.SkipWithError("the tree does not hold every folder");
  state.counters["folders"] = static_cast<double>(expectedItems - 1);
}

// The device's search API over the same folders, as the tree's scan walks them,
// without the tree: what the scan costs in the file system alone.
std::size_t DeviceFolderWalk(const std::u16string& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + u"\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  std::size_t count = 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) count += 1 + DeviceFolderWalk(folder + u"\\" + found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

void DeviceSearchFolderWalk(benchmark::State& state) {
  const TreeDevice& tree = Tree();
  std::size_t expected = 0, seen = 0;
  bool ran = RunOnHandheld(tree.root(), [&] {
    expected = HostFolderCount(tree.root());
    for (auto _ : state) seen = DeviceFolderWalk(u"");
  });
  if (!ran) return state.SkipWithError("the program did not end");
  if (seen != expected) state.SkipWithError("the walk did not see every folder");
}

void HostRecursiveFolderWalk(benchmark::State& state) {
  const TreeDevice& tree = Tree();
  std::size_t count = 0;
  for (auto _ : state) {
    count = HostFolderCount(tree.root());
    benchmark::DoNotOptimize(count);
  }
  state.counters["folders"] = static_cast<double>(count);
}

// `find DIR -type d | sort` through popen, timed by the steady clock around the
// whole run (the work happens in child processes).
void FindTypeDirSorted(benchmark::State& state) {
  const TreeDevice& tree = Tree();
  std::string command = "find '" + tree.root().string() + "' -type d | LC_ALL=C sort";
  std::size_t lines = 0;
  for (auto _ : state) {
    auto begin = std::chrono::steady_clock::now();
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return state.SkipWithError("popen failed");
    lines = 0;
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
      for (std::size_t i = 0; i < n; ++i) lines += buffer[i] == '\n';
    int status = ::pclose(pipe);
    auto end = std::chrono::steady_clock::now();
    if (status != 0) return state.SkipWithError("find failed");
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
  }
  state.counters["folders"] = static_cast<double>(lines - 1);
}

// ---- the file browser's listing ----------------------------------------------------

// ListFolder on the list view of a running FileDialog opened on \Files: the dialog
// is in its modal loop, and the measured loop runs in a message its owner
// receives there. Each run empties the list and lists the 10,000 files again.
void FileBrowserListFolder(benchmark::State& state) {
  Files();
  int listed = -1;
  bool ran = RunOnHandheld(Files().root(), [&] {
    std::function<void()> answer;
    HWND owner = CreateOwner(&answer);
    auto fileDialog = LibraryExport<int (*)(HWND, LPCWSTR, LPWSTR, int)>(2);
    if (!fileDialog) return state.SkipWithError("the library has no FileDialog");
    answer = [&] {
      HWND dialog = DialogInFront(owner);
      HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
      DialogRequest request;
      InitDialogRequest(&request);
      wcscpy(request.folder, u"\\Files\\");
      for (auto _ : state) ListFolder(&request, list);
      listed = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    WCHAR buffer[MAX_PATH] = u"\\Files\\";
    PostMessageW(owner, kAnswerMessage, 0, 0);
    fileDialog(owner, u"File", buffer, 0);
    DestroyWindow(owner);
  });
  if (!ran) return state.SkipWithError("the program did not end");
  if (listed == -1) return state.SkipWithError("the file browser did not open");
  if (listed != kFileCount) state.SkipWithError("the list does not hold every file");
  state.SetItemsProcessed(state.iterations() * kFileCount);
}

// What a row of the list needs from the host: name, size and last-write time.
void HostFolderListing(benchmark::State& state) {
  fs::path folder = Files().root() / "Files";
  int count = 0;
  for (auto _ : state) {
    count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
      benchmark::DoNotOptimize(entry.path().filename());
      benchmark::DoNotOptimize(entry.file_size());
      benchmark::DoNotOptimize(entry.last_write_time());
      ++count;
    }
  }
  if (count != kFileCount) state.SkipWithError("the enumeration did not see every file");
  state.SetItemsProcessed(state.iterations() * kFileCount);
}

}  // namespace

// A lookup that misses needs the folder's names ignoring case; the store lists a
// settled folder once for the whole run of misses.
BENCHMARK(CompanionPathListScan)
    ->Arg(static_cast<int>(PathsAre::Present))
    ->Arg(static_cast<int>(PathsAre::MissingAmongFiles))
    ->Arg(static_cast<int>(PathsAre::MissingFolder))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(MemchrMarkerPass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainUnitScan)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(FolderTreeOpen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DeviceSearchFolderWalk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(HostRecursiveFolderWalk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FindTypeDirSorted)->Unit(benchmark::kMillisecond)->UseManualTime();

BENCHMARK(FileBrowserListFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(HostFolderListing)->Unit(benchmark::kMillisecond)->UseRealTime();
