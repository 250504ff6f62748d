// The one-pass term scan and its split into ranges against a plain line-by-line reference:
// every query type's signs, folding, whole words, NUL bytes, occurrences that overlap or
// cross a window or range border.
#include <gtest/gtest.h>

#include "MemoryReader.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <thread>

#include "search/QueryParser.h"
#include "search/SplitScan.h"
#include "search/TermScan.h"
#include "text/Lines.h"
#include "text/Utf8.h"

namespace kestrix::search {
namespace {

// The hits of each term counted line by line in the text up to its first NUL; nothing when
// an excluded term occurs or the file does not qualify.
std::optional<std::vector<std::int64_t>> reference(const SearchRequest& r, std::string_view text) {
  const auto& terms = r.termTable.terms;
  std::vector<LiteralFinder> finders;
  for (const Term& t : terms) finders.emplace_back(t.text, r.caseSensitive);
  std::vector<std::int64_t> hits(terms.size(), 0);
  bool rejected = false;
  text::forEachLine(text::textUntilNul(text), [&](const text::Line& line) {
    for (std::size_t i = 0; i < terms.size(); ++i) {
      std::size_t len = 0;
      for (std::size_t at = nextTermHit(line.text, finders[i], 0, r.wholeWords, len);
           at != std::string_view::npos && at < line.text.size();
           at = nextTermHit(line.text, finders[i], at + std::max<std::size_t>(len, 1), r.wholeWords,
                            len)) {
        ++hits[i];
        if (terms[i].sign == '-') rejected = true;
      }
    }
  });
  if (rejected) return std::nullopt;
  bool any = false;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    if (terms[i].sign == '+' && hits[i] == 0) return std::nullopt;
    any = any || hits[i] > 0;
  }
  if (!any && !(r.queryType == QueryType::SearchEngine && r.termTable.allNegative)) {
    return std::nullopt;
  }
  return hits;
}

std::optional<std::vector<std::int64_t>> scanWhole(const TermScan& scan, const std::string& text,
                                                   std::string& buffer) {
  return scan.evaluate(
      scan.scan(testing::memoryReader(text), 0, TermScan::kToEnd, {}, buffer, nullptr));
}

// The file split into ranges of `rangeBytes`, run by the calling thread and one helper.
std::optional<std::vector<std::int64_t>> scanSplit(const TermScan& scan, const std::string& text,
                                                   std::uint64_t rangeBytes) {
  SplitScan job(scan, testing::memoryReader(text), text.size(), rangeBytes);
  std::thread helper([&] {
    std::string buffer;
    Poller poller(nullptr);
    while (job.runOne(buffer, poller)) {
    }
  });
  std::string buffer;
  Poller poller(nullptr);
  while (job.runOne(buffer, poller)) {
  }
  job.wait();
  helper.join();
  auto total = job.combine(buffer, poller);
  EXPECT_TRUE(total.has_value());
  return total ? scan.evaluate(*total) : std::nullopt;
}

struct Case {
  QueryType type;
  std::string query;
  std::string alphabet;  // the texts are drawn from these pieces, one character each
};

TEST(TermScan, OneScanAndEverySplitEqualTheLineByLineCount) {
  const std::vector<Case> cases = {
      {QueryType::Phrase, "aa", "aaaab \n"},
      {QueryType::Phrase, "aba", "ab\r\n"},
      {QueryType::Phrase, "cat", "catsx_-( \n"},
      {QueryType::WordsOr, "ab ba aab b", "ab \n\r"},
      {QueryType::WordsOr, "mutex sem spin lock ock k", "mutexsspinlock \n"},
      {QueryType::WordsAnd, "a b", "abc\n"},
      {QueryType::SearchEngine, "+a -bb", "aabc\n"},
      {QueryType::SearchEngine, "-x", "xyz\n"},
      {QueryType::SearchEngine, "\"a b\" c -dd", "abcd \n"},
      {QueryType::Phrase, "\xe9t\xe9", "\xe9\xc9tT \n"},
      {QueryType::Phrase, "straße", "straßeSTRAẞE \n"},
      {QueryType::WordsOr, "при ВЕТ k", "приветПРИВЕТKk\xcc\x81 \n"},
      // Case forms of other UTF-8 lengths than the term's: the Kelvin sign and the
      // Angstrom sign (three bytes) for k and å, the long s (two bytes) for s; final sigma;
      // the dotted and the dotless i, which simple folding keeps apart from i.
      {QueryType::Phrase, "\u00f6k", "\u00f6\u00d6kK\u212a \n"},
      {QueryType::WordsOr, "\u00e5 s\u00e5", "\u00e5\u00c5\u212bsS\u017f \n"},
      {QueryType::Phrase, "\u03c3\u03b1\u03c2", "\u03c3\u03c2\u03a3\u03b1\u0391 \n"},
      {QueryType::WordsOr, "i\u0130 \u0131i", "iI\u0130\u0131 \n"},
  };
  std::mt19937 rng(11);
  for (const Case& c : cases) {
    for (int round = 0; round < 28; ++round) {
      SearchRequest r;
      r.queryType = c.type;
      r.queryText = c.query;
      r.caseSensitive = round % 2 == 0;
      r.wholeWords = round % 3 == 0;
      buildTermTable(r);
      std::vector<std::string_view> pieces;  // the alphabet's characters (UTF-8 or single bytes)
      for (std::size_t k = 0; k < c.alphabet.size(); k += pieces.back().size()) {
        const auto length = static_cast<std::size_t>(text::decodeUtf8(c.alphabet, k).length);
        pieces.push_back(std::string_view(c.alphabet).substr(k, length));
      }
      std::string text;
      for (std::size_t n = rng() % 2000; text.size() < n;) text += pieces[rng() % pieces.size()];
      if (round % 7 == 3 && !text.empty()) text[rng() % text.size()] = '\0';
      const auto expected = reference(r, text);
      std::string buffer;
      for (std::size_t window :
           {std::size_t{1}, std::size_t{70}, std::size_t{500}, TermScan::kDefaultWindow}) {
        const TermScan scan(r, window);
        ASSERT_EQ(scanWhole(scan, text, buffer), expected)
            << c.query << " window " << window << " round " << round;
        if (window != 70) continue;
        for (std::uint64_t range : {1, 2, 3, 64, 129, 1000}) {
          ASSERT_EQ(scanSplit(scan, text, range), expected)
              << c.query << " range " << range << " round " << round;
        }
      }
    }
  }
}

// Former bug: an occurrence shorter than the term's longest form ("größe" may also be
// written with the three-byte capital sharp s) was lost when it ended the text.
TEST(TermScan, ShortFormsOfAUnicodeTermEndTheText) {
  for (const std::string& text :
       std::vector<std::string>{"x gr\u00f6\u00dfe", "GR\u00d6\u00dfE", "a\u00e5",
                                std::string("gr\u00f6\u00dfe\0x", 9)}) {
    SearchRequest r;
    r.queryType = QueryType::Phrase;
    r.queryText = text.find('a') == 0 ? "\u00c5" : "gr\u00f6\u00dfe";
    buildTermTable(r);
    std::string buffer;
    for (std::size_t window : {std::size_t{1}, TermScan::kDefaultWindow}) {
      const TermScan scan(r, window);
      EXPECT_EQ(scanWhole(scan, text, buffer), (std::vector<std::int64_t>{1}))
          << text << " window " << window;
    }
  }
}

TEST(TermScan, SplitHandlesOverlapsAndNulAtRangeBorders) {
  SearchRequest r;
  r.queryType = QueryType::WordsOr;
  r.queryText = "aaa ab";
  r.caseSensitive = true;
  buildTermTable(r);
  const TermScan scan(r, 64);
  // 10 000 "a" then "b": "aaa" 3333 times, "ab" once; a NUL cuts the text.
  std::string text(10000, 'a');
  text += "b";
  for (std::uint64_t range : {1, 2, 3, 4, 5, 1000, 4096}) {
    EXPECT_EQ(scanSplit(scan, text, range), (std::vector<std::int64_t>{3333, 1})) << range;
  }
  text[5000] = '\0';
  for (std::uint64_t range : {1, 7, 4096}) {
    EXPECT_EQ(scanSplit(scan, text, range), (std::vector<std::int64_t>{1666, 0})) << range;
  }
  text[0] = '\0';
  EXPECT_EQ(scanSplit(scan, text, 100), std::nullopt);
}

TEST(TermScan, StopsWhenAskedAndReadsNothingWhenNoTermCanOccur) {
  SearchRequest r;
  r.queryType = QueryType::Phrase;
  r.queryText = "needle";
  r.caseSensitive = true;
  buildTermTable(r);
  const TermScan scan(r, 64);
  const std::string text(5000, 'x');
  std::string buffer;
  int windows = 0;
  const RangeScan stopped = scan.scan(testing::memoryReader(text), 0, TermScan::kToEnd, {}, buffer,
                                      [&] { return ++windows > 3; });
  EXPECT_TRUE(stopped.abandoned);
  EXPECT_EQ(windows, 4);

  SearchRequest none;
  none.queryType = QueryType::SearchEngine;
  none.queryText = "-\"a\rb\"";
  buildTermTable(none);
  const TermScan noScan(none);
  bool read = false;
  const RangeScan result = noScan.scan(
      [&](std::uint64_t, char*, std::size_t) -> std::size_t {
        read = true;
        return 0;
      },
      0, TermScan::kToEnd, {}, buffer, nullptr);
  EXPECT_FALSE(read);
  EXPECT_TRUE(noScan.evaluate(result).has_value());  // all negative, nothing excluded occurs
}

}  // namespace
}  // namespace kestrix::search
