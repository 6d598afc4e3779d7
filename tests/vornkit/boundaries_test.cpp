// The library's paths at the edge of MAX_PATH: a text of 259 characters is used,
// one of 260 (which the device's formatter leaves unterminated) is refused and
// changes nothing. Also the kinds of paths that end in a backslash, and the path
// box's limit.
#include <gtest/gtest.h>

#include <string>

#include "kernel/image_registry.h"
#include "support/test_device.h"
#include "vornkit.h"
#include "suite_images.h"

namespace {

// "\Temp\" followed by a name that makes the whole path `length` characters long.
std::u16string TempPath(size_t length, char16_t fill) { return u"\\Temp\\" + std::u16string(length - 6, fill); }

// The same path for the host; the names of these tests are ASCII.
std::string Ascii(const std::u16string& text) { return std::string(text.begin(), text.end()); }

class VornkitBoundaries : public ::testing::Test {
 protected:
  VornkitBoundaries() {
    device_.folder("\\Temp");
    device_.device().service<sim::ImageRegistry>().install(sim::VornkitImage());
  }

  // Runs `body` with a file browser opened (modeless) on `folder` in a program
  // that loaded the library, and closes it afterwards.
  void WithBrowser(const std::u16string& folder, const std::function<void(DialogRequest&, HWND)>& body) {
    device_.run([&] {
      HMODULE library = LoadLibraryW(u"\\Program Files\\Brackenway\\Vornkit.dll");
      DialogRequest request;
      InitDialogRequest(&request);
      request.mustExist = 0;
      wcscpy(request.folder, folder.c_str());
      HRSRC resource = FindResourceW(instanceHandle, MAKEINTRESOURCEW(IDD_FILE_BROWSER), RT_DIALOG);
      auto dialogTemplate = (LPCDLGTEMPLATEW)LoadResource(instanceHandle, resource);
      HWND dialog = CreateDialogIndirectParamW(instanceHandle, dialogTemplate, nullptr, FileBrowserDialogProc,
                                               (LPARAM)&request);
      body(request, dialog);
      DestroyWindow(dialog);
      if (request.imageList != nullptr) ImageList_Destroy(request.imageList);
      FreeLibrary(library);
      return 0;
    });
  }

  static void FocusItem(HWND dialog, const std::u16string& name) {
    HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = name.c_str();
    int index = (int)SendMessageW(list, LVM_FINDITEMW, (WPARAM)-1, (LPARAM)&find);
    ASSERT_GE(index, 0);
    LVITEMW state{};
    state.stateMask = LVIS_FOCUSED;
    state.state = LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, index, (LPARAM)&state);
  }

  test_support::TestDevice device_;
};

TEST_F(VornkitBoundaries, PathsEndingInABackslashNameFolders) {
  device_.folder("\\Folder");
  std::vector<int> kinds;
  device_.run([&] {
    CloseHandle(CreateFileW(u"\\Folder\\file.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    for (LPCWSTR path : {u"\\", u"\\Folder\\", u"\\Folder\\\\", u"\\Folder\\file.txt\\", u"\\Missing\\",
                         u"\\Folder\\file.txt"})
      kinds.push_back(GetPathKind(path));
    return 0;
  });
  EXPECT_EQ(kinds, (std::vector<int>{2, 2, 2, 0, 0, 1}));
}

