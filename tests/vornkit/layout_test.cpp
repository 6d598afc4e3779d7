// The folder tree dialog's layout on both screen sizes: the dialog fills the work
// area and the tree keeps 4 pixels from the sides and the bottom, 22 from the top.
#include <gtest/gtest.h>

#include "kernel/device.h"
#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "support/test_device.h"
#include "user/window.h"
#include "suite_images.h"
#include "vornkit.h"

namespace {

struct Screen {
  int width;
  int height;
};

class FolderTreeLayout : public ::testing::TestWithParam<Screen> {};

TEST_P(FolderTreeLayout, TreeFollowsTheDialogsClientArea) {
  test_support::TestDevice booted(GetParam().width, GetParam().height);
  booted.folder("\\Windows");
  {
    sim::Device& device = *booted;
    device.service<sim::ImageRegistry>().install(sim::VornkitImage());
    int result = -1;
    booted.launch(u"\\Tests\\caller.exe", [&] {
      HMODULE library = LoadLibraryW(u"\\Program Files\\Brackenway\\Vornkit.dll");
      auto folderTree = reinterpret_cast<int (*)(HWND, LPCWSTR, LPWSTR)>(
          GetProcAddressW(library, MAKEINTRESOURCEW(4)));
      WCHAR path[MAX_PATH] = u"\\Windows";
      result = folderTree ? folderTree(nullptr, u"title", path) : -2;
      FreeLibrary(library);
      return 0;
    });
    device.scheduler().settle(10000, 3600 * 1000);

    sim::WindowSystem& windows = sim::WindowSystem::get();
    sim::Window* dialog = windows.foreground();
    ASSERT_NE(dialog, nullptr);
    RECT work = windows.workArea();
    EXPECT_EQ(dialog->rect.left, work.left);
    EXPECT_EQ(dialog->rect.top, work.top);
    EXPECT_EQ(dialog->width(), work.right - work.left);
    EXPECT_EQ(dialog->height(), work.bottom - work.top);
    sim::Window* tree = windows.find(GetDlgItem(dialog->handle, IDC_FOLDER_TREE));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->rect.left, 4);
    EXPECT_EQ(tree->rect.top, 22);
    EXPECT_EQ(tree->width(), dialog->width() - 8);
    EXPECT_EQ(tree->height(), dialog->height() - 26);

    PostMessageW(dialog->handle, WM_COMMAND, IDCANCEL, 0);
    device.scheduler().settle(10000, 3600 * 1000);
    EXPECT_EQ(result, 2);
  }
}

INSTANTIATE_TEST_SUITE_P(Screens, FolderTreeLayout, ::testing::Values(Screen{240, 320}, Screen{480, 640}));

}  // namespace
