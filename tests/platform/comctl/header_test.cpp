// The header control answers as the device's control documents it: items keep an
// index and an order of their own, HDM_SETITEMW asks the parent and then tells it,
// layout and hit testing follow the order, and taps on HDS_BUTTONS items reach the
// parent as HDN_ITEMCLICKW; such an item looks sunk while the stylus holds it.
#include <string>
#include <vector>

#include "../shell/screen_test_support.h"
#include "comctl/header.h"
#include "comctl_test_support.h"

namespace {

using Handheld = test_support::ControlHost;

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

std::string Describe(const NMHDR* note) {
  const auto* header = reinterpret_cast<const NMHEADERW*>(note);
  std::string item = std::to_string(header->iItem);
  std::string what = header->pItem ? " mask=" + std::to_string(header->pItem->mask) + " cxy=" +
                                         std::to_string(header->pItem->cxy)
                                   : " no item";
  switch (note->code) {
    case HDN_ITEMCHANGINGW: return "CHANGING " + item + what;
    case HDN_ITEMCHANGEDW: return "CHANGED " + item + what;
    case HDN_ITEMCLICKW: return "CLICK " + item + " button=" + std::to_string(header->iButton) + what;
    case HDN_ITEMDBLCLICKW: return "DBLCLICK " + item;
    case HDN_DIVIDERDBLCLICKW: return "DIVIDERDBLCLICK " + item;
    default: return "";
  }
}

void Record(std::function<LRESULT(NMHDR*)> reply = nullptr) {
  Log().clear();
  test_support::Answer() = [reply](NMHDR* note) -> LRESULT {
    std::string line = Describe(note);
    if (!line.empty()) Log().push_back(line);
    return reply ? reply(note) : 0;
  };
}

HWND MakeHeader(HWND host, DWORD style) {
  return CreateWindowExW(0, WC_HEADERW, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 240, 20, host,
                         reinterpret_cast<HMENU>(7), nullptr, nullptr);
}

int Add(HWND header, int at, const WCHAR* text, int width) {
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_WIDTH | HDI_LPARAM;
  item.pszText = const_cast<WCHAR*>(text);
  item.cxy = width;
  item.lParam = 1000 + width;
  return Header_InsertItem(header, at, &item);
}

std::u16string Title(HWND header, int index) {
  WCHAR text[32] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = text;
  item.cchTextMax = 32;
  Header_GetItem(header, index, &item);
  return text;
}

// The titles from left to right.
std::vector<std::u16string> Shown(HWND header) {
  std::vector<std::u16string> titles;
  for (int order = 0; order < Header_GetItemCount(header); ++order)
    titles.push_back(Title(header, Header_OrderToIndex(header, order)));
  return titles;
}

int Width(HWND header, int index) {
  HDITEMW item{};
  item.mask = HDI_WIDTH;
  Header_GetItem(header, index, &item);
  return item.cxy;
}

TEST(Header, ItemsKeepTheirIndexAndAnOrderOfTheirOwn) {
  Handheld handheld;
  handheld.start([](HWND host) {
    HWND header = MakeHeader(host, HDS_BUTTONS);
    EXPECT_EQ(Add(header, 0, u"name", 100), 0);
    EXPECT_EQ(Add(header, 99, u"size", 60), 1) << "past the end appends";
    EXPECT_EQ(Add(header, -1, u"bad", 10), -1);
    EXPECT_EQ(Header_InsertItem(header, 0, nullptr), -1);
    // Shown first, but inserted at the end.
    HDITEMW date{};
    date.mask = HDI_TEXT | HDI_WIDTH | HDI_ORDER;
    date.pszText = const_cast<WCHAR*>(u"date");
    date.cxy = 40;
    date.iOrder = 0;
    EXPECT_EQ(Header_InsertItem(header, 2, &date), 2);
    EXPECT_EQ(Shown(header), (std::vector<std::u16string>{u"date", u"name", u"size"}));
    // An insertion renumbers the items after it and takes the place of its index.
    EXPECT_EQ(Add(header, 0, u"type", 30), 0);
    EXPECT_EQ(Shown(header), (std::vector<std::u16string>{u"type", u"date", u"name", u"size"}));
    int order[4] = {};
    ASSERT_TRUE(Header_GetOrderArray(header, 4, order));
    EXPECT_EQ(std::vector<int>(order, order + 4), (std::vector<int>{0, 3, 1, 2}));
    EXPECT_FALSE(Header_GetOrderArray(header, 3, order)) << "the count must be the items'";
    EXPECT_EQ(Header_OrderToIndex(header, 9), 9) << "an order that names no item answers itself";
    EXPECT_EQ(Header_OrderToIndex(header, -1), -1);

    const int repeated[4] = {0, 0, 1, 2}, moved[4] = {1, 2, 3, 0};
    EXPECT_FALSE(Header_SetOrderArray(header, 4, repeated)) << "every item once";
    EXPECT_FALSE(Header_SetOrderArray(header, 3, moved));
    ASSERT_TRUE(Header_SetOrderArray(header, 4, moved));
    EXPECT_EQ(Shown(header), (std::vector<std::u16string>{u"name", u"size", u"date", u"type"}));
    HDITEMW read{};
    read.mask = HDI_ORDER | HDI_LPARAM | HDI_FORMAT | HDI_WIDTH;
    ASSERT_TRUE(Header_GetItem(header, 0, &read));
    EXPECT_EQ(read.iOrder, 3);
    EXPECT_EQ(read.lParam, 1030);
    EXPECT_EQ(read.fmt, HDF_LEFT);
    EXPECT_EQ(read.cxy, 30);

    // Deleting closes the gap in both the indices and the order.
    EXPECT_TRUE(Header_DeleteItem(header, 1));
    EXPECT_FALSE(Header_DeleteItem(header, 5));
    EXPECT_EQ(Header_GetItemCount(header), 3);
    EXPECT_EQ(Shown(header), (std::vector<std::u16string>{u"size", u"date", u"type"}));
    WCHAR cut[3] = {};
    HDITEMW shortRead{};
    shortRead.mask = HDI_TEXT;
    shortRead.pszText = cut;
    shortRead.cchTextMax = 3;
    ASSERT_TRUE(Header_GetItem(header, 1, &shortRead));
    EXPECT_EQ(std::u16string(cut), u"si") << "cut to the buffer, terminated";
    EXPECT_FALSE(Header_GetItem(header, 3, &shortRead));
  });
}

TEST(Header, SettingAnItemAsksTheParentFirstAndTellsItAfterwards) {
  Handheld handheld;
  HWND header = nullptr;
  handheld.start([&](HWND host) {
    header = MakeHeader(host, HDS_BUTTONS);
    for (const WCHAR* title : {u"a", u"b", u"c"}) Add(header, 9, title, 50);
  });
  handheld.call([&] {
    Record();
    HDITEMW wider{};
    wider.mask = HDI_WIDTH;
    wider.cxy = 80;
    EXPECT_TRUE(Header_SetItem(header, 1, &wider));
    EXPECT_EQ(Log(), (std::vector<std::string>{"CHANGING 1 mask=1 cxy=80", "CHANGED 1 mask=1 cxy=80"}));
    EXPECT_EQ(Width(header, 1), 80);

    // TRUE from the parent keeps the item as it is.
    Record([](NMHDR* note) -> LRESULT { return note->code == HDN_ITEMCHANGINGW; });
    wider.cxy = 10;
    EXPECT_FALSE(Header_SetItem(header, 1, &wider));
    EXPECT_EQ(Log(), (std::vector<std::string>{"CHANGING 1 mask=1 cxy=10"}));
    EXPECT_EQ(Width(header, 1), 80);

    // The change lands on the item asked about, wherever the parent moved it.
    Record([&](NMHDR* note) -> LRESULT {
      if (note->code == HDN_ITEMCHANGINGW) Header_DeleteItem(header, 0);
      return 0;
    });
    wider.cxy = 90;
    EXPECT_TRUE(Header_SetItem(header, 1, &wider));
    EXPECT_EQ(Log(), (std::vector<std::string>{"CHANGING 1 mask=1 cxy=90", "CHANGED 0 mask=1 cxy=90"}));
    EXPECT_EQ(Title(header, 0), u"b");
    EXPECT_EQ(Width(header, 0), 90);
    // ...and is dropped when the parent deleted that very item.
    Record([&](NMHDR* note) -> LRESULT {
      if (note->code == HDN_ITEMCHANGINGW) Header_DeleteItem(header, 0);
      return 0;
    });
    EXPECT_FALSE(Header_SetItem(header, 0, &wider));
    EXPECT_EQ(Log(), (std::vector<std::string>{"CHANGING 0 mask=1 cxy=90"}));
    EXPECT_EQ(Shown(header), std::vector<std::u16string>{u"c"});

    // Inserting and deleting tell nothing.
    Record();
    Add(header, 0, u"d", 20);
    Header_DeleteItem(header, 1);
    EXPECT_TRUE(Log().empty());
  });
}

TEST(Header, LayoutRectanglesAndHitTestingFollowTheOrder) {
  Handheld handheld;
  handheld.start([](HWND host) {
    HWND header = MakeHeader(host, HDS_BUTTONS);
    RECT area{10, 30, 200, 300};
    WINDOWPOS place{};
    HDLAYOUT layout{&area, &place};
    ASSERT_TRUE(Header_Layout(header, &layout));
    EXPECT_EQ(place.hwnd, header);
    EXPECT_EQ((std::vector<int>{place.x, place.y, place.cx, place.cy}),
              (std::vector<int>{10, 30, 190, sim::HeaderHeight()}));
    EXPECT_EQ(area.top, 30 + sim::HeaderHeight()) << "the rectangle keeps what is below the header";
    SetWindowLongW(header, GWL_STYLE, GetWindowLongW(header, GWL_STYLE) | HDS_HIDDEN);
    ASSERT_TRUE(Header_Layout(header, &layout));
    EXPECT_EQ(place.cy, 0) << "HDS_HIDDEN takes no height";
    EXPECT_EQ(area.top, 30 + sim::HeaderHeight());
    EXPECT_FALSE(Header_Layout(header, nullptr));

    for (int width : {100, 60, 0, 40}) Add(header, 9, u"t", width);
    struct Probe {
      POINT at;
      int item;
      UINT flags;
    };
    const Probe probes[] = {
        {{50, 5}, 0, HHT_ONHEADER},    {{97, 5}, 0, HHT_ONDIVIDER},   {{103, 5}, 0, HHT_ONDIVIDER},
        {{130, 5}, 1, HHT_ONHEADER},   {{158, 5}, 1, HHT_ONDIVIDER},  {{161, 5}, 2, HHT_ONDIVOPEN},
        {{180, 5}, 3, HHT_ONHEADER},   {{230, 5}, -1, HHT_NOWHERE},   {{-1, 5}, -1, HHT_TOLEFT},
        {{50, -2}, -1, HHT_ABOVE},     {{250, 30}, -1, HHT_TORIGHT | HHT_BELOW},
    };
    for (const Probe& probe : probes) {
      HDHITTESTINFO info{};
      info.pt = probe.at;
      EXPECT_EQ(SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), probe.item) << probe.at.x;
      EXPECT_EQ(info.iItem, probe.item);
      EXPECT_EQ(info.flags, probe.flags) << probe.at.x << "," << probe.at.y;
    }

    const int order[4] = {3, 0, 1, 2};
    Header_SetOrderArray(header, 4, order);
    RECT rect{};
    ASSERT_TRUE(Header_GetItemRect(header, 0, &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{40, 0, 140, 20}));
    HDHITTESTINFO info{};
    info.pt = POINT{20, 5};
    EXPECT_EQ(SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), 3);
    EXPECT_FALSE(Header_GetItemRect(header, 4, &rect));
  });
}

