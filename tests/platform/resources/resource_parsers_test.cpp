#include <gtest/gtest.h>

#include <functional>

#include "test_image.h"
#include "test_resource_ids.h"
#include "user/resource_dialog.h"
#include "user/resource_icon.h"
#include "user/resource_menu.h"
#include "user/resource_menubar.h"
#include "user/resource_module.h"
#include "user/resource_strings.h"
#include "user/resource_version.h"

using test_support::Bytes;

namespace {

constexpr std::uint16_t kRtBitmap = 2, kRtIcon = 3, kRtMenu = 4, kRtDialog = 5, kRtRcdata = 10,
                        kRtGroupIcon = 14, kRtVersion = 16;

TEST(DialogTemplate, ReadsClassicTemplateWithJapaneseTextsAndNamedClasses) {
  auto dialog = sim::ParseDialogTemplate(Bytes(kRtDialog, IDD_CONFIRM));
  ASSERT_TRUE(dialog) << dialog.message();
  EXPECT_FALSE(dialog->extended);
  EXPECT_EQ(dialog->style, 0x80C00A40u);
  EXPECT_EQ(dialog->cx, 134);
  EXPECT_EQ(dialog->cy, 78);
  EXPECT_EQ(dialog->caption, u"ｼｮｰﾄｶｯﾄの貼り付けの確認");
  EXPECT_EQ(dialog->pointSize, 9);
  EXPECT_EQ(dialog->typeface, u"System");
  EXPECT_TRUE(dialog->menu.empty());
  ASSERT_EQ(dialog->items.size(), 4u);

  const auto& yes = dialog->items[0];
  EXPECT_EQ(yes.className, u"BUTTON");
  EXPECT_EQ(yes.title.text, u"はい");
  EXPECT_EQ(yes.controlId(), 1);
  EXPECT_EQ(yes.style, 0x50010001u);
  EXPECT_EQ(yes.x, 23);
  EXPECT_EQ(yes.y, 61);
  EXPECT_EQ(yes.cx, 40);
  EXPECT_EQ(yes.cy, 14);

  EXPECT_EQ(dialog->items[1].className, u"STATIC");
  EXPECT_TRUE(dialog->items[2].classId.isOrdinal());  // the ICON statement's own form
  EXPECT_EQ(dialog->items[2].className, u"STATIC");
  // An icon control's title names the icon resource by number.
  const auto& icon = dialog->items[2];
  EXPECT_EQ(icon.controlId(), -1);
  ASSERT_TRUE(icon.title.isOrdinal());
  EXPECT_EQ(*icon.title.ordinal, IDI_FRAME);

  const auto& list = dialog->items[3];
  EXPECT_FALSE(list.classId.isOrdinal());
  EXPECT_TRUE(list.classId.matches(sim::ResourceName::string(u"SysListView32")));
  EXPECT_EQ(list.className, u"SYSLISTVIEW32");
  EXPECT_EQ(list.style, 0x5081021Fu);
  EXPECT_EQ(list.title.text, u"List1");
}

TEST(DialogTemplate, ReadsExtendedTemplateWithFontWeightAndExStyle) {
  auto dialog = sim::ParseDialogTemplate(Bytes(kRtDialog, IDD_FOLDER));
  ASSERT_TRUE(dialog) << dialog.message();
  EXPECT_TRUE(dialog->extended);
  EXPECT_EQ(dialog->exStyle, 0x80040000u);
  EXPECT_EQ(dialog->style & 0x10000000u, 0x10000000u);
  EXPECT_EQ(dialog->caption, u"Folder");
  EXPECT_EQ(dialog->fontWeight, 700);
  EXPECT_TRUE(dialog->italic);
  EXPECT_EQ(dialog->charset, 128);
  ASSERT_EQ(dialog->items.size(), 2u);
  EXPECT_EQ(dialog->items[0].controlId(), 1005);
  EXPECT_TRUE(dialog->items[0].classId.matches(sim::ResourceName::string(u"systreeview32")));
  EXPECT_EQ(dialog->items[1].controlId(), -1);
  EXPECT_EQ(dialog->items[1].className, u"STATIC");
  EXPECT_EQ(dialog->items[1].title.text, u"ﾏｲ ﾃﾞﾊﾞｲｽ");
}

TEST(DialogTemplate, RefusesAnUnknownClassOrdinal) {
  auto bytes = test_support::Prefix(Bytes(kRtDialog, IDD_CONFIRM), Bytes(kRtDialog, IDD_CONFIRM).size());
  // The icon control's class is the static ordinal (0xFFFF 0x0082); make it unknown.
  bool patched = false;
  for (std::size_t i = 0; i + 3 < bytes.size() && !patched; i += 2)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xFF && bytes[i + 2] == 0x82 && bytes[i + 3] == 0) {
      bytes[i + 2] = 0x90;
      patched = true;
    }
  ASSERT_TRUE(patched);
  EXPECT_FALSE(sim::ParseDialogTemplate(bytes));
}

