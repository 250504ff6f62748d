// Rows recounted after a modification or an undo show exactly what a fresh search lists:
// the same counts for every query type, line break, encoding, and for a file that no longer
// matches (zeros).
#include <map>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "modify/ModifyPass.h"
#include "modify/RowRefresh.h"
#include "modify/Undo.h"
#include "search/Cells.h"
#include "search/Find.h"
#include "search/QueryParser.h"
#include "text/Encoding.h"

namespace kestrix::modify {
namespace {

using testing::readBytes;
using testing::RecordingObserver;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

// Lines that match the queries below before and, after "ab" became "b" or a block "ab", "cd"
// became "cd", match some of them again.
std::string sample(const std::string& lineBreak) {
  std::string text;
  for (const char* line : {"aab cd", "x ab", "ab", "ab", "cd", "cd ef",
                           "\xC3\x84"
                           "b AB"}) {
    text += line;
    text += lineBreak;
  }
  return text;
}

// The tree: the sample with each kind of line break, in UTF-16, beside files beyond ASCII
// in UTF-8 and in the legacy code page, and a file whose only matches go with the change.
void writeTree(const TempFolder& dir) {
  writeBytes(dir.file("lf.txt"), sample("\n"));
  writeBytes(dir.file("crlf.txt"), sample("\r\n"));
  writeBytes(dir.file("cr.txt"), sample("\r"));
  writeBytes(dir.file("utf16.txt"),
             "\xFF\xFE" + text::encodeFromUtf8(sample("\r\n"), text::Encoding::Utf16Le, ""));
  writeBytes(dir.file("accents.txt"),
             "\xC3\x84"
             "ab \xC3\xA4"
             "b caf\xC3\xA9 ab\ncd\n");
  writeBytes(dir.file("legacy.txt"), text::encodeFromUtf8("café ab Äb\r\nab\r\ncd ef\r\n",
                                                          text::Encoding::Legacy, "Windows-1252"));
  writeBytes(dir.file("gone.txt"), "x ab y\nab\ncd\n");
}

const std::vector<std::string> kNames = {"lf.txt",      "crlf.txt",   "cr.txt",  "utf16.txt",
                                         "accents.txt", "legacy.txt", "gone.txt"};

search::SearchRequest searchIn(const TempFolder& dir, search::SearchRequest request) {
  request.folder = dir.path();
  request.masksText = "*.txt";
  return request;
}

search::SearchRequest query(search::QueryType type, std::string text) {
  search::SearchRequest r;
  r.queryType = type;
  if (search::usesQueryLines(type)) {
    r.queryLines = {std::move(text)};
  } else {
    r.queryText = std::move(text);
  }
  return r;
}

// The Found cell a fresh search shows for each file of the tree: the listed rows' counts,
// zeros for a file it does not list.
std::map<std::string, std::string> freshCounts(const TempFolder& dir,
                                               const search::SearchRequest& request) {
  struct Rows : search::SearchObserver {
    void resultAdded(const search::ResultItem& item) override { found[item.name] = item; }
    std::map<std::string, search::ResultItem> found;
  } rows;
  const search::FindOutcome out = search::runFind(searchIn(dir, request), rows, nullptr, 1);
  EXPECT_FALSE(out.error.has_value()) << out.error->text();
  const std::vector<std::int64_t> zeros(std::max<std::size_t>(out.termTable.terms.size(), 1));
  std::map<std::string, std::string> counts;
  for (const std::string& name : kNames) {
    const auto it = rows.found.find(name);
    counts[name] = search::foundText(it == rows.found.end() ? zeros : it->second.hits);
  }
  return counts;
}

std::map<std::string, std::string> rowCounts(const std::vector<search::ResultItem>& rows) {
  std::map<std::string, std::string> counts;
  for (const search::ResultItem& row : rows) counts[row.name] = search::foundCellText(row);
  return counts;
}

TEST(RowRefresh, EveryRecountGivesAFreshSearchsCounts) {
  using search::QueryType;
  TempFolder dir;
  writeTree(dir);
  std::vector<search::SearchRequest> requests = {
      query(QueryType::Phrase, "ab"),
      query(QueryType::Phrase,
            "\xC3\xA4"
            "b"),  // beyond ASCII: legacy files are decoded
      query(QueryType::WordsOr, "ab cd"),
      query(QueryType::WordsAnd, "ab ef"),
      query(QueryType::SearchEngine, "+ab -zz \"cd ef\""),
      query(QueryType::Multiline, "ab"),
      query(QueryType::RegExpr, "a+b"),
      query(QueryType::RegExpr, "b\\s+c"),  // over the whole text
  };
  requests.back().caseSensitive = true;
  requests[2].wholeWords = true;
  requests[5].queryLines = {" ab", "cd "};
  for (const search::SearchRequest& request : requests) {
    SCOPED_TRACE(search::usesQueryLines(request.queryType) ? request.queryLines[0]
                                                           : request.queryText);
    const auto expected = freshCounts(dir, request);
    std::vector<search::ResultItem> fromDisk, fromBytes, fromStaged;
    for (const std::string& name : kNames) {
      search::ResultItem stale = rowFor(dir, name);
      stale.hits = {99, 99};
      fromDisk.push_back(stale);
      refreshRow(fromDisk.back(), request);
      fromBytes.push_back(stale);
      refreshRowFrom(fromBytes.back(), request, readBytes(dir.file(name)), 0);
      fromStaged.push_back(stale);
      refreshRowFromFile(fromStaged.back(), request, dir.path(), name, 0);
    }
    EXPECT_EQ(rowCounts(fromDisk), expected);
    EXPECT_EQ(rowCounts(fromBytes), expected);
    EXPECT_EQ(rowCounts(fromStaged), expected);
  }
}

// The modify pass recounts its rows (from the new bytes, or from the staged file when it
// streams), and an undo recounts the restored files with the request it is given.
TEST(RowRefresh, ModifiedAndUndoneRowsShowAFreshSearchsCounts) {
  ModifyRequest phrase;
  phrase.searchType = search::QueryType::Phrase;
  phrase.searchText = "AB";
  phrase.replacementText = "b";
  ModifyRequest block;
  block.searchType = search::QueryType::Multiline;
  block.searchLines = {"ab", "cd"};
  block.replacementLines = {"cd"};
  ModifyRequest expression;
  expression.searchType = search::QueryType::RegExpr;
  expression.searchLines = {"a(a*b)"};
  expression.replacementLines = {"$1"};
  const std::vector<std::pair<ModifyRequest, search::SearchRequest>> cases = {
      {phrase, query(search::QueryType::SearchEngine, "+ab -zz \"cd ef\"")},
      {block, query(search::QueryType::WordsAnd, "ab ef")},
      {expression, query(search::QueryType::WordsOr, "b cd")},
  };
  for (const auto& [request, undoQuery] : cases) {
    for (bool streamed : {false, true}) {
      SCOPED_TRACE(std::string(search::queryTypeInfo(request.searchType).caption) +
                   (streamed ? " streamed" : ""));
      TempFolder dir;
      writeTree(dir);
      std::vector<search::ResultItem> rows;
      for (const std::string& name : kNames) rows.push_back(rowFor(dir, name));
      PassOptions options;
      if (streamed) {
        options.streamFromBytes = 1;
        options.streamPieceBytes = 7;
      }
      UndoJournal journal;
      RecordingObserver observer;
      const PassSummary summary = runModifyPass(request, rows, {}, journal, observer, options);
      EXPECT_EQ(summary.failed, 0u) << ::testing::PrintToString(observer.failures);
      EXPECT_EQ(readBytes(dir.file("gone.txt")).find("ab\n"), std::string::npos);
      EXPECT_EQ(rowCounts(rows), freshCounts(dir, toSearchRequest(request)));

      UndoOptions undo;
      undo.refreshWith = undoQuery;
      undoLastRun(journal, rows, observer, undo);
      EXPECT_EQ(readBytes(dir.file("gone.txt")), "x ab y\nab\ncd\n");
      const auto fresh = freshCounts(dir, undoQuery);
      std::size_t undone = 0;
      for (const search::ResultItem& row : rows) {
        if (row.outcome.result != search::RowResult::Undid) continue;  // left alone
        ++undone;
        EXPECT_EQ(search::foundCellText(row), fresh.at(row.name)) << row.name;
      }
      EXPECT_EQ(undone, summary.modified);
    }
  }
}

}  // namespace
}  // namespace kestrix::modify
