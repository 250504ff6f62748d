// Files in UTF-8 with and without a byte-order mark, UTF-16 LE and BE and a legacy code
// page are found alike by every matcher, and their found lines are shown as UTF-8.
#include <gtest/gtest.h>

#include <algorithm>

#include "TempTree.h"
#include "search/FileEncoding.h"
#include "search/Find.h"
#include "text/Encoding.h"

namespace kestrix::search {
namespace {

using kestrix::testing::TempTree;
using Names = std::vector<std::string>;

class Lister : public SearchObserver {
 public:
  void resultAdded(const ResultItem& item) override {
    names.push_back(item.name + "=" + search::foundCellText(item));
  }
  Names names;
};

// The files `r` lists with their hits, in name order, on one thread and on two.
void expectListed(const SearchRequest& r, const Names& listed) {
  for (unsigned threads : {1u, 2u}) {
    Lister lister;
    FindOutcome out = runFind(r, lister, nullptr, threads);
    ASSERT_FALSE(out.error) << out.error->text();
    std::sort(lister.names.begin(), lister.names.end());
    EXPECT_EQ(lister.names, listed) << threads << " threads";
  }
}

// A query of `type` (lines split at LF for the types that take lines) and the files it lists.
struct QueryCase {
  QueryType type;
  std::string query;
  Names listed;
};

void expectCases(const std::string& folder, const std::vector<QueryCase>& cases) {
  for (const QueryCase& c : cases) {
    SCOPED_TRACE(c.query);
    SearchRequest r;
    r.folder = folder;
    r.queryType = c.type;
    if (usesQueryLines(c.type)) {
      std::string rest = c.query;
      for (std::size_t cut; (cut = rest.find('\n')) != std::string::npos; rest.erase(0, cut + 1)) {
        r.queryLines.push_back(rest.substr(0, cut));
      }
      r.queryLines.push_back(rest);
    } else {
      r.queryText = c.query;
    }
    expectListed(r, c.listed);
  }
}

// A tree with the same text ("hello w\u00f6rld", a CR LF, "second line") in each encoding.
void writeEncodings(TempTree& tree) {
  const std::string text = "hello w\xC3\xB6rld\r\nsecond line\r\n";
  using text::Encoding;
  tree.write("bom8.txt", "\xEF\xBB\xBF" + text);
  tree.write("le16.txt", "\xFF\xFE" + text::encodeFromUtf8(text, Encoding::Utf16Le, ""));
  tree.write("be16.txt", "\xFE\xFF" + text::encodeFromUtf8(text, Encoding::Utf16Be, ""));
  tree.write("legacy.txt", "hello w\xF6rld\r\nsecond line\r\n");
  tree.write("plain.txt", text);
  // UTF-16 without a byte-order mark holds NUL bytes: its text ends at the first.
  tree.write("nobom16.txt", text::encodeFromUtf8(text, Encoding::Utf16Le, ""));
}

TEST(EncodingSearch, EveryEncodingIsFoundByEveryMatcher) {
  TempTree tree;
  writeEncodings(tree);
  struct Case {
    QueryType type;
    std::vector<std::string> query;
    bool wholeWords;
    Names listed;
  };
  const Names all = {"be16.txt=1", "bom8.txt=1", "le16.txt=1", "legacy.txt=1", "plain.txt=1"};
  const Case cases[] = {
      {QueryType::Phrase, {"w\xC3\xB6rld"}, false, all},
      {QueryType::Phrase, {"hello"}, true, all},  // a mark before the first word is no letter
      {QueryType::Phrase, {"second line"}, false, all},
      {QueryType::Multiline, {"hello w\xC3\xB6rld", "second LINE"}, false, all},
      {QueryType::RegExpr, {"^hello"}, false, all},
      {QueryType::RegExpr, {"w\xC3\xB6rld\\r\\nsecond"}, false, all},
      {QueryType::RegExpr, {"^H.*\\r\\nsecond"}, false, all},
      {QueryType::Phrase, {"\xC3\xB6"}, false, all},
      {QueryType::Phrase, {"\xD1\x8B"}, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query[0]);
    SearchRequest r;
    r.folder = tree.path();
    r.queryType = c.type;
    r.caseSensitive = c.type == QueryType::Phrase;
    r.wholeWords = c.wholeWords;
    if (usesQueryLines(c.type)) {
      r.queryLines = c.query;
    } else {
      r.queryText = c.query[0];
    }
    expectListed(r, c.listed);
  }
}

TEST(EncodingSearch, LegacyCodePageIsTheRequestsAndBigUtf16FilesAreFound) {
  TempTree tree;
  tree.write("koi8.txt", "\xD0\xD2\xC9\xD7\xC5\xD4");  // "привет" in KOI8-R
  std::string big(9u << 20, 'x');
  big += "needle\n";
  tree.write("big16.txt", "\xFF\xFE" + text::encodeFromUtf8(big, text::Encoding::Utf16Le, ""));
  SearchRequest r;
  r.folder = tree.path();
  r.queryText = "\xD0\xBF\xD1\x80\xD0\xB8";  // "при"
  r.caseSensitive = true;
  Lister lister;
  runFind(r, lister, nullptr, 1);
  EXPECT_EQ(lister.names, Names{});  // read as Windows-1252 it is other letters
  r.legacyCodePage = "KOI8-R";
  runFind(r, lister, nullptr, 1);
  EXPECT_EQ(lister.names, Names{"koi8.txt=1"});
  lister.names.clear();
  r.queryText = "needle";
  for (unsigned threads : {1u, 2u}) runFind(r, lister, nullptr, threads);
  EXPECT_EQ(lister.names, (Names{"big16.txt=1", "big16.txt=1"}));
}

// A file streams while it reads as UTF-8; the first byte that is not valid sends it to the
// legacy code page, where the UTF-8 bytes of its first part are other letters.
TEST(EncodingSearch, LegacyFileIsFoundPastAValidUtf8Start) {
  TempTree tree;
  const std::string ecole =
      "\xC3\xA9"
      "cole";  // "école" in UTF-8
  std::string start;
  while (start.size() < (9u << 20)) start += "line " + ecole + " of valid text\n";
  tree.write("late.txt", start +
                             "\xC9"
                             "COLE\n");  // "ÉCOLE" in Windows-1252
  tree.write("early.txt",
             "\xE9"
             "cole\n" +
                 start);
  tree.write("utf8.txt", start);
  tree.write("mixed.txt", start + "\xC9T\xC9\n");  // "ÉTÉ" in Windows-1252
  tree.write("window.txt", std::string(200000, 'x') +
                               "\nx\n\xE9"
                               "cole\n");
  const std::int64_t lines = static_cast<std::int64_t>(start.size() / (ecole.size() + 20));
  expectCases(
      tree.path(),
      {
          {QueryType::Phrase,
           ecole,
           {"early.txt=1", "late.txt=1", "utf8.txt=" + std::to_string(lines), "window.txt=1"}},
          // The excluded term occurs in the UTF-8 start, which the legacy page reads otherwise.
          {QueryType::SearchEngine, "\xC3\xA9t\xC3\xA9 -" + ecole, {"mixed.txt=1, 0"}},
          {QueryType::RegExpr, "^" + ecole, {"early.txt=1", "late.txt=1", "window.txt=1"}},
          {QueryType::Multiline, "x\n" + ecole, {"window.txt=1"}},
      });
}

TEST(EncodingSearch, FoundLinesAreUtf8WithHitsInTheirBytes) {
  TempTree tree;
  writeEncodings(tree);
  SearchRequest r;
  r.queryText = "rld";
  for (const char* name : {"le16.txt", "be16.txt", "bom8.txt", "legacy.txt", "plain.txt"}) {
    SCOPED_TRACE(name);
    const FillOutcome out = fillFoundLines(r, tree.path(), name);
    ASSERT_EQ(out.lines.entries.size(), 2u);
    EXPECT_EQ(out.lines.entries[1], " line 1: hello w\xC3\xB6rld");
    ASSERT_EQ(out.lines.hitLines.size(), 1u);
    EXPECT_EQ(out.lines.hitLines[0].hits[0].start - FoundLines::prefixLength(1), 9u);
  }
}

TEST(EncodingSearch, FileEncodingNames) {
  TempTree tree;
  writeEncodings(tree);
  std::string cut(kEncodingProbeBytes - 1, 'a');
  tree.write("cut.txt", cut + "\xC3\xB6");  // the probe ends inside a character
  const std::pair<const char*, const char*> cases[] = {
      {"le16.txt", "UTF-16 LE"}, {"be16.txt", "UTF-16 BE"}, {"bom8.txt", "UTF-8 with BOM"},
      {"plain.txt", "UTF-8"},    {"legacy.txt", "KOI8-U"},  {"cut.txt", "UTF-8"},
      {"gone.txt", ""},
  };
  for (auto [name, shown] : cases) {
    EXPECT_EQ(fileEncodingName(tree.at(name), "koi8-u"), shown) << name;
  }
}

// A legacy file's text ends at its first NUL byte, and it streams through pieces of the
// code page's decoding whose edges may cut a hit.
TEST(EncodingSearch, LegacyTextEndsAtItsFirstNulAndHitsCrossPieceEdges) {
  TempTree tree;
  const std::string ecole =
      "\xC3\xA9"
      "cole";  // "école" in UTF-8
  tree.write("nul.txt",
             "\xE9"
             "cole\n" +
                 std::string(1, '\0') +
                 "\xC9"
                 "COLE\n");
  // "ÉCOLE" in Windows-1252 on a line of its own, its first byte two bytes before every
  // multiple of 128 KiB (and of smaller powers of two), then a NUL and one more.
  std::string edges;
  for (std::size_t k = 1; k <= 24; ++k) {
    edges.append((k << 17) - 3 - edges.size(), 'y');
    edges +=
        "\n\xC9"
        "COLE\n";
  }
  edges += std::string(1, '\0') +
           "\xC9"
           "COLE\n";
  tree.write("edges.txt", edges);
  expectCases(tree.path(),
              {
                  {QueryType::Phrase, ecole, {"edges.txt=24", "nul.txt=1"}},
                  {QueryType::WordsAnd, "col " + ecole, {"edges.txt=24, 24", "nul.txt=1, 1"}},
                  {QueryType::RegExpr, "^" + ecole + "$", {"edges.txt=24", "nul.txt=1"}},
                  {QueryType::Multiline, ecole, {"edges.txt=24", "nul.txt=1"}},
              });
}

}  // namespace
}  // namespace kestrix::search