TEST(MenuTemplate, ReadsTheTreeWithStatesAndSeparators) {
  auto menu = sim::ParseMenuTemplate(Bytes(kRtMenu, IDM_VIEW));
  ASSERT_TRUE(menu) << menu.message();
  ASSERT_EQ(menu->items.size(), 3u);
  EXPECT_EQ(menu->items[0].text, u"Ok");
  EXPECT_EQ(menu->items[0].id, 1u);
  EXPECT_EQ(menu->items[1].text, u"ｷｬﾝｾﾙ");
  const auto& view = menu->items[2];
  EXPECT_TRUE(view.popup);
  EXPECT_EQ(view.text, u"表示");
  ASSERT_EQ(view.children.size(), 5u);
  EXPECT_EQ(view.children[0].text, u"1つ上(&U)");
  EXPECT_EQ(view.children[0].id, 40049u);
  EXPECT_TRUE(view.children[1].separator);
  EXPECT_TRUE(view.children[2].checked());
  EXPECT_FALSE(view.children[2].grayed());
  EXPECT_TRUE(view.children[3].grayed());
  EXPECT_FALSE(view.children[3].separator);
  const auto& more = view.children[4];
  ASSERT_TRUE(more.popup);
  ASSERT_EQ(more.children.size(), 1u);
  EXPECT_EQ(more.children[0].text, u"新しいﾌｫﾙﾀﾞ");
  EXPECT_EQ(more.children[0].id, 1022u);
}

TEST(MenuTemplate, ReadsTheExtendedLayout) {
  auto menu = sim::ParseMenuTemplate(Bytes(kRtMenu, IDM_EXTENDED));
  ASSERT_TRUE(menu) << menu.message();
  EXPECT_TRUE(menu->extended);
  ASSERT_EQ(menu->items.size(), 1u);
  const auto& file = menu->items[0];
  EXPECT_TRUE(file.popup);
  EXPECT_EQ(file.text, u"ファイル");
  EXPECT_EQ(file.id, 300u);
  EXPECT_EQ(file.helpId, 77u);
  ASSERT_EQ(file.children.size(), 3u);
  EXPECT_EQ(file.children[0].text, u"開く");
  EXPECT_TRUE(file.children[0].grayed());
  EXPECT_TRUE(file.children[1].separator);
  EXPECT_TRUE(file.children[2].checked());
  EXPECT_EQ(file.children[2].id, 302u);
}

TEST(MenuTemplate, RefusesNestingBeyondAnyRealMenu) {
  // Forty popups, each the only (and last) item of its parent, each one level down.
  std::vector<unsigned char> bytes = {0, 0, 0, 0};
  for (int i = 0; i < 40; ++i) bytes.insert(bytes.end(), {0x90, 0, 'P', 0, 0, 0});
  bytes.insert(bytes.end(), {0x80, 0, 1, 0, 'x', 0, 0, 0});
  EXPECT_FALSE(sim::ParseMenuTemplate(bytes));
}

TEST(MenuBarTemplate, ReadsButtonsWithSignedImageAndSubmenu) {
  auto bar = sim::ParseMenuBarTemplate(Bytes(kRtRcdata, IDM_VIEW));
  ASSERT_TRUE(bar) << bar.message();
  EXPECT_EQ(bar->menuId, IDM_VIEW);
  ASSERT_EQ(bar->buttons.size(), 3u);
  EXPECT_EQ(bar->buttons[0].image, -2);
  EXPECT_EQ(bar->buttons[0].command, 1);
  EXPECT_EQ(bar->buttons[0].state, 4);
  EXPECT_EQ(bar->buttons[0].style, 16);
  EXPECT_EQ(bar->buttons[0].stringId, IDS_OK);
  EXPECT_EQ(bar->buttons[0].subMenu, 0);
  EXPECT_EQ(bar->buttons[1].style, 1);
  EXPECT_EQ(bar->buttons[1].subMenu, -1);
  EXPECT_EQ(bar->buttons[2].command, 40061);
  EXPECT_EQ(bar->buttons[2].style, 24);
  EXPECT_EQ(bar->buttons[2].subMenu, 2);
}

TEST(StringTable, FindsStringsByIdAcrossBlocks) {
  const auto& index = test_support::Index();
  EXPECT_EQ(sim::FindTableString(index, IDS_FIRST), u"最初");
  EXPECT_EQ(sim::FindTableString(index, IDS_OK), u"Ok");
  EXPECT_EQ(sim::FindTableString(index, IDS_CANCEL), u"ｷｬﾝｾﾙ");
  EXPECT_EQ(sim::FindTableString(index, IDS_VIEW), u"表示");
  EXPECT_FALSE(sim::FindTableString(index, IDS_EMPTY_SLOT));  // empty slot of a present block
  EXPECT_FALSE(sim::FindTableString(index, 0));                // slot 0 of block 1 is empty
  EXPECT_FALSE(sim::FindTableString(index, 300));              // block missing
  EXPECT_FALSE(sim::FindTableString(index, 0x10000 + IDS_OK)); // beyond 16 bits: not wrapped
}

