// Every text the suite can show has a glyph for every character, on both screens:
// the literals of the resource scripts and of the programs' sources.
#include "gdi_test_support.h"

#include <fstream>
#include <set>
#include <cctype>
#include <sstream>
#include <string>

#include "gdi/fonts.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::u32string Utf8ToCodePoints(const std::string& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? c : c & (0x7F >> length);
    for (int k = 1; k < length && i + k < text.size(); ++k) code = (code << 6) | (text[i + k] & 0x3F);
    out.push_back(code);
    i += static_cast<std::size_t>(length);
  }
  return out;
}

// The quoted text starting after line[open]: a script doubles its quotes, a
// source escapes them with a backslash. Moves `open` past the closing quote.
std::string QuotedAt(const std::string& line, std::size_t& open, bool script) {
  std::string text;
  std::size_t i = open + 1;
  for (; i < line.size(); ++i) {
    if (script && line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      text.push_back(line[++i]);
    } else if (!script && line[i] == '\\' && i + 1 < line.size()) {
      ++i;  // an escape: the character after the backslash is not shown as such
    } else if (line[i] == '"') {
      break;
    } else {
      text.push_back(line[i]);
    }
  }
  open = i;
  return text;
}

// Whether the quote at line[i] opens a wide literal: u"", L"", TEXT(""), _T("").
bool WideQuote(const std::string& line, std::size_t i) {
  auto endsWith = [&](const char* prefix) {
    std::size_t n = std::char_traits<char>::length(prefix);
    return i >= n && line.compare(i - n, n, prefix) == 0 && (i == n || !std::isalnum(static_cast<unsigned char>(line[i - n - 1])));
  };
  return endsWith("u") || endsWith("L") || endsWith("TEXT(") || endsWith("_T(");
}

// The string literals of a file: all quoted texts of a resource script, the wide
// literals of a source file; lines that are comments or includes are skipped.
std::vector<std::string> Literals(const fs::path& file) {
  std::vector<std::string> found;
  bool script = file.extension() == ".rc";
  std::istringstream lines(ReadAll(file));
  for (std::string line; std::getline(lines, line);) {
    std::string trimmed = line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
    if (trimmed.rfind("//", 0) == 0 || trimmed.rfind("#include", 0) == 0) continue;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] != '"') continue;
      bool wanted = script || WideQuote(line, i);
      std::string text = QuotedAt(line, i, script);
      if (wanted) found.push_back(std::move(text));
    }
  }
  return found;
}

std::vector<fs::path> SuiteFiles() {
  std::vector<fs::path> files;
  for (const char* folder : {"companion", "vornkit", "setup", "explorer", "platform/shell", "platform/user"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(HANDHELD_SOURCE_DIR) / folder)) {
      auto extension = entry.path().extension();
      if (extension == ".rc" || extension == ".cpp" || extension == ".h") files.push_back(entry.path());
    }
  }
  return files;
}

TEST(GlyphCoverage, EveryTextOfTheSuiteHasGlyphsOnBothScreens) {
  std::vector<fs::path> files = SuiteFiles();
  ASSERT_GT(files.size(), 20u);
  for (int scale : {1, 2}) {
    test_support::TestDevice handheld(240 * scale, 320 * scale);
    sim::FontFace& face = sim::Fonts::get().face(12 * scale, false);
    sim::FontFace& bold = sim::Fonts::get().face(12 * scale, true);
    int checked = 0;
    std::set<char32_t> japanese;
    for (const fs::path& file : files) {
      for (const std::string& literal : Literals(file)) {
        for (char32_t c : Utf8ToCodePoints(literal)) {
          if (c < 0x20 || c == U'\\') continue;  // escapes and control characters are not shown
          ++checked;
          if (c >= 0x3000) japanese.insert(c);
          EXPECT_TRUE(face.has(c)) << "U+" << std::hex << static_cast<unsigned>(c) << " in \"" << literal << "\" of "
                                   << file.filename() << " at " << std::dec << 12 * scale << " pixels";
          EXPECT_TRUE(bold.has(c)) << "bold U+" << std::hex << static_cast<unsigned>(c) << " of " << file.filename();
        }
      }
    }
    EXPECT_GT(checked, 1000);
    EXPECT_GT(japanese.size(), 100u) << "the scan reaches the Japanese texts";
  }
}

TEST(GlyphCoverage, TheStrikesHoldTheJapaneseTheSuiteUses) {
  test_support::TestDevice handheld;
  sim::FontFace& face = sim::Fonts::get().face(12, false);
  // From the bitmap strikes themselves, not the outline fallback: 12 pixels wide
  // for a full-width character, 6 for half-width katakana and Latin.
  for (char32_t c : {U'編', U'送', U'確', U'「', U'。', U'ー', U'～'}) EXPECT_EQ(face.glyph(c).advance, 12) << static_cast<unsigned>(c);
  for (char32_t c : {U'ｼ', U'ｮ', U'ﾞ', U'A', U'~'}) EXPECT_EQ(face.glyph(c).advance, 6) << static_cast<unsigned>(c);
  EXPECT_FALSE(face.has(U'\U0001F600')) << "no picture characters: those would be boxes";
}

}  // namespace
