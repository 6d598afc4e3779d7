// Sorted insertion into a list view and a tree view, each beside a plain std::sort of
// the same names with the same comparison, so the cost of the controls shows against
// the cost of sorting alone; and the ordinal sort beside it, so the cost of the
// device's collation shows against the code-point comparison.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "kernel/device.h"
#include "kernel/process.h"

namespace {

std::vector<std::u16string> Names(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> letter(0, 25), length(4, 14), upper(0, 3);
  std::vector<std::u16string> names;
  names.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::u16string name;
    for (int n = length(random); n > 0; --n) name += static_cast<char16_t>((upper(random) ? u'a' : u'A') + letter(random));
    names.push_back(std::move(name));
  }
  return names;
}

// Runs `work` on a simulated thread of a freshly booted handheld, with a host window
// for the controls; gives the seconds `work` took.
double OnHandheld(const std::function<void(HWND host)>& work) {
  auto root = std::filesystem::temp_directory_path() / ("handheld-comctl-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root);
  double seconds = 0;
  {
    sim::DeviceConfig config;
    config.root = root;
    sim::Device device(config);
    sim::StartFunction(device, u"\\Windows\\bench.exe", [&] {
      InitCommonControls();
      WNDCLASSW wc{};
      wc.lpfnWndProc = DefWindowProcW;
      wc.lpszClassName = u"BenchHost";
      RegisterClassW(&wc);
      HWND host = CreateWindowExW(0, u"BenchHost", u"", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr, nullptr);
      auto start = std::chrono::steady_clock::now();
      work(host);
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      return 0;
    });
    device.scheduler().runUntilIdle();
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return seconds;
}

// The controls' order: the device's Japanese collation, ignoring case (lstrcmpiW).
bool NameLess(const std::u16string& a, const std::u16string& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; }
// The C runtime's ordinal order, which the controls used before they collated.
bool OrdinalLess(const std::u16string& a, const std::u16string& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; }

void BM_ListViewSortedInsert10k(benchmark::State& state) {
  const auto names = Names(10000, 1);
  for (auto _ : state) {
    state.SetIterationTime(OnHandheld([&](HWND host) {
      HWND list = CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | LVS_LIST | LVS_SORTASCENDING, 0, 0, 240,
                                  200, host, nullptr, nullptr, nullptr);
      for (const auto& name : names) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = const_cast<WCHAR*>(name.c_str());
        benchmark::DoNotOptimize(ListView_InsertItem(list, &item));
      }
    }));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(BM_ListViewSortedInsert10k)->UseManualTime()->Unit(benchmark::kMillisecond);

// A plain std::sort of the names with `less`, on a booted handheld (the collation is
// a service of the device).
template <bool (*Less)(const std::u16string&, const std::u16string&)>
void BM_StdSortNames(benchmark::State& state) {
  const auto names = Names(static_cast<std::size_t>(state.range(0)), state.range(0) > 10000 ? 2 : 1);
  for (auto _ : state) {
    state.SetIterationTime(OnHandheld([&](HWND) {
      auto copy = names;
      std::sort(copy.begin(), copy.end(), Less);
      benchmark::DoNotOptimize(copy.data());
    }));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(BM_StdSortNames<NameLess>)
    ->Name("BM_StdSortNames")
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdSortNames<OrdinalLess>)
    ->Name("BM_StdSortNamesOrdinal")
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

HTREEITEM AddSorted(HWND tree, HTREEITEM parent, const std::u16string& text) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_SORT;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<WCHAR*>(text.c_str());
  return TreeView_InsertItem(tree, &insert);
}

HWND MakeTree(HWND host) {
  return CreateWindowExW(0, WC_TREEVIEWW, u"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES, 0, 0, 240, 200,
                         host, nullptr, nullptr, nullptr);
}

// 100,000 items as a folder tree: 100 folders of 999 items each, every item inserted
// with TVI_SORT in random order, then each level sorted once more.
void BM_TreeSortedInsert100k(benchmark::State& state) {
  const auto names = Names(100000, 2);
  for (auto _ : state) {
    state.SetIterationTime(OnHandheld([&](HWND host) {
      HWND tree = MakeTree(host);
      std::vector<HTREEITEM> folders;
      for (std::size_t i = 0; i < 100; ++i) folders.push_back(AddSorted(tree, TVI_ROOT, names[i]));
      for (std::size_t i = 100; i < names.size(); ++i) AddSorted(tree, folders[i % 100], names[i]);
      TreeView_SortChildren(tree, TVI_ROOT, FALSE);
      for (HTREEITEM folder : folders) TreeView_SortChildren(tree, folder, FALSE);
      // destroying the tree tells the parent of every item; that is part of the run
      DestroyWindow(tree);
    }));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(BM_TreeSortedInsert100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The worst shape: 100,000 siblings under one parent, in random order.
void BM_TreeSortedInsert100kFlat(benchmark::State& state) {
  const auto names = Names(100000, 2);
  for (auto _ : state) {
    state.SetIterationTime(OnHandheld([&](HWND host) {
      HWND tree = MakeTree(host);
      HTREEITEM root = AddSorted(tree, TVI_ROOT, u"root");
      for (const auto& name : names) AddSorted(tree, root, name);
      TreeView_SortChildren(tree, root, FALSE);
      DestroyWindow(tree);
    }));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(BM_TreeSortedInsert100kFlat)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
