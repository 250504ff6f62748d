// Reviewed modifications: the changes the engines record, any subset of them applied
// exactly, and the pass that writes only the accepted ones.
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "Rewritten.h"
#include "modify/FileText.h"
#include "modify/Review.h"
#include "text/Encoding.h"

namespace kestrix::modify {
namespace {

using testing::readBytes;
using testing::RecordingObserver;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

// The changes the engine of `request` records over `bytes`, stamped with them.
FileChanges recorded(const ModifyRequest& request, const std::string& bytes,
                     const std::optional<Interval>& interval = std::nullopt) {
  StopPoll poll;
  ChangeRecorder recorder;
  FileBytes file(bytes);
  rewriteInFileEncoding(request, file, [&](FileBytes& text) {
    return rewriteText(request, text, "f", interval, poll, &recorder);
  });
  FileChanges changes = recorder.take();
  changes.stamp = stampOf(bytes);
  return changes;
}

std::optional<std::string> applied(const ModifyRequest& request, const std::string& bytes,
                                   const FileChanges& changes, const Accepted& accepted) {
  FileBytes file(bytes);
  return applyAccepted(request, file, changes, accepted);
}

Accepted every(std::size_t n, bool (*pick)(std::size_t)) {
  Accepted accepted(n);
  for (std::size_t i = 0; i < n; ++i) accepted[i] = pick(i);
  return accepted;
}

ModifyRequest regex(std::string expression, std::string templ, LineSeparator separator) {
  ModifyRequest req;
  req.searchType = QueryType::RegExpr;
  req.searchLines = {std::move(expression)};
  req.replacementLines = {std::move(templ)};
  req.caseSensitive = true;
  req.lineSeparator = separator;
  return req;
}

ModifyRequest multiline(std::vector<std::string> block, std::vector<std::string> lines,
                        ModificationType type) {
  ModifyRequest req;
  req.searchType = QueryType::Multiline;
  req.searchLines = std::move(block);
  req.replacementLines = std::move(lines);
  req.modificationType = type;
  req.caseSensitive = true;
  return req;
}

ModifyRequest withType(ModifyRequest req, ModificationType type) {
  req.modificationType = type;
  return req;
}

std::string utf16le(std::string_view utf8) {
  return "\xFF\xFE" + text::encodeFromUtf8(utf8, text::Encoding::Utf16Le, "Windows-1252");
}

// Every change accepted gives the engine's own bytes, whatever the engine, the type, the
// breaks and the encoding.
TEST(ReviewTest, AcceptingEveryChangeGivesTheEnginesBytes) {
  const std::string mixed = "old one\r\nold two old\nthree\rold\n";
  struct Case {
    const char* name;
    ModifyRequest request;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"phrase", testing::replacePhrase("old", "new"), mixed},
      {"phrase before",
       withType(testing::replacePhrase("old", "<"), ModificationType::InsertBefore), mixed},
      {"phrase after", withType(testing::replacePhrase("old", ">"), ModificationType::InsertAfter),
       mixed},
      {"phrase clear", withType(testing::replacePhrase("old", ""), ModificationType::Clear), mixed},
      {"phrase delete", withType(testing::replacePhrase("old", ""), ModificationType::Delete),
       mixed},
      {"phrase unix",
       [] {
         ModifyRequest r = testing::replacePhrase("old", "a\nb");
         r.lineSeparator = LineSeparator::Windows;
         return r;
       }(),
       mixed},
      {"regex per line", regex("o(l)d", "[$1]", LineSeparator::Keep), mixed},
      {"regex per line, break put in", regex("o(l)d", "x\\ny", LineSeparator::Keep), mixed},
      {"regex whole", regex("old(\\s+)(\\w+)", "$2$1X\\n", LineSeparator::Keep), mixed},
      {"regex whole unix", regex("old(\\s+)(\\w+)", "$2$1", LineSeparator::Unix), mixed},
      {"regex whole mac", regex("old(\\s)", "N$1", LineSeparator::Macintosh), "old a\nold\n"},
      {"multiline", multiline({"a", "b"}, {"X", "Y", "Z"}, ModificationType::Replace),
       "a\r\nb\r\nc\na\nb"},
      {"multiline delete", multiline({"a", "b"}, {}, ModificationType::Delete), "a\nb\nc\na\nb"},
      {"multiline around", multiline({"a"}, {"<", ">"}, ModificationType::InsertAfter), "a\nc\na"},
      {"multiline unix",
       [] {
         ModifyRequest r = multiline({"a"}, {"Q"}, ModificationType::InsertBefore);
         r.lineSeparator = LineSeparator::Unix;
         return r;
       }(),
       "a\r\nc\r\na"},
      {"utf-16", testing::replacePhrase("\xC3\xA9t\xC3\xA9", "summer"),
       utf16le("\xC3\xA9t\xC3\xA9 et \xC3\xA9t\xC3\xA9\r\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<std::string> engine = testing::rewriteOf(c.request, c.bytes);
    const FileChanges changes = recorded(c.request, c.bytes);
    ASSERT_FALSE(changes.changes.empty());
    EXPECT_EQ(applied(c.request, c.bytes, changes, Accepted(changes.changes.size(), true)), engine);
    EXPECT_EQ(applied(c.request, c.bytes, changes, Accepted(changes.changes.size(), false)),
              std::nullopt);
  }
}

// The bytes of `input` after perl ran `program` over the whole of it.
std::optional<std::string> perlOutput(const TempFolder& dir, const std::string& input,
                                      const std::string& program) {
  if (std::system("perl -e 1 >/dev/null 2>&1") != 0) return std::nullopt;
  const std::string in = dir.file("perl-in");
  const std::string out = dir.file("perl-out");
  writeBytes(in, input);
  writeBytes(dir.file("perl-program"), program);
  const std::string command =
      "perl -0777 -p " + dir.file("perl-program") + " < " + in + " > " + out;
  if (std::system(command.c_str()) != 0) return std::nullopt;
  return readBytes(out);
}

// A rejected match keeps its text and every later match keeps its own replacement: the
// same bytes as perl substituting only the accepted matches, one by one.
TEST(ReviewTest, RejectingEverySecondWholeTextMatchAgreesWithPerl) {
  TempFolder dir;
  std::string input;
  for (int i = 0; i < 40; ++i) {
    input += "key" + std::to_string(i) + (i % 3 == 0 ? "\r\n" : " ") + std::to_string(i * 7) +
             (i % 4 == 0 ? " tail\n" : ";\n");
  }
  const ModifyRequest request = regex("(\\w+)\\s+(\\d+)", "$2=$1", LineSeparator::Keep);
  const FileChanges changes = recorded(request, input);
  ASSERT_GT(changes.changes.size(), 20u);
  const Accepted odd = every(changes.changes.size(), [](std::size_t i) { return i % 2 == 0; });
  const std::optional<std::string> expected =
      perlOutput(dir, input, "s/(\\w+)\\s+(\\d+)/(++$n % 2) ? \"$2=$1\" : $&/ge;\n");
  if (!expected) GTEST_SKIP() << "perl is not installed";
  EXPECT_EQ(applied(request, input, changes, odd), *expected);
}

// Blocks of lines and the lines of an interval are changes of their own: any of them can be
// left out.
TEST(ReviewTest, BlocksAndIntervalsApplyInPart) {
  struct Case {
    const char* name;
    ModifyRequest request;
    std::string bytes;
    std::optional<Interval> interval;
    Accepted accepted;
    std::string expected;
    std::vector<std::int64_t> lines;  // first and last line of each change
  };
  ModifyRequest phrase = testing::replacePhrase("x", "Y");
  const std::vector<Case> cases = {
      {"blocks",
       multiline({"a", "b"}, {"N"}, ModificationType::Replace),
       "a\nb\nc\na\nb\na\r\nb\r\n",
       std::nullopt,
       {true, false, true},
       "N\nc\na\nb\nN\r\n",
       {1, 2, 4, 5, 6, 7}},
      {"block deleted at the end",
       multiline({"b"}, {}, ModificationType::Delete),
       "b\na\nb",
       std::nullopt,
       {false, true},
       "b\na\n",
       {1, 1, 3, 3}},
      {"interval",
       phrase,
       "x\nx x\nx\nx\n",
       Interval{2, 3},
       {false, true, true},
       "x\nx Y\nY\nx\n",
       {2, 2, 2, 2, 3, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FileChanges changes = recorded(c.request, c.bytes, c.interval);
    std::vector<std::int64_t> lines;
    for (const Change& change : changes.changes) {
      lines.push_back(change.firstLine);
      lines.push_back(change.lastLine);
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(applied(c.request, c.bytes, changes, c.accepted), c.expected);
  }
}

TEST(ReviewTest, ChangeLinesMarkTheChangedBytes) {
  const std::string bytes = "one\ntwo old three\nfour\n";
  const ModifyRequest request = testing::replacePhrase("old", "new");
  const FileChanges changes = recorded(request, bytes);
  ASSERT_EQ(changes.changes.size(), 1u);
  const ChangeLines lines = linesOfChange(changes, changes.changes[0]);
  EXPECT_EQ(lines.before, "two old three");
  EXPECT_EQ(lines.after, "two new three");
  EXPECT_EQ(lines.markFrom, 4u);
  EXPECT_EQ(lines.beforeLength, 3u);
  EXPECT_EQ(lines.afterLength, 3u);
}

// A change beginning on the LF of a CR LF lies on the line that CR ends, and one at the end
// of a text that ends with a break on its last line: its line numbers and the lines shown
// for it agree (the lines shown begin at the start of its first line).
TEST(ReviewTest, ChangesOnCrLfBreaksNameTheLinesTheyLieOn) {
  using T = ModificationType;
  struct Case {
    const char* name;
    ModifyRequest request;
    std::string bytes;
    std::vector<std::int64_t> lines;  // first and last line of each change
    std::vector<std::string> shown;   // the lines shown before each change
  };
  const std::string crlf = "ab\r\ncd\r\nef\r\n";
  const std::vector<Case> cases = {
      {"a match from the LF",
       regex("\\x0A\\w+", "X", LineSeparator::Keep),
       crlf,
       {1, 2, 2, 3},
       {"ab\r\ncd", "cd\r\nef"}},
      {"a match from the LF, unix",
       regex("\\x0A\\w+", "X", LineSeparator::Unix),
       crlf,
       {1, 2, 2, 3},
       {"ab\r\ncd", "cd\r\nef"}},
      {"a match from the CR",
       regex("\\n\\w+", "X", LineSeparator::Keep),
       crlf,
       {1, 2, 2, 3},
       {"ab\r\ncd", "cd\r\nef"}},
      {"every break",
       regex("\\r?\\n", "X", LineSeparator::Keep),
       crlf,
       {1, 1, 2, 2, 3, 3},
       {"ab\r\n", "cd\r\n", "ef\r\n"}},
      {"put in after every break",
       withType(regex("\\r?\\n", "X", LineSeparator::Keep), T::InsertAfter),
       crlf,
       {2, 2, 3, 3, 3, 3},
       {"cd", "ef", "ef\r\n"}},
      {"put in before every LF",
       withType(regex("\\x0A", "X", LineSeparator::Keep), T::InsertBefore),
       crlf,
       {1, 1, 2, 2, 3, 3},
       {"ab\r", "cd\r", "ef\r"}},
      {"a break at the very start",
       regex("\\r?\\n", "X", LineSeparator::Keep),
       "\r\nab\r\n",
       {1, 1, 2, 2},
       {"\r\n", "ab\r\n"}},
      {"an LF at the very start",
       regex("\\x0A", "X", LineSeparator::Keep),
       "\r\nab",
       {1, 1},
       {"\r\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FileChanges changes = recorded(c.request, c.bytes);
    std::vector<std::int64_t> lines;
    std::vector<std::string> shown;
    for (const Change& change : changes.changes) {
      lines.push_back(change.firstLine);
      lines.push_back(change.lastLine);
      shown.push_back(linesOfChange(changes.text, change).before);
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(shown, c.shown);
  }
}

// A recorded file keeps only the lines its changes lie on, and shows each change exactly
// as it would from the whole text.
TEST(ReviewTest, KeptLinesShowEachChangeAsTheWholeTextDoes) {
  const std::string filler(200, 'x');
  struct Range {
    std::size_t offset, length;
    std::string replacement;
  };
  struct Case {
    std::string text;
    std::vector<Range> changes;
    bool cut;  // whether fewer bytes are kept than the whole text
  };
  const std::string lf = filler + "\nab old cd\n" + filler + "\nold\nold old\n" + filler + "\n";
  const std::size_t first = lf.find("old");
  const std::size_t second = lf.find("old", first + 1);
  const std::string crlf = "top old\r\n" + filler + "\r\nmid\r\n" + filler + "\rlast old\r\n";
  const std::string block = filler + "\nBEGIN\nbody\nEND\n" + filler + "\n";
  const std::vector<Case> cases = {
      // lines apart, a line next to another, two changes on one line
      {lf,
       {{first, 3, "new"}, {second, 3, "x\ny"}, {second + 4, 3, ""}, {second + 8, 0, "<"}},
       true},
      // CR LF and lone CR breaks, the first and the last line, an insertion at the very end
      {crlf, {{4, 3, "n"}, {crlf.find("last") + 5, 3, "new"}, {crlf.size(), 0, "end"}}, true},
      // a block of lines that takes its last break
      {block, {{block.find("BEGIN"), 15, "one line\n"}}, true},
      // changes everywhere: nothing to cut
      {"old old\nold\n", {{0, 3, "a"}, {4, 3, "b"}, {8, 3, "c"}}, false},
  };
  for (const Case& c : cases) {
    ChangeRecorder recorder;
    recorder.begin(c.text, false, false);
    for (const Range& r : c.changes) recorder.record(r.offset, r.length, r.replacement);
    const FileChanges file = recorder.take();
    EXPECT_EQ(file.text.size() < c.text.size(), c.cut) << c.text;
    EXPECT_EQ(file.changes.size(), c.changes.size());
    for (const Change& change : file.changes) {
      const ChangeLines whole = linesOfChange(c.text, change);
      const ChangeLines kept = linesOfChange(file, change);
      EXPECT_EQ(kept.before, whole.before) << c.text << " at " << change.offset;
      EXPECT_EQ(kept.after, whole.after) << c.text << " at " << change.offset;
      EXPECT_EQ(kept.markFrom, whole.markFrom) << c.text << " at " << change.offset;
    }
  }
}

// Only the accepted changes are written, with a backup and a journal entry; a file edited
// after the preview is left as the user left it.
TEST(ReviewTest, ApplyWritesTheAcceptedChangesAndRefusesAnEditedFile) {
  TempFolder dir;
  writeBytes(dir.file("a.txt"), "old 1\nold 2\nold 3\n");
  writeBytes(dir.file("b.txt"), "old b\n");
  writeBytes(dir.file("c.txt"), "old c\n");
  std::vector<search::ResultItem> rows = {rowFor(dir, "a.txt"), rowFor(dir, "b.txt"),
                                          rowFor(dir, "c.txt")};
  const ModifyRequest request = testing::replacePhrase("old", "new");
  RecordingObserver observer;
  const Review review = reviewModifyPass(request, rows, {}, observer, dir.path());
  ASSERT_EQ(review.files.size(), 3u);
  EXPECT_EQ(readBytes(dir.file("a.txt")), "old 1\nold 2\nold 3\n");  // nothing written yet
  writeBytes(dir.file("b.txt"), "old b, edited\n");
  UndoJournal journal;
  const PassSummary summary =
      applyReview(request, rows, review, {{true, false, true}, {true}, {false}}, journal, observer);
  EXPECT_EQ(readBytes(dir.file("a.txt")), "new 1\nold 2\nnew 3\n");
  EXPECT_EQ(readBytes(dir.file("a.txt.bak")), "old 1\nold 2\nold 3\n");
  EXPECT_EQ(readBytes(dir.file("b.txt")), "old b, edited\n");
  EXPECT_EQ(readBytes(dir.file("c.txt")), "old c\n");
  EXPECT_EQ(observer.failures,
            std::vector<std::string>{dir.file("b.txt") + ": changed since the preview"});
  EXPECT_EQ(summary.modified, 1u);
  EXPECT_EQ(summary.failed, 1u);
  EXPECT_EQ(testing::journalNames(journal).size(), 1u);
  EXPECT_EQ(rows[0].outcome.result, search::RowResult::Modified);
  EXPECT_EQ(rows[1].outcome.result, search::RowResult::FailedModification);
  EXPECT_EQ(rows[2].outcome.result, search::RowResult::Found);
}

}  // namespace
}  // namespace kestrix::modify
