// Line splitting, code-page tables and HTML escaping.
#include <gtest/gtest.h>

#include "text/CodePage.h"
#include "text/Html.h"
#include "text/Lines.h"

namespace kestrix::text {
namespace {

TEST(Lines, BreaksAtCrLfAndCrLfPairs) {
  struct Case {
    std::string_view text;
    std::vector<std::string_view> lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"\n", {""}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\n", {"a"}},
      {"a\n\n", {"a", ""}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks, not a pair
      {"a\r\r\nb", {"a", "", "b"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(splitLines(c.text), c.lines) << "text: " << testing::PrintToString(c.text);
    EXPECT_EQ(countLines(c.text), c.lines.size());
  }
}

TEST(Lines, TextEndsAtFirstNulAndLinesKeepOffsets) {
  const std::string bytes("ab\ncd\0ef\n", 9);
  const std::string_view text = textUntilNul(bytes);
  EXPECT_EQ(text, "ab\ncd");
  EXPECT_TRUE(hasNul(bytes));
  EXPECT_EQ(textUntilNul(std::string("\0x", 2)), "");
  std::vector<std::size_t> offsets;
  forEachLine(text, [&](const Line& line) { offsets.push_back(line.offset); });
  EXPECT_EQ(offsets, (std::vector<std::size_t>{0, 3}));
  int seen = 0;
  forEachLine("a\nb\nc", [&](const Line&) { return ++seen < 2; });
  EXPECT_EQ(seen, 2);
}

TEST(CodePage, Utf8FoldsAsciiOnlyAndKeepsHighBytesInWords) {
  const CodePage& cp = CodePage::utf8();
  EXPECT_EQ(cp.toUpper("abc xyz_09"), "ABC XYZ_09");
  EXPECT_EQ(cp.toUpper("\xc3\xa9"), "\xc3\xa9");
  EXPECT_TRUE(cp.isWordChar(0xC3));
  EXPECT_TRUE(cp.isWordChar('_'));
  EXPECT_FALSE(cp.isLetterOrDigit('_'));
  EXPECT_FALSE(cp.isWordChar('-'));
  EXPECT_EQ(cp.otherCase('a'), 'A');
  EXPECT_EQ(cp.otherCase('A'), 'a');
  EXPECT_EQ(cp.otherCase('1'), '1');
}

TEST(CodePage, Windows1252FoldsAccentedLetters) {
  const CodePage& cp = CodePage::windows1252();
  EXPECT_EQ(cp.upper(0xE9), 0xC9);  // e acute
  EXPECT_EQ(cp.upper(0xF7), 0xF7);  // division sign is no letter
  EXPECT_EQ(cp.upper(0xFF), 0x9F);
  EXPECT_EQ(cp.lower(0x8A), 0x9A);
  EXPECT_EQ(cp.upper(0xDF), 0xDF);  // sharp s has no capital here
  EXPECT_TRUE(cp.isLetterOrDigit(0xDF));
  EXPECT_FALSE(cp.isLetterOrDigit(0xD7));  // multiplication sign
  EXPECT_FALSE(cp.isLetterOrDigit(0xA0));
  setActiveCodePage(CodePageId::Windows1252);
  EXPECT_EQ(activeCodePage().id(), CodePageId::Windows1252);
  setActiveCodePage(CodePageId::Utf8);
  EXPECT_EQ(activeCodePage().id(), CodePageId::Utf8);
}

TEST(Html, EscapesFourCharactersAndMapsOffsets) {
  EXPECT_EQ(htmlEscape("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c'");
  const EscapedText e = htmlEscapeWithOffsets("x<y");
  EXPECT_EQ(e.text, "x&lt;y");
  EXPECT_EQ(e.offsets, (std::vector<std::size_t>{0, 1, 5, 6}));
  EXPECT_EQ(htmlEscapeWithOffsets("").offsets, std::vector<std::size_t>{0});
}

}  // namespace
}  // namespace kestrix::text