TEST(IconResources, GroupEntriesLeadToTheirImages) {
  auto group = sim::ParseIconGroup(Bytes(kRtGroupIcon, IDI_FRAME));
  ASSERT_TRUE(group) << group.message();
  ASSERT_EQ(group->entries.size(), 2u);
  for (const auto& entry : group->entries) {
    EXPECT_EQ(entry.bitCount, 4);
    auto image = sim::ParseIconImage(Bytes(kRtIcon, entry.iconId));
    ASSERT_TRUE(image) << image.message();
    EXPECT_EQ(image->width, entry.width);
    EXPECT_EQ(image->height, entry.height);  // the mask half is not counted
  }
  EXPECT_EQ(group->best(16, 16)->width, 16);
  EXPECT_EQ(group->best(32, 32)->width, 32);
  EXPECT_EQ(group->best(20, 20)->width, 32);  // nearest larger
  EXPECT_EQ(group->best(64, 64)->width, 32);  // else the largest smaller
}

TEST(IconResources, BitmapHeaderGivesTheStripSize) {
  auto bitmap = sim::ParseBitmapHeader(Bytes(kRtBitmap, IDB_STRIP));
  ASSERT_TRUE(bitmap) << bitmap.message();
  EXPECT_EQ(bitmap->width, 64);
  EXPECT_EQ(bitmap->height, 16);
  EXPECT_EQ(bitmap->bitCount, 4);
}

TEST(VersionInfo, ReadsFixedInfoAndJapaneseStrings) {
  auto info = sim::ParseVersionInfo(Bytes(kRtVersion, 1));
  ASSERT_TRUE(info) << info.message();
  ASSERT_TRUE(info->fixed);
  EXPECT_EQ(info->fixed->dwFileVersionMS, 0x00010002u);
  EXPECT_EQ(info->fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(info->fixed->dwProductVersionMS, 0x00010002u);
  ASSERT_EQ(info->tables.size(), 1u);
  EXPECT_EQ(info->tables[0].key, u"041104b0");
  EXPECT_EQ(info->value(u"FileVersion"), u"1.20");
  EXPECT_EQ(info->value(u"FileDescription"), u"ファイルを扱うテスト用の部品");
  EXPECT_EQ(info->value(u"InternalName"), u"Sample");
  EXPECT_FALSE(info->value(u"ProductName"));
  EXPECT_EQ(info->translations, std::vector<std::uint32_t>{0x04B00411u});

  auto fromImage = sim::VersionInfoOfImage(test_support::Image());
  ASSERT_TRUE(fromImage) << fromImage.message();
  EXPECT_EQ(fromImage->value(u"FileVersion"), u"1.20");
}

// Every parser, given every proper prefix of a real resource, refuses it without
// reading past the end.
TEST(ResourceParsers, RefuseEveryTruncation) {
  struct Case {
    const char* what;
    std::span<const unsigned char> bytes;
    std::function<bool(std::span<const unsigned char>)> parses;
  };
  const Case cases[] = {
      {"dialog", Bytes(kRtDialog, IDD_CONFIRM), [](auto b) { return sim::ParseDialogTemplate(b).ok(); }},
      {"dialogex", Bytes(kRtDialog, IDD_FOLDER), [](auto b) { return sim::ParseDialogTemplate(b).ok(); }},
      {"menu", Bytes(kRtMenu, IDM_VIEW), [](auto b) { return sim::ParseMenuTemplate(b).ok(); }},
      {"menuex", Bytes(kRtMenu, IDM_EXTENDED), [](auto b) { return sim::ParseMenuTemplate(b).ok(); }},
      {"menu bar", Bytes(kRtRcdata, IDM_VIEW), [](auto b) { return sim::ParseMenuBarTemplate(b).ok(); }},
      {"icon group", Bytes(kRtGroupIcon, IDI_FRAME), [](auto b) { return sim::ParseIconGroup(b).ok(); }},
      {"bitmap", Bytes(kRtBitmap, IDB_STRIP).first(40), [](auto b) { return sim::ParseBitmapHeader(b).ok(); }},
      {"version", Bytes(kRtVersion, 1), [](auto b) { return sim::ParseVersionInfo(b).ok(); }},
  };
  for (const auto& c : cases) {
    ASSERT_FALSE(c.bytes.empty()) << c.what;
    ASSERT_TRUE(c.parses(c.bytes)) << c.what;
    for (std::size_t length = 0; length < c.bytes.size(); ++length)
      EXPECT_FALSE(c.parses(test_support::Prefix(c.bytes, length))) << c.what << " cut to " << length;
  }
}

TEST(VersionInfo, RefusesBlocksWhoseLengthsDisagree) {
  auto bytes = test_support::Prefix(Bytes(kRtVersion, 1), Bytes(kRtVersion, 1).size());
  auto zeroLength = bytes;
  zeroLength[0] = zeroLength[1] = 0;
  EXPECT_FALSE(sim::ParseVersionInfo(zeroLength));
  auto tooLong = bytes;
  tooLong[0] = 0xFF, tooLong[1] = 0xFF;
  EXPECT_FALSE(sim::ParseVersionInfo(tooLong));
}

}  // namespace
