// The header control ("SysHeader32"): a row of titles, one item per column of a
// list, each as wide as its column. Items have an index (where they were inserted)
// and an order (where they are shown, left to right); HDM_SETORDERARRAY and
// HDI_ORDER move an item without changing its index.
//
// With HDS_BUTTONS an item behaves as a push button: it looks pressed while the
// stylus holds it down and tells its parent HDN_ITEMCLICKW when the stylus comes up
// on it. HDM_SETITEMW asks the parent first (HDN_ITEMCHANGINGW, TRUE refuses) and
// tells it afterwards (HDN_ITEMCHANGEDW).
#pragma once

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct HeaderItem {
  std::uint64_t id = 0;  // stays with the item while the parent changes the others
  int width = 0;
  std::u16string text;
  int format = HDF_LEFT;
  LPARAM param = 0;
  int image = 0;
  HBITMAP bitmap = nullptr;
};

struct HeaderState {
  std::vector<HeaderItem> items;  // by index
  std::vector<int> order;         // item indices, left to right
  HIMAGELIST imageList = nullptr;
  std::uint64_t nextId = 1;

  // the item a tap holds down in a header with HDS_BUTTONS (0: none); it looks pressed
  std::uint64_t pressedItem = 0;
};

// The height HDM_LAYOUT gives the control: 20 pixels, doubled on the VGA screen.
inline constexpr int kHeaderHeight = 20;
int HeaderHeight();

LRESULT CALLBACK HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sim
