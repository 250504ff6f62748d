// The "keep" line separator: a changed file differs from the original only inside the
// matches, whatever its line ends (CR LF, LF, CR, mixed, binary data), and a file in
// which nothing changed is not rewritten at all.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "Rewritten.h"
#include "modify/ModifyPass.h"

namespace kestrix::modify {
namespace {

using testing::fileExists;
using testing::readBytes;
using testing::RecordingObserver;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

struct Case {
  QueryType type;
  ModificationType mode;
  std::vector<std::string> search;  // the phrase, or the lines
  std::vector<std::string> with;
  std::string before, after;
};

ModifyRequest requestFor(const Case& c) {
  ModifyRequest req;
  req.searchType = c.type;
  req.modificationType = c.mode;
  req.caseSensitive = true;
  req.ignoreLeadingSpaces = false;
  req.ignoreTrailingSpaces = false;
  if (c.type == QueryType::Phrase) {
    req.searchText = c.search.front();
    req.replacementText = c.with.empty() ? "" : c.with.front();
  } else {
    req.searchLines = c.search;
    req.replacementLines = c.with;
  }
  return req;
}

TEST(KeepLineBreaks, OnlyTheMatchesChange) {
  using enum ModificationType;
  const auto phrase = QueryType::Phrase, block = QueryType::Multiline, re = QueryType::RegExpr;
  const std::string png("\x89PNG\r\n\x1a\n\x01\rold\r\x02\n", 15);
  const Case cases[] = {
      {phrase, Replace, {"old"}, {"new"}, "a old\r\nb\nc\rold", "a new\r\nb\nc\rnew"},
      {phrase,
       Replace,
       {"old"},
       {"new"},
       png,
       std::string("\x89PNG\r\n\x1a\n\x01\rnew\r\x02\n", 15)},
      {phrase, Delete, {"old"}, {}, "old\r\r\n\nold\r", "\r\r\n\n\r"},
      {block,
       Replace,
       {"x", "y"},
       {"A", "B", "C"},
       "p\r\nx\r\ny\r\nq\r\n",
       "p\r\nA\r\nB\r\nC\r\nq\r\n"},
      {block, Replace, {"x", "y"}, {"A", "B", "C"}, "p\nx\ny", "p\nA\nB\nC"},
      {block, Replace, {"x"}, {"A", "B"}, "p\rx", "p\rA\rB"},
      {block, InsertAfter, {"x", "y"}, {"I"}, "p\r\nx\r\ny", "p\r\nx\r\ny\r\nI"},
      {block, InsertBefore, {"x"}, {"I", "J"}, "x\r\nq\n", "I\r\nJ\r\nx\r\nq\n"},
      {block, Delete, {"x", "y"}, {}, "p\r\nx\r\ny\r\nq", "p\r\nq"},
      {block, Clear, {"x", "y"}, {}, "x\r\ny\nq", "\r\n\nq"},
      {re, Replace, {"o(l)d"}, {"$1"}, "old\r\nold\nold", "l\r\nl\nl"},
      {re, Replace, {"d\\nb"}, {"D"}, "old\nb\r\nc", "olD\r\nc"},
      {re, Replace, {"d\\r\\nb"}, {"D"}, "old\r\nb\nc", "olD\nc"},
  };
  for (const auto& c : cases) {
    ModifyRequest req = requestFor(c);
    ASSERT_EQ(req.lineSeparator, LineSeparator::Keep) << "keep is the default";
    EXPECT_EQ(testing::rewritten(req, c.before), c.after) << ::testing::PrintToString(c.before);
  }
}

// A break inside a replacement takes the break of the line it lands in (Keep) or the chosen
// separator; "\n" matches CR LF as well as LF.
TEST(KeepLineBreaks, BreaksInsideReplacementsAreTheFiles) {
  using enum ModificationType;
  const auto re = QueryType::RegExpr;
  struct SeparatorCase {
    LineSeparator separator;
    Case c;
  };
  const SeparatorCase cases[] = {
      {LineSeparator::Keep,
       {re, Replace, {"o(l)d"}, {"x", "y"}, "old\nb\rold\r\n", "x\ny\nb\rx\r\ny\r\n"}},
      {LineSeparator::Keep, {re, InsertAfter, {"d"}, {"", "-"}, "old\rb", "old\r-\rb"}},
      {LineSeparator::Keep, {re, Replace, {"d\\nb"}, {"1", "2"}, "old\nb\rc", "ol1\n2\rc"}},
      {LineSeparator::Keep, {re, Replace, {"d\\sb"}, {"1", "2"}, "old\rb\rc", "ol1\r2\rc"}},
      {LineSeparator::Keep, {re, Replace, {"d\\nb"}, {"D"}, "old\r\nb", "olD"}},
      {LineSeparator::Keep, {re, Replace, {"c"}, {"1", "2"}, "c", "1\n2"}},
      {LineSeparator::Unix, {re, Replace, {"o(l)d"}, {"x", "y"}, "old\r\nq", "x\ny\nq"}},
      {LineSeparator::Unix, {re, Replace, {"d\\nb"}, {"1", "2"}, "old\r\nb\r\n", "ol1\n2\n"}},
      {LineSeparator::Macintosh, {re, Replace, {"q"}, {"1", "2"}, "q\n", "1\r2\r"}},
  };
  for (const auto& [separator, c] : cases) {
    ModifyRequest req = requestFor(c);
    req.lineSeparator = separator;
    EXPECT_EQ(testing::rewritten(req, c.before), c.after)
        << ::testing::PrintToString(c.before) << " with " << ::testing::PrintToString(c.with);
  }
}

TEST(KeepLineBreaks, AFileWithoutAChangeIsNotRewritten) {
  TempFolder dir;
  const std::string crlf = "no match here\r\nat all\r";
  writeBytes(dir.file("a.txt"), crlf);
  struct ::stat before {};
  ::stat(dir.file("a.txt").c_str(), &before);
  for (QueryType type : {QueryType::Phrase, QueryType::RegExpr, QueryType::Multiline}) {
    ModifyRequest req;
    req.searchType = type;
    req.searchText = "zzz";
    req.searchLines = {"zzz"};
    req.replacementText = "x";
    req.replacementLines = {"x"};
    std::vector<search::ResultItem> rows{rowFor(dir, "a.txt")};
    UndoJournal journal;
    RecordingObserver observer;
    PassOptions options;
    options.refreshHits = false;
    runModifyPass(req, rows, {}, journal, observer, options);
    EXPECT_EQ(search::resultWord(rows[0].outcome.result), "Found")
        << "nothing changed, so the row never reads Modified";
    EXPECT_TRUE(journal.empty());
  }
  struct ::stat after {};
  ::stat(dir.file("a.txt").c_str(), &after);
  EXPECT_EQ(readBytes(dir.file("a.txt")), crlf);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_FALSE(fileExists(dir.file("a.txt.bak")));
}

}  // namespace
}  // namespace kestrix::modify
