// The character mode on UTF-8 subjects: Unicode case folding (every simple pair of
// CaseFolding.txt), "." and classes on characters, invalid bytes, ranges by code point, the
// Unicode classes, the Russian ranges of modifier r, and "\n" against CR LF.
#include <gtest/gtest.h>

#include <fstream>

#include "../text/CaseFoldingPairs.h"
#include "RegexTestUtil.h"
#include "regex/RegExpr.h"
#include "text/Encoding.h"
#include "text/Utf8.h"

namespace kestrix {
namespace {

TEST(RegexUnicode, CharacterMode) {
  struct Case {
    const char* pattern;
    const char* mods;
    std::string subject;
    const char* matches;
  } cases[] = {
      {"привет", "+i", "ПРИВЕТ Привет привет", "1,12;14,12;27,12"},
      {"ΕΛΛΆΔΑ", "+i", "ελλάδα", "1,12"},
      {"über", "+i", "ÜBER", "1,5"},
      {"straße", "+i", "STRAẞE", "1,8"},
      {"σ+", "+i", "ΣσςX", "1,6"},
      {"é+", "", "éé", "1,4"},             // the quantifier takes the whole character
      {"a.c", "", "aéc a€c", "1,4;6,5"},   // "." takes one character
      {"^..$", "", "é", ""},               // not two bytes
      {"..$", "", "€", ""},                // no match starts inside a character
      {".", "", "a\xff\xc3", "1,1;2,1"},   // only a byte no sequence begins with
      {"[^é]", "", "é\xa9x", "4,1"},       // classes take no invalid byte
      {"[à-ÿ]+", "", "xàéÿ!", "2,6"},      // ranges by code point
      {"[а-я]+", "+i", "ПРИВЕТ", "1,12"},  // caseless classes fold
      {"[а-я]", "-r", "ё", ""},
      {"[а-я]", "+r", "ё", "1,2"},                              // r widens а-я by ё ...
      {"[А-Я]", "+r", "Ё", "1,2"},                              // ... and А-Я by Ё
      {"[а-Я]+", "+r", "ЁёЯа", "1,8"},                          // both alphabets
      {"\\w+", "", "«mot» naïve_1 ١٢ é", "3,3;9,8;18,4;23,2"},  // marks belong to words
      {"\\w", "", "e\xcc\x81", "1,1;2,2"},  // a combining mark is a word character
      {"\\d+", "", "x١٢3", "2,5"},
      {"\\s", "",
       "a\xc2\xa0"
       "b",
       "2,2"},  // no-break space
      {"\\x{44F}|\\xe9", "", "яé", "1,2;3,2"},
      {"\\W", "", "a€", "2,3"},
  };
  for (const Case& c : cases) {
    RegExpr re;
    re.setUtf8Mode(true);
    testing::applyModifiers(re, c.mods);
    re.setExpression(c.pattern);
    EXPECT_EQ(testing::allMatches(re, c.subject), c.matches)
        << c.pattern << " " << c.mods << " on " << testing::printable(c.subject);
  }
}

// "\n" matches CR LF and LF alike; "$", "\s" and "." with s keep seeing CR and LF as two
// characters: "$" never matches between them, "\s" and "." take one of them each.
TEST(RegexUnicode, NewlineAgainstCrLf) {
  struct Case {
    const char* pattern;
    const char* subject;
    const char* matches;
  } cases[] = {
      {"abc\\ndef", "abc\r\ndef\r\n", "1,8"},
      {"abc\\ndef", "abc\ndef", "1,7"},
      {"abc\\r\\ndef", "abc\r\ndef", "1,8"},
      {"c\\n", "c\r\nc\nc\r", "1,3;4,2"},
      {"c$", "c\r\nc", "1,1;4,1"},
      {"c\\sd", "c\r\nd", ""},
      {"c\\s+d", "c\r\nd", "1,4"},
      {"c.d", "c\r\nd", ""},
      {"c..d", "c\r\nd", "1,4"},
      {"[\\n]", "\r\n", "2,1"},
  };
  for (const Case& c : cases) {
    RegExpr re;
    re.setModifier(5, true);
    re.setUtf8Mode(true);
    re.setNewlineMatchesCrLf(true);
    re.setExpression(c.pattern);
    EXPECT_EQ(testing::allMatches(re, c.subject), c.matches)
        << c.pattern << " on " << testing::printable(c.subject);
  }
}

TEST(RegexUnicode, EverySimpleCasePairMatchesCaseless) {
  int pairs = 0;
  for (const testing::FoldPair& pair : testing::simpleFoldPairs()) {
    std::string a, b;
    text::appendUtf8(a, pair.from);
    text::appendUtf8(b, pair.to);
    ++pairs;
    for (const auto& [pattern, subject] : {std::pair{a, b}, std::pair{b, a}}) {
      // ASCII keeps its byte folding: "k" and "s" leave the Kelvin sign and long s alone.
      if (text::isAscii(pattern)) continue;
      for (const std::string& expression : {pattern, "[" + pattern + "]"}) {
        RegExpr re;
        re.setUtf8Mode(true);
        re.setModifier(1, true);
        re.setExpression(expression);
        ASSERT_EQ(testing::allMatches(re, "x" + subject), "2," + std::to_string(subject.size()))
            << "pair " << std::hex << static_cast<unsigned>(pair.from) << " expression "
            << expression;
      }
    }
  }
  EXPECT_GT(pairs, 1400);
}

}  // namespace
}  // namespace kestrix
