#include <afxstr.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string str(const CString& s) { return static_cast<LPCWSTR>(s); }

TEST(CString, BuildsAndConcatenates) {
  CString empty(static_cast<LPCWSTR>(nullptr));
  EXPECT_TRUE(empty.IsEmpty());
  CString path = u"\\My Documents";
  path += u'\\';
  path += CString(u"メモ");
  path += static_cast<LPCWSTR>(nullptr);
  EXPECT_EQ(str(path), u"\\My Documents\\メモ");
  EXPECT_EQ(str(u"\"" + path + u'"'), u"\"\\My Documents\\メモ\"");
  EXPECT_EQ(str(u'[' + CString(u'x', 3) + u"]"), u"[xxx]");
  EXPECT_EQ(str(CString(u"abcdef", 3) + CString(u"xy")), u"abcxy");
  EXPECT_TRUE(CString(u"abc", 0).IsEmpty());
  EXPECT_TRUE(CString(static_cast<LPCWSTR>(nullptr), 4).IsEmpty());

  CString moved = std::move(path);
  EXPECT_EQ(moved.GetLength(), 16);
  moved = u'z';
  EXPECT_TRUE(moved == u"z");
  EXPECT_TRUE(u"z" == moved);
  EXPECT_TRUE(moved != CString(u"Z"));
  EXPECT_EQ(moved.CompareNoCase(u"Z"), 0);
  EXPECT_TRUE(CString(u"a") < CString(u"b"));
  moved = static_cast<LPCWSTR>(moved) + 0;  // assigning its own text
  EXPECT_EQ(str(moved), u"z");
}

TEST(CString, FindsCharactersAndTexts) {
  const CString path = u"\\Windows\\Start Menu\\a.lnk";
  EXPECT_EQ(path.Find(u'\\'), 0);
  EXPECT_EQ(path.Find(u'\\', 1), 8);
  EXPECT_EQ(path.Find(u'\\', 100), -1);
  EXPECT_EQ(path.Find(u'\\', -5), 0);
  EXPECT_EQ(path.ReverseFind(u'\\'), 19);
  EXPECT_EQ(path.ReverseFind(u'#'), -1);
  EXPECT_EQ(path.Find(u"Menu"), 15);
  EXPECT_EQ(path.Find(u"Menu", 16), -1);
  EXPECT_EQ(path.FindOneOf(u".#"), 21);
  EXPECT_EQ(path[1], u'W');
  EXPECT_EQ(path.GetAt(99), 0);
}

TEST(CString, PartsClampOutOfRangeArguments) {
  const CString name = u"fexplore.exe";
  EXPECT_EQ(str(name.Left(8)), u"fexplore");
  EXPECT_EQ(str(name.Left(-1)), u"");
  EXPECT_EQ(str(name.Left(100)), u"fexplore.exe");
  EXPECT_EQ(str(name.Right(3)), u"exe");
  EXPECT_EQ(str(name.Right(100)), u"fexplore.exe");
  EXPECT_EQ(str(name.Right(-2)), u"");
  EXPECT_EQ(str(name.Mid(9)), u"exe");
  EXPECT_EQ(str(name.Mid(-3, 2)), u"fe");
  EXPECT_EQ(str(name.Mid(10, 100)), u"xe");
  EXPECT_EQ(str(name.Mid(100)), u"");
  EXPECT_EQ(str(name.Mid(2, -1)), u"");
}

TEST(CString, TrimsWhiteSpaceCharactersAndSets) {
  CString text = u" \t　name\r\n ";
  EXPECT_EQ(str(text.TrimLeft()), u"name\r\n ");
  EXPECT_EQ(str(text.TrimRight()), u"name");

  CString quoted = u"\"\"\\Windows\\fexplore.exe\"";
  quoted.TrimLeft(u'"');
  quoted.TrimRight(u'"');
  EXPECT_EQ(str(quoted), u"\\Windows\\fexplore.exe");

  CString folder = u"\\\\Storage Card\\\\";
  folder.TrimRight(u"\\/");
  folder.TrimLeft(u"\\");
  EXPECT_EQ(str(folder), u"Storage Card");

  CString all = u"xxxx";
  all.TrimLeft(u'x');
  EXPECT_TRUE(all.IsEmpty());
}

TEST(CString, CaseBufferAndFormat) {
  CString mixed = u"Readme ｶﾀｶﾅ";
  EXPECT_EQ(str(mixed.MakeUpper()), u"README ｶﾀｶﾅ");
  EXPECT_EQ(str(mixed.MakeLower()), u"readme ｶﾀｶﾅ");

  CString buffered = u"abc";
  WCHAR* raw = buffered.GetBuffer(MAX_PATH);
  wcscpy(raw, u"\\Windows\\Desktop");
  buffered.ReleaseBuffer();
  EXPECT_EQ(buffered.GetLength(), 16);
  buffered.GetBuffer(0);
  buffered.ReleaseBuffer(100);  // longer than the text: clamps
  EXPECT_EQ(buffered.GetLength(), 16);
  buffered.ReleaseBuffer(3);
  EXPECT_EQ(str(buffered), u"\\Wi");

  CString formatted;
  const std::u16string longName(600, u'n');
  formatted.Format(u"%s\\%s (%d)", u"\\フォルダ", longName.c_str(), 2);
  EXPECT_EQ(formatted.GetLength(), 5 + 1 + 600 + 4);
  EXPECT_EQ(str(formatted.Right(4)), u" (2)");
}

TEST(CString, EditingOperations) {
  CString text = u"a.b.c";
  EXPECT_EQ(text.Replace(u'.', u'\\'), 2);
  EXPECT_EQ(text.Replace(u"\\", u"::"), 2);
  EXPECT_EQ(str(text), u"a::b::c");
  EXPECT_EQ(text.Remove(u':'), 4);
  EXPECT_EQ(text.Insert(100, u'!'), 4);
  EXPECT_EQ(text.Delete(-1, 2), 2);
  EXPECT_EQ(str(text), u"c!");
}

}  // namespace
