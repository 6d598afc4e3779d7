#include <string>

#include "dialog_test_support.h"
#include "gdi/gdi_objects.h"

#include "../resources/test_resource_ids.h"

namespace {

using test_support::TestDevice;

TEST(IconTest, ResourcesGiveSizesAndHandlesAreChecked) {
  TestDevice device;
  HICON icon = nullptr;
  int destroyedTwice = -1;
  device.start([&](HINSTANCE instance) {
    icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_FRAME), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(icon, nullptr);
    const sim::GdiObject* record = sim::GdiObjects::get().lookup(icon);
    EXPECT_TRUE(record && record->description.width == 16 && record->description.resourceId == IDI_FRAME);
    HBITMAP strip = LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_STRIP));
    EXPECT_NE(strip, nullptr);
    const sim::GdiObject* bitmap = sim::GdiObjects::get().lookup(strip);
    EXPECT_TRUE(bitmap && bitmap->description.width > 0);
    EXPECT_EQ(LoadImageW(instance, MAKEINTRESOURCEW(9999), IMAGE_ICON, 16, 16, 0), nullptr);
    EXPECT_TRUE(DeleteObject(strip));
    EXPECT_TRUE(DestroyIcon(icon));
    test_support::ExpectMisuse twice("DestroyIcon");
    destroyedTwice = DestroyIcon(icon);
    EXPECT_EQ(twice.faults().at(0).problem, "an icon that was already destroyed");
    return 0;
  });
  EXPECT_EQ(sim::GdiObjects::get().lookup(icon), nullptr) << "nothing is kept of a destroyed object but its kind";
  EXPECT_EQ(destroyedTwice, FALSE);
  EXPECT_EQ(sim::GdiObjects::get().liveOwnedCount(), 0u);
}

TEST(IconTest, StaticRefusesADestroyedIconAndTheWaitCursorIsKnown) {
  TestDevice device;
  HICON shown = nullptr;
  HICON first = nullptr;
  device.start([&](HINSTANCE instance) {
    HWND image = CreateWindowExW(0, u"STATIC", nullptr, WS_VISIBLE | SS_ICON, 0, 0, 32, 32, nullptr, nullptr, instance,
                                 nullptr);
    HICON icon = sim::CreateIconObject(sim::GdiDescription{});
    first = icon;
    SendMessageW(image, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    DestroyIcon(icon);
    HICON stock = LoadIconW(nullptr, IDI_HAND);
    EXPECT_TRUE(DestroyIcon(stock)) << "a stock icon survives DestroyIcon";
    {
      test_support::ExpectMisuse destroyed("STM_SETICON");
      SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    shown = reinterpret_cast<HICON>(SendMessageW(image, STM_GETICON, 0, 0));
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_TRUE(sim::GdiObjects::get().waitCursorShown());
    SetCursor(previous);
    return 0;
  });
  EXPECT_EQ(shown, first) << "the refused icon did not replace the one shown";
  EXPECT_FALSE(sim::GdiObjects::get().waitCursorShown());
}

}  // namespace
