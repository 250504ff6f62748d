// Display decoding of found lines: UTF-8 or the legacy code page, controls as spaces, and
// hits kept on their characters through the byte-to-column map.
#include <gtest/gtest.h>

#include <cstdint>

#include "text/DisplayText.h"

namespace kestrix::text {
namespace {

TEST(DisplayText, DecodesAndKeepsHitsOnTheirCharacters) {
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t start, length;
    std::u16string units;
    int column, columns;
    Encoding encoding;
  };
  const std::vector<Case> cases = {
      {"ascii", "abc", 1, 1, u"abc", 1, 1, Encoding::Utf8},
      {"utf8 before hit", "\xC3\xA9 x", 3, 1, u"\u00E9 x", 2, 1, Encoding::Utf8},
      {"utf8 hit", "a\xC3\xA9z", 1, 2, u"a\u00E9z", 1, 1, Encoding::Utf8},
      {"cp1252", "caf\xE9 bar", 5, 3, u"caf\u00E9 bar", 5, 3, Encoding::Legacy},
      {"cp1252 euro", "\x80 x", 2, 1, u"\u20AC x", 2, 1, Encoding::Legacy},
      {"cp1252 unassigned", "\x81\x8D\x8F\x90\x9D\x9F", 5, 1,
       u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\u0178", 5, 1, Encoding::Legacy},
      {"controls as spaces", std::string("a\tb\x01\x1F\0c", 7), 6, 1, u"a b   c", 6, 1,
       Encoding::Utf8},
      {"legacy controls", "\t\xE9!", 1, 1, u" \u00E9!", 1, 1, Encoding::Legacy},
      {"cut tail", "ab\xE2\x82", 0, 2, u"ab\uFFFD", 0, 2, Encoding::Utf8},
      {"cut lead alone", "ab\xF0", 2, 1, u"ab\uFFFD", 2, 1, Encoding::Utf8},
      {"hit inside cut tail", "ab\xF0\x9F\x98", 3, 1, u"ab\uFFFD", 2, 1, Encoding::Utf8},
      {"astral pair", "\xF0\x9F\x98\x80x", 4, 1, u"\U0001F600x", 2, 1, Encoding::Utf8},
      {"hit on astral", "a\xF0\x9F\x98\x80x", 1, 4, u"a\U0001F600x", 1, 2, Encoding::Utf8},
      {"start inside char", "\xC3\xA9z", 1, 1, u"\u00E9z", 0, 1, Encoding::Utf8},
      {"end inside char", "a\xE2\x82\xACz", 0, 2, u"a\u20ACz", 0, 2, Encoding::Utf8},
      {"overlong", "\xC0\xAFz", 2, 1, u"\u00C0\u00AFz", 2, 1, Encoding::Legacy},
      {"surrogate", "\xED\xA0\x80z", 3, 1, u"\u00ED\u00A0\u20ACz", 3, 1, Encoding::Legacy},
      {"past U+10FFFF", "\xF4\x90\x80\x80", 0, 1, u"\u00F4\uFFFD\u20AC\u20AC", 0, 1,
       Encoding::Legacy},
      {"stray continuation", "a\x80z", 1, 1, u"a\u20ACz", 1, 1, Encoding::Legacy},
      {"malformed before a cut tail", "\xC3(\xE2\x82", 0, 1, u"\u00C3(\u00E2\u201A", 0, 1,
       Encoding::Legacy},
      {"past end", "abc", 2, 10, u"abc", 2, 1, Encoding::Utf8},
      {"start past end", "abc", 7, 1, u"abc", 3, 0, Encoding::Utf8},
      {"empty", "", 0, 1, u"", 0, 0, Encoding::Utf8},
      {"huge count", "abc", 1, SIZE_MAX, u"abc", 1, 2, Encoding::Utf8},
      {"huge start", "abc", SIZE_MAX, SIZE_MAX, u"abc", 3, 0, Encoding::Utf8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DisplayText decoded = decodeForDisplay(c.bytes);
    EXPECT_EQ(decoded.units, c.units);
    EXPECT_EQ(decoded.encoding, c.encoding);
    ASSERT_EQ(decoded.columnOfByte.size(), c.bytes.size() + 1);
    EXPECT_EQ(decoded.columnOfByte.back(), static_cast<int>(decoded.units.size()));
    EXPECT_EQ(decoded.columnRange(c.start, c.length), std::make_pair(c.column, c.columns));
  }
}

TEST(DisplayText, AcceptsOnlyACutLastCharacter) {
  struct Case {
    std::string bytes;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"", true},
      {"ab\xE2\x82", true},
      {"ab\xE0", true},
      {"ab\xE0\xA0", true},
      {"ab\xE0\x80", false},  // an overlong start is no cut character
      {"ab\xED\xA0", false},  // nor is a surrogate's
      {"ab\xF4\x90", false},  // nor one past U+10FFFF
      {"ab\xF4\x8F\xBF", true},
      {"\xE2\x82x", false},  // cut in the middle of the text
      {"\xC3\xA9\xC3", true},
      {"\x80", false},
      {"\xC1", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isUtf8WithCutTail(c.bytes), c.accepted) << testing::PrintToString(c.bytes);
  }
}

TEST(DisplayText, DecodesInTheLegacyCodePageAsked) {
  const DisplayText cyrillic = decodeForDisplay("\xCF\xF0\xE8", "Windows-1251");
  EXPECT_EQ(cyrillic.units, u"\u041F\u0440\u0438");
  EXPECT_EQ(cyrillic.encoding, Encoding::Legacy);
  EXPECT_THROW(decodeForDisplay("\xE9!", "no such page"), EncodingError);
  EXPECT_EQ(decodeForDisplay("ok", "no such page").units, u"ok");  // UTF-8 needs no code page
}

}  // namespace
}  // namespace kestrix::text
