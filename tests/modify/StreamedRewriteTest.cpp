// The streamed rewrite against the whole-file rewrite: byte-identical results over a table
// of files and requests, with pieces so small that their ends fall inside hits, breaks and
// blocks; where pieces may end; and the pass's streamed path (backups, undo, files it must
// leave to the whole-file rewrite).
#include "modify/StreamedRewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "Rewritten.h"
#include "modify/LinePieces.h"
#include "modify/ModifyPass.h"
#include "modify/RegexEngine.h"
#include "modify/Undo.h"
#include "platform/UniqueFd.h"

namespace kestrix::modify {
namespace {

using testing::readBytes;
using testing::RecordingObserver;
using testing::replacePhrase;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

ino_t inodeOf(const std::string& path) {
  struct ::stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

ModifyRequest regexPerLine(std::vector<std::string> expression, std::vector<std::string> with) {
  ModifyRequest r;
  r.searchType = QueryType::RegExpr;
  r.searchLines = std::move(expression);
  r.replacementLines = std::move(with);
  r.caseSensitive = true;
  r.searchEachLine = true;
  return r;
}

// `bytes` with its breaks spelled out, for failure messages.
std::string visible(std::string_view bytes) {
  std::string out;
  for (char c : bytes) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out;
}

ModifyRequest regexWhole(std::vector<std::string> expression, std::vector<std::string> with,
                         ModificationType type = ModificationType::Replace) {
  ModifyRequest r = regexPerLine(std::move(expression), std::move(with));
  r.searchEachLine = false;
  r.modificationType = type;
  return r;
}

ModifyRequest multiline(std::vector<std::string> block, std::vector<std::string> with,
                        ModificationType type = ModificationType::Replace) {
  ModifyRequest r;
  r.searchType = QueryType::Multiline;
  r.searchLines = std::move(block);
  r.replacementLines = std::move(with);
  r.modificationType = type;
  return r;
}

ModifyRequest withSeparator(ModifyRequest r, LineSeparator separator) {
  r.lineSeparator = separator;
  return r;
}

ModifyRequest withIntervals(ModifyRequest r) {
  r.useIntervalsPhrase = true;
  r.useIntervalsRegex = true;
  return r;
}

// What the whole-file rewrite gives: the new bytes, or the failure's reason.
std::string wholeFile(const ModifyRequest& request, const std::string& bytes,
                      const std::optional<Interval>& interval) {
  try {
    return testing::rewritten(request, bytes, interval);
  } catch (const FileFailure& e) {
    return std::string("failed: ") + e.what();
  }
}

// What the streamed rewrite gives over `path` in pieces of `pieceBytes`.
std::string streamed(const ModifyRequest& request, const std::string& path,
                     const std::optional<Interval>& interval, std::size_t pieceBytes) {
  platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  std::string out;
  StopPoll poll;
  try {
    const StreamedRewrite r = streamRewrite(
        request, fd.get(), "f", interval, poll, [&](std::string_view b) { out += b; }, pieceBytes);
    EXPECT_EQ(r.changed(), out != readBytes(path));
    EXPECT_EQ(r.after, stampOf(out));
    EXPECT_EQ(r.before, stampOf(readBytes(path)));
  } catch (const FileFailure& e) {
    return std::string("failed: ") + e.what();
  }
  return out;
}

TEST(StreamedRewrite, GivesTheWholeFileBytesWhereverThePiecesEnd) {
  const std::string crlf = "old one\r\nan old old line\r\nnone\r\nold\r\n";
  const std::string cr = "old one\ran old old line\rnone\rold\r";
  const std::string mixed = "old\r\nx old\ny\rold z\r\n\nold";
  const std::string noFinal = "a\r\nold\r\nb old";
  const std::string bom = "\xEF\xBB\xBFold \xC3\xA9t\xC3\xA9\nold\n";
  const std::string block = "a\nB\r\nC\nB\nC\r\nB\nB\nC";
  struct Case {
    const char* name;
    ModifyRequest request;
    std::string bytes;
    std::optional<Interval> interval;
  };
  const Case cases[] = {
      {"phrase, CR LF", replacePhrase("old", "newer"), crlf, {}},
      {"phrase, CR", replacePhrase("old", "n"), cr, {}},
      {"phrase, mixed", replacePhrase("old", "new"), mixed, {}},
      {"phrase, no final break", replacePhrase("old", "new"), noFinal, {}},
      {"phrase, break put in", replacePhrase("old", "x\ny"), mixed, {}},
      {"phrase, break put in, last line", replacePhrase("old", "x\ny"), noFinal, {}},
      {"phrase, to Unix",
       withSeparator(replacePhrase("old", "new"), LineSeparator::Unix),
       mixed,
       {}},
      {"phrase, to Windows, no hit",
       withSeparator(replacePhrase("zzz", "new"), LineSeparator::Windows),
       noFinal,
       {}},
      {"phrase, not ASCII, UTF-8 mark", replacePhrase("\xC3\xA9", "e"), bom, {}},
      {"phrase, interval", withIntervals(replacePhrase("old", "new")), crlf, Interval{2, 4}},
      {"phrase, interval to bottom", withIntervals(replacePhrase("old", "new")), mixed,
       Interval{3, 0}},
      {"phrase, interval past the end", withIntervals(replacePhrase("old", "new")), crlf,
       Interval{2, 9}},
      {"phrase, nil interval", withIntervals(replacePhrase("old", "new")), crlf, Interval{-1, -1}},
      {"regex per line", regexPerLine({"o(l)d"}, {"<$1>"}), mixed, {}},
      {"regex per line, interval", withIntervals(regexPerLine({"old"}, {"N"})), cr, Interval{0, 3}},
      {"regex per line, interval past the end", withIntervals(regexPerLine({"old"}, {"N"})),
       noFinal, Interval{2, 7}},
      {"regex per line, to Macintosh",
       withSeparator(regexPerLine({"^old"}, {"N"}), LineSeparator::Macintosh),
       crlf,
       {}},
      {"multiline replace", multiline({"b", "c"}, {"X", "Y", "Z"}), block, {}},
      {"multiline delete", multiline({"B", "C"}, {}, ModificationType::Delete), block, {}},
      {"multiline insert after",
       multiline({"b", "c"}, {"I"}, ModificationType::InsertAfter),
       block,
       {}},
      {"multiline, to Unix",
       withSeparator(multiline({"B", "B"}, {"Q"}), LineSeparator::Unix),
       block,
       {}},
      {"multiline, no block", multiline({"q", "r"}, {"X"}), block, {}},
      {"NUL byte", replacePhrase("old", "new"), std::string("old\n\0\n", 5), {}},
  };
  TempFolder dir;
  for (const Case& c : cases) {
    writeBytes(dir.file("f"), c.bytes);
    const std::string expected = wholeFile(c.request, c.bytes, c.interval);
    for (std::size_t piece : {1u, 2u, 3u, 5u, 8u, 13u, 64u}) {
      EXPECT_EQ(streamed(c.request, dir.file("f"), c.interval, piece), expected)
          << c.name << ", pieces of " << piece;
    }
  }
}

TEST(StreamedRewrite, WholeTextExpressionsGiveTheWholeFileBytesWhereverThePiecesEnd) {
  const std::string files[] = {
      "old one\r\nan old old line\r\nnone\r\nold\r\n",
      "old one\ran old\r\rxxxxxxx\rold\r",
      "old\r\nx old\ny\rold z\r\n\nold\n\rb xx",
      "a\r\nold\r\nb old",
      "\xEF\xBB\xBFold \xC3\xA9t\xC3\xA9\nold\n\xC3\xA9\r\nb",
      "xxxxxxxxxxxx\n\nxx\r\nxold",
      "\n\r\n\r\r\n",
  };
  using T = ModificationType;
  const ModifyRequest requests[] = {
      regexWhole({"old\\s"}, {"new "}),
      regexWhole({"d\\r?\\nb"}, {"D+B"}),
      regexWhole({"x{2,5}\\s?"}, {"[$&]"}),
      regexWhole({"(one|line|old)\\s(an|x|old|b)"}, {"$2\\n$1"}),
      regexWhole({"\\n"}, {"|"}),
      regexWhole({"^old\\s"}, {"N\\r\\n"}),
      regexWhole({"(?-m)[a-z]\\r?\\n?$"}, {"<end>"}),
      regexWhole({"old", "x"}, {"multi"}),
      regexWhole({"\\s?x?"}, {"_"}),
      regexWhole({"\\r"}, {}, T::Delete),
      regexWhole({"o\\s"}, {"(before)"}, T::InsertBefore),
      regexWhole({"\\s[\xC3\xA9"
                  "b]"},
                 {"(after)"}, T::InsertAfter),
      regexWhole({"zzz\\s"}, {"none"}),
  };
  TempFolder dir;
  for (const std::string& bytes : files) {
    writeBytes(dir.file("f"), bytes);
    for (const ModifyRequest& request : requests) {
      ASSERT_TRUE(streamable(request, bytes)) << request.searchLines[0];
      for (LineSeparator separator : {LineSeparator::Keep, LineSeparator::Windows,
                                      LineSeparator::Unix, LineSeparator::Macintosh}) {
        const ModifyRequest r = withSeparator(request, separator);
        const std::string expected = wholeFile(r, bytes, {});
        for (std::size_t piece : {1u, 2u, 3u, 5u, 8u, 13u, 64u}) {
          EXPECT_EQ(streamed(r, dir.file("f"), {}, piece), expected)
              << request.searchLines[0] << " over " << visible(bytes) << ", separator "
              << static_cast<int>(separator) << ", pieces of " << piece;
        }
      }
    }
  }
}

TEST(StreamedRewrite, LeavesUnboundedExpressionsUtf16AndLegacyFilesToTheWholeFileRewrite) {
  EXPECT_TRUE(streamable(regexWhole({"a\\nb"}, {"c"}), "abc"));
  EXPECT_TRUE(streamable(regexWhole({"a\\s{1,20000}"}, {"c"}), "abc"));
  // Matches that may reach further than the window holds, back-references, the subject's
  // start, an expression that does not compile.
  for (const char* expression : {"a\\s+b", "a\\s{1,70000}", "(a)\\1\\n", "\\Aa\\n", "(a\\n"}) {
    EXPECT_FALSE(streamable(regexWhole({expression}, {"c"}), "abc")) << expression;
  }
  EXPECT_TRUE(streamable(regexPerLine({"a"}, {"c"}), "abc"));
  EXPECT_TRUE(streamable(replacePhrase("a", "b"), "\xEF\xBB\xBF"));
  EXPECT_FALSE(streamable(replacePhrase("a", "b"), "\xFF\xFE"));
  EXPECT_FALSE(streamable(replacePhrase("a", "b"), "\xFE\xFF"));
  // A request that is not ASCII finds other bytes in a legacy file: found out on the way.
  TempFolder dir;
  writeBytes(dir.file("f"), "a\n\xE9t\xE9\n");
  platform::UniqueFd fd(::open(dir.file("f").c_str(), O_RDONLY | O_CLOEXEC));
  StopPoll poll;
  EXPECT_THROW(
      streamRewrite(
          replacePhrase("\xC3\xA9", "e"), fd.get(), "f", {}, poll, [](std::string_view) {}, 2),
      NotStreamable);
}

TEST(LinePieces, EndAfterTheLastLineButOneAndNeverBetweenCrAndLf) {
  struct Case {
    std::string bytes;
    std::size_t end;
  };
  const Case cases[] = {
      {"", 0},        {"abc", 0},        {"a\n", 0},      {"a\nb", 0},        {"a\nb\n", 2},
      {"a\nb\nc", 2}, {"a\r\nb\r\n", 3}, {"a\r\nb\r", 0}, {"a\rb\r", 0},      {"a\rb\rc", 2},
      {"a\r\r", 0},   {"a\n\r\n", 2},    {"\n\n\n", 2},   {"a\r\nb\rc\n", 5},
  };
  for (const Case& c : cases) EXPECT_EQ(pieceEnd(c.bytes), c.end) << c.bytes;
}

// The pass over files large enough to stream (the threshold lowered), against the same
// pass rewriting them whole.
class StreamedPass : public ::testing::Test {
 protected:
  PassSummary run(const ModifyRequest& request, bool stream, const std::string& folder,
                  std::vector<search::ResultItem>& rows) {
    PassOptions options;
    options.searchedFolder = folder;
    options.historyFolder = data_.file("History");
    options.historyHeader.origin = "test";
    options.streamFromBytes = stream ? 1 : std::numeric_limits<std::int64_t>::max();
    options.streamPieceBytes = 3;
    return runModifyPass(request, rows, {}, journal_, observer_, options);
  }

  TempFolder data_;
  UndoJournal journal_;
  RecordingObserver observer_;
};

TEST_F(StreamedPass, ChangesFilesAsTheWholeFileRewriteWithBackupsAndUndo) {
  const std::vector<std::pair<std::string, std::string>> files{
      {"crlf.txt", "old one\r\nan old line\r\n"},
      {"utf16.txt", std::string("\xFF\xFEo\0l\0d\0\n\0", 10)},
      {"setuid.txt", "old\n"},
      {"unchanged.txt", "nothing here\n"},
      {"nul.txt", std::string("old\0", 4)},
  };
  std::map<std::string, std::string> results[2];
  std::vector<search::ResultItem> rows[2];
  for (int stream = 0; stream < 2; ++stream) {
    TempFolder dir;
    for (const auto& [name, bytes] : files) {
      writeBytes(dir.file(name), bytes);
      rows[stream].push_back(rowFor(dir, name));
    }
    ::chmod(dir.file("setuid.txt").c_str(), 04755);
    const ino_t crlfInode = inodeOf(dir.file("crlf.txt"));
    const ino_t setuidInode = inodeOf(dir.file("setuid.txt"));
    const PassSummary summary =
        run(replacePhrase("old", "bold"), stream == 1, dir.path(), rows[stream]);
    EXPECT_EQ(summary.modified, 3u);
    EXPECT_EQ(summary.unchanged, 1u);
    EXPECT_EQ(summary.failed, 1u);
    for (const auto& [name, bytes] : files) {
      results[stream][name] = readBytes(dir.file(name));
      if (testing::fileExists(dir.file(name + ".bak"))) {
        EXPECT_EQ(readBytes(dir.file(name + ".bak")), bytes) << name;
        results[stream][name + ".bak mode"] =
            std::to_string(testing::modeOf(dir.file(name + ".bak")));
      }
    }
    results[stream]["setuid mode"] = std::to_string(testing::modeOf(dir.file("setuid.txt")));
    // Streamed, the backup of a file with one name is that file itself; of a setuid file
    // (whose backup is not setuid), a copy.
    EXPECT_EQ(inodeOf(dir.file("crlf.txt.bak")) == crlfInode, stream == 1);
    EXPECT_NE(inodeOf(dir.file("setuid.txt.bak")), setuidInode);
    std::vector<search::ResultItem> none;
    const UndoSummary undone = undoLastRun(journal_, none, observer_);
    for (const auto& outcome : undone.outcomes) EXPECT_TRUE(outcome.undone) << outcome.reason;
    for (const auto& [name, bytes] : files) EXPECT_EQ(readBytes(dir.file(name)), bytes) << name;
  }
  EXPECT_EQ(results[0], results[1]);
  // Recounted from the new content: "bold" holds the phrase again.
  EXPECT_EQ(rows[1][0].hits, std::vector<std::int64_t>{2});
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(rows[0][i].outcome, rows[1][i].outcome) << files[i].first;
    EXPECT_EQ(rows[0][i].hits, rows[1][i].hits) << files[i].first;
    EXPECT_EQ(rows[0][i].sizeBytes, rows[1][i].sizeBytes) << files[i].first;
  }
}

TEST_F(StreamedPass, WholeTextExpressionStreamsWhenItsMatchesAreShort) {
  struct Case {
    const char* expression;
    bool streams;  // then the backup is the file itself, linked
  };
  for (const Case& c : {Case{"old\\s", true}, Case{"old[\\r ]+", false}}) {
    SCOPED_TRACE(c.expression);
    const std::string bytes = "old\r\nold \nold";
    TempFolder dir;
    writeBytes(dir.file("f.txt"), bytes);
    const ino_t inode = inodeOf(dir.file("f.txt"));
    std::vector<search::ResultItem> rows{rowFor(dir, "f.txt")};
    const PassSummary summary = run(regexWhole({c.expression}, {"new-"}), true, dir.path(), rows);
    EXPECT_EQ(summary.modified, 1u);
    EXPECT_EQ(readBytes(dir.file("f.txt")), "new-\nnew-\nold");
    EXPECT_EQ(inodeOf(dir.file("f.txt.bak")) == inode, c.streams);
    std::vector<search::ResultItem> none;
    const UndoSummary undone = undoLastRun(journal_, none, observer_);
    for (const auto& outcome : undone.outcomes) EXPECT_TRUE(outcome.undone) << outcome.reason;
    EXPECT_EQ(readBytes(dir.file("f.txt")), bytes);
  }
}

TEST_F(StreamedPass, FileFoundNotToBeUtf8OnTheWayIsRewrittenWholeAfterAll) {
  TempFolder dir;
  writeBytes(dir.file("legacy.txt"), "caf\xE9 one\ncaf\xE9 two\n");
  std::vector<search::ResultItem> rows{rowFor(dir, "legacy.txt")};
  const PassSummary summary = run(replacePhrase("\xC3\xA9", "e"), true, dir.path(), rows);
  EXPECT_EQ(summary.modified, 1u) << (observer_.failures.empty() ? "" : observer_.failures[0]);
  EXPECT_EQ(readBytes(dir.file("legacy.txt")), "cafe one\ncafe two\n");
  EXPECT_EQ(readBytes(dir.file("legacy.txt.bak")), "caf\xE9 one\ncaf\xE9 two\n");
}

}  // namespace
}  // namespace kestrix::modify