TEST_F(VornkitBoundaries, NewFolderFitsAtTwoHundredFiftyNine) {
  // "新しいﾌｫﾙﾀﾞ" has 8 characters: a folder of 251 gives 259, of 252 gives 260.
  const std::u16string fits = TempPath(250, u'n') + u"\\";
  const std::u16string tooLong = TempPath(251, u'o') + u"\\";
  device_.folder(Ascii(fits));
  device_.folder(Ascii(tooLong));
  int results[2] = {-1, -1};
  DWORD kinds[2] = {0, 0};
  WithBrowser(fits, [&](DialogRequest& request, HWND dialog) {
    results[0] = CreateNewFolder(&request, dialog);
    kinds[0] = GetFileAttributesW((fits + u"新しいﾌｫﾙﾀﾞ").c_str());
  });
  WithBrowser(tooLong, [&](DialogRequest& request, HWND dialog) {
    results[1] = CreateNewFolder(&request, dialog);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((tooLong + u"*").c_str(), &found);
    kinds[1] = search == INVALID_HANDLE_VALUE ? 0 : 1;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
  });
  EXPECT_EQ(results[0], 1);
  EXPECT_EQ(kinds[0], static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(results[1], 0);
  EXPECT_EQ(kinds[1], 0u) << "nothing is created in the folder";
}

TEST_F(VornkitBoundaries, DescendingFitsAtTwoHundredFiftyNine) {
  // The folder entered is written with its trailing backslash.
  const std::u16string fits = TempPath(258, u'f');
  const std::u16string tooLong = TempPath(259, u'g');
  device_.folder(Ascii(fits));
  device_.folder(Ascii(tooLong));
  std::u16string folders[2];
  int results[2] = {-1, -1};
  WithBrowser(u"\\Temp\\", [&](DialogRequest& request, HWND dialog) {
    FocusItem(dialog, tooLong.substr(6));
    results[1] = OpenFocusedItem(&request, dialog);
    folders[1] = request.folder;
    FocusItem(dialog, fits.substr(6));
    results[0] = OpenFocusedItem(&request, dialog);
    folders[0] = request.folder;
  });
  EXPECT_EQ(results[1], 0);
  EXPECT_EQ(folders[1], u"\\Temp\\");
  EXPECT_EQ(results[0], 1);
  EXPECT_EQ(folders[0], fits + u"\\");
}

TEST_F(VornkitBoundaries, RenamingFitsAtTwoHundredFiftyNine) {
  const std::u16string fits = TempPath(259, u'r');
  const std::u16string tooLong = TempPath(260, u's');
  DWORD found[3] = {0, 0, 0};
  WithBrowser(u"\\Temp\\", [&](DialogRequest& request, HWND dialog) {
    CloseHandle(CreateFileW(u"\\Temp\\old.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    for (const std::u16string* target : {&tooLong, &fits}) {
      wcscpy(oldItemName, u"old.txt");
      request.renaming = 1;
      std::u16string newName = target->substr(6);
      NMLVDISPINFOW info{};
      info.hdr.code = LVN_ENDLABELEDITW;
      info.item.pszText = newName.data();
      HandleListNotify(&request, dialog, &info.hdr);
      EXPECT_EQ(request.renaming, 0);
      if (target == &tooLong) found[0] = GetFileAttributesW(u"\\Temp\\old.txt");
    }
    found[1] = GetFileAttributesW(fits.c_str());
    found[2] = GetFileAttributesW(u"\\Temp\\old.txt");
  });
  EXPECT_NE(found[0], INVALID_FILE_ATTRIBUTES) << "a name that does not fit leaves the item as it was";
  EXPECT_NE(found[1], INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(found[2], INVALID_FILE_ATTRIBUTES);
}

// The path box takes what a path can hold; a longer text put into it by other means
// is refused by OK, never returned cut.
TEST_F(VornkitBoundaries, PathBoxHoldsAtMostTwoHundredFiftyNine) {
  const std::u16string fits = TempPath(259, u'p');
  const std::u16string tooLong = TempPath(260, u'q');
  LRESULT limit = 0;
  int accepted[2] = {-1, -1};
  std::u16string path;
  WithBrowser(u"\\Temp\\", [&](DialogRequest& request, HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_PATH_EDIT);
    limit = SendMessageW(edit, EM_GETLIMITTEXT, 0, 0);
    SetWindowTextW(edit, tooLong.c_str());
    accepted[1] = ValidateOk(&request, dialog);
    SetWindowTextW(edit, fits.c_str());
    accepted[0] = ValidateOk(&request, dialog);
    path = request.path;
  });
  EXPECT_EQ(limit, MAX_PATH - 1);
  EXPECT_EQ(accepted[1], 0);
  EXPECT_EQ(accepted[0], 1);
  EXPECT_EQ(path, fits);
}

// The tree searches "%s\*.*" below each folder: a folder of 255 characters is
// searched (259), one of 256 (260) is shown without children.
TEST_F(VornkitBoundaries, TreeSearchFitsAtTwoHundredFiftyNine) {
  const std::u16string fits = TempPath(255, u't');
  const std::u16string tooLong = TempPath(256, u'u');
  device_.folder(Ascii(fits + u"\\c"));
  device_.folder(Ascii(tooLong + u"\\c"));
  int children[2] = {-1, -1};
  device_.run([&] {
    HWND tree = CreateWindowExW(0, WC_TREEVIEWW, u"", WS_CHILD, 0, 0, 100, 100,
                                CreateWindowExW(0, u"STATIC", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
                                nullptr, nullptr, nullptr);
    for (int i = 0; i < 2; ++i) {
      TVINSERTSTRUCTW insert{};
      insert.hInsertAfter = TVI_LAST;
      insert.item.mask = TVIF_TEXT;
      insert.item.pszText = const_cast<LPWSTR>(u"top");
      auto top = (HTREEITEM)SendMessageW(tree, TVM_INSERTITEMW, 0, (LPARAM)&insert);
      FillFolderTree(tree, top, (i == 0 ? fits : tooLong).c_str(), 0);
      children[i] = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)top) != 0 ? 1 : 0;
    }
    DestroyWindow(GetParent(tree));
    return 0;
  });
  EXPECT_EQ(children[0], 1);
  EXPECT_EQ(children[1], 0);
}

}  // namespace
