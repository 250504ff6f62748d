// The UTF-8 check of a file read in pieces gives the verdict of the whole text wherever the
// pieces are cut, characters crossing an edge included.
#include <gtest/gtest.h>

#include "MemoryReader.h"

#include <cstring>

#include "search/Utf8Pieces.h"
#include "text/Encoding.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

// The verdict of the pieces [0, a), [a, b), [b, end).
bool piecesMayBeUtf8(std::string_view text, std::size_t a, std::size_t b) {
  const ReadAt read = testing::memoryReader(text);
  const std::size_t cuts[] = {0, a, b, text.size()};
  for (int k = 0; k < 3; ++k) {
    const std::string_view piece = text.substr(cuts[k], cuts[k + 1] - cuts[k]);
    if (!pieceMayBeUtf8(piece, cuts[k], k == 2, read)) return false;
  }
  return true;
}

TEST(Utf8Pieces, EveryCutGivesTheWholeTextsVerdict) {
  const std::string texts[] = {
      "plain ascii text, long enough to pass in blocks of thirty-two bytes",
      "caf\xC3\xA9 \xD0\xBF\xD1\x80\xD0\xB8 \xE2\x82\xAC \xF0\x9F\x98\x80 end",
      "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xE2\x82\xAC\xC3\xA9",
      "caf\xE9 in a legacy page",            // a lone lead byte
      "ends cut \xE2\x82",                   // a character cut by the end of the file
      "stray \x80 continuation",             // a continuation without a lead
      "one too many \xC3\xA9\xA9 after",     // a character with an extra continuation
      "overlong \xC0\xAF and \xE0\x80\xAF",  // overlong forms
      "surrogate \xED\xA0\x80 here",         // a UTF-16 surrogate
      "past the range \xF4\x90\x80\x80",     // beyond U+10FFFF
      "\xE2\x82"
      "a lead then ASCII",  // a lead cut short by an ASCII byte
      "\xA9 starts with a continuation",
      std::string(40, 'a') + "\xD0\xBF" + std::string(40, 'b') + "\xFF",
  };
  for (const std::string& text : texts) {
    const bool whole = text::isWellFormedUtf8(text);
    for (std::size_t a = 0; a <= text.size(); ++a) {
      for (std::size_t b = a; b <= text.size(); ++b) {
        ASSERT_EQ(piecesMayBeUtf8(text, a, b), whole) << text << " cut at " << a << ", " << b;
      }
    }
  }
}

TEST(Utf8Pieces, TheTextEndsAtItsFirstNul) {
  const std::string text = std::string("valid \xC3\xA9", 8) + '\0' + "then \xE9 legacy";
  // Read whole, the byte past the NUL does not count.
  EXPECT_TRUE(pieceMayBeUtf8(text, 0, true, testing::memoryReader(text)));
  // Cut anywhere, no piece misses a fault before the NUL.
  const std::string bad = std::string("\xE9 first", 7) + '\0' + "rest";
  for (std::size_t a = 0; a <= bad.size(); ++a) {
    EXPECT_FALSE(piecesMayBeUtf8(bad, a, a)) << a;
  }
}

}  // namespace
}  // namespace kestrix::search