TEST(Header, ATapOnAButtonItemTellsTheParentAndOtherTapsTellNothing) {
  Handheld handheld;
  HWND header = nullptr;
  handheld.start([&](HWND host) {
    header = MakeHeader(host, HDS_BUTTONS);
    Add(header, 0, u"name", 100);
    Add(header, 1, u"size", 60);
  });
  Record();
  handheld.tap(header, POINT{50, 10});
  EXPECT_EQ(Log(), std::vector<std::string>{"CLICK 0 button=0 no item"});
  Record();
  handheld.tap(header, POINT{101, 10});
  EXPECT_TRUE(Log().empty()) << "a divider is not the item";
  handheld.doubleTap(header, POINT{130, 10});
  EXPECT_EQ(Log(), (std::vector<std::string>{"CLICK 1 button=0 no item", "DBLCLICK 1"}));

  // A press is a tap only when it comes up on the item it went down on.
  handheld.call([&] {
    Record();
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10));
    EXPECT_EQ(GetCapture(), header);
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(130, 10));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(Log().empty());
    SetWindowLongW(header, GWL_STYLE, GetWindowLongW(header, GWL_STYLE) & ~HDS_BUTTONS);
  });
  handheld.tap(header, POINT{50, 10});
  EXPECT_TRUE(Log().empty()) << "without HDS_BUTTONS the items are not buttons";
  handheld.doubleTap(header, POINT{99, 10});
  EXPECT_EQ(Log(), std::vector<std::string>{"DIVIDERDBLCLICK 0"});
}

