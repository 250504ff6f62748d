// A modified file keeps its encoding, its byte-order mark and every byte outside the
// matches: checked against iconv and perl doing the same change on the same text.
#include <cstdio>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "modify/ModifyPass.h"

namespace kestrix::modify {
namespace {

using testing::readBytes;
using testing::RecordingObserver;
using testing::replacePhrase;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

// Standard output of `command` fed `input` through a file in `dir`.
std::string pipeThrough(const TempFolder& dir, const std::string& command,
                        const std::string& input) {
  const std::string in = dir.file("pipe.in");
  writeBytes(in, input);
  FILE* p = ::popen((command + " < '" + in + "'").c_str(), "r");
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  EXPECT_EQ(::pclose(p), 0) << command;
  return out;
}

struct PassRun {
  std::vector<search::ResultItem> rows;
  RecordingObserver observer;
};

void modify(const TempFolder& dir, const std::string& name, const ModifyRequest& req,
            PassRun& run) {
  run.rows = {rowFor(dir, name)};
  UndoJournal journal;
  PassOptions options;
  options.refreshHits = false;
  runModifyPass(req, run.rows, {}, journal, run.observer, options);
}

TEST(EncodingRewrite, RoundTripsMatchIconvAndPerl) {
  const std::string text =
      "first w\xC3\xB6rld line\r\nsecond line\r\nthird \xE2\x82\xAC w\xC3\xB6rld\r\n";
  struct Encoding {
    const char* bom;
    const char* iconvName;  // nullptr: the UTF-8 text itself
  };
  const Encoding encodings[] = {
      {"", nullptr},
      {"\xEF\xBB\xBF", nullptr},
      {"\xFF\xFE", "UTF-16LE"},
      {"\xFE\xFF", "UTF-16BE"},
      {"", "WINDOWS-1252"},
  };
  ModifyRequest phrase = replacePhrase("w\xC3\xB6rld", "W\xC3\xA9lt");
  phrase.caseSensitive = true;
  ModifyRequest ascii = replacePhrase("line", "LINE");
  ascii.caseSensitive = true;
  ModifyRequest regex;
  regex.searchType = QueryType::RegExpr;
  regex.searchLines = {"line\\r\\nsec(o)nd"};
  regex.replacementLines = {"$1\xC3\xBC"};
  struct Change {
    const ModifyRequest* request;
    const char* perl;
  };
  const Change changes[] = {
      {&phrase, "s/w\xC3\xB6rld/W\xC3\xA9lt/g"},
      {&ascii, "s/line/LINE/g"},
      {&regex, "s/line\\r\\nsec(o)nd/$1\xC3\xBC/g"},
  };
  for (const Encoding& e : encodings) {
    for (const Change& c : changes) {
      SCOPED_TRACE(std::string(e.iconvName ? e.iconvName : "UTF-8") + " " + c.perl);
      TempFolder dir;
      auto encode = [&](const std::string& utf8) {
        const std::string body =
            e.iconvName ? pipeThrough(dir, std::string("iconv -f UTF-8 -t ") + e.iconvName, utf8)
                        : utf8;
        return e.bom + body;
      };
      writeBytes(dir.file("f.txt"), encode(text));
      const std::string expected =
          encode(pipeThrough(dir, std::string("perl -0pe '") + c.perl + "'", text));
      PassRun run;
      modify(dir, "f.txt", *c.request, run);
      EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Modified");
      EXPECT_EQ(readBytes(dir.file("f.txt")), expected);
    }
  }
}

TEST(EncodingRewrite, BytesOutsideTheMatchesStayAndUnwritableTextFailsTheFile) {
  struct Case {
    std::string before;
    ModifyRequest request;
    std::string after;  // empty: the file fails and stays as it was
    std::string reason;
  };
  const Case cases[] = {
      // Not UTF-8: invalid bytes stay, ASCII changes in place.
      {"a\xFFold\xFE", replacePhrase("old", "new"), "a\xFFnew\xFE", ""},
      // A legacy file: a byte the code page does not define stays as it was.
      {"\x81old caf\xE9", replacePhrase("old", "n\xC3\xA9"), "\x81n\xE9 caf\xE9", ""},
      {"old caf\xE9", replacePhrase("old", "\xE4\xB8\xAD"), "",
       "the character \"\xE4\xB8\xAD\" cannot be written in Windows-1252"},
      // A last odd byte of UTF-16 could not be written back.
      {std::string("\xFF\xFEo\0l\0d\0!", 9), replacePhrase("old", "new"), "",
       "its bytes would not be written back unchanged as UTF-16 LE"},
      // A NUL byte outside UTF-16 still keeps the file untouched.
      {std::string("\xFF\xFEo\0l\0d\0", 8), replacePhrase("old", "n\xC3\xA9w"),
       std::string("\xFF\xFEn\0\xE9\0w\0", 8), ""},
      {std::string("caf\xE9\0old", 8), replacePhrase("old", "n\xC3\xA9w"), "",
       "the file holds a NUL byte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.before));
    TempFolder dir;
    writeBytes(dir.file("f.txt"), c.before);
    PassRun run;
    ModifyRequest req = c.request;
    req.caseSensitive = true;
    req.createBackups = false;
    modify(dir, "f.txt", req, run);
    if (c.after.empty()) {
      EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Failed Modification");
      EXPECT_EQ(readBytes(dir.file("f.txt")), c.before);
      EXPECT_EQ(run.observer.failures,
                std::vector<std::string>{dir.file("f.txt") + ": " + c.reason});
    } else {
      EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Modified");
      EXPECT_EQ(readBytes(dir.file("f.txt")), c.after);
    }
  }
}

}  // namespace
}  // namespace kestrix::modify