// The stylus going down on an item sinks it; coming up raises it again.
TEST(Header, AButtonItemLooksSunkWhileTheStylusHoldsIt) {
  screentest::ScreenDevice handheld(screentest::ScreenSize{240, 320});
  HWND header = nullptr;
  handheld.start([&](HINSTANCE instance) -> HWND {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = u"HeaderHost";
    RegisterClassW(&wc);
    HWND host =
        CreateWindowExW(0, u"HeaderHost", u"", WS_VISIBLE, 0, 26, 240, 200, nullptr, nullptr, instance, nullptr);
    header = MakeHeader(host, HDS_BUTTONS);
    Add(header, 0, u"name", 100);
    Add(header, 1, u"size", 60);
    return nullptr;
  });
  RECT item{};
  Header_GetItemRect(header, 1, &item);
  POINT corner{item.left, item.top}, middle = test_support::Middle(item);
  ClientToScreen(header, &corner);
  const COLORREF raised = screentest::Sys(COLOR_3DLIGHT), sunk = screentest::Sys(COLOR_BTNSHADOW);
  EXPECT_EQ(handheld.at(corner.x, corner.y), raised);
  PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
  handheld.settle();
  EXPECT_EQ(handheld.at(corner.x, corner.y), sunk);
  EXPECT_EQ(handheld.at(corner.x - 2, corner.y), raised) << "only the item held";
  PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(middle.x, middle.y));
  handheld.settle();
  EXPECT_EQ(handheld.at(corner.x, corner.y), raised);
}

}  // namespace
