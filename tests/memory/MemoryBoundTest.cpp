// The memory a file's rewrite needs, the file's own bytes included: about two copies of
// the file (its bytes, or a copy of them with other line breaks, and the new content),
// whatever the engine and the line separator, so that a file is modified in about twice
// its size.
#include <gtest/gtest.h>

#include "Allocations.h"
#include "modify/ModifyPass.h"

namespace kestrix::modify {
namespace {

using kestrix::testing::liveBytes;
using kestrix::testing::peakBytes;
using kestrix::testing::resetPeak;

// About `size` bytes of short lines with `lineBreak`; every 50th line is "OLD".
std::string shortLines(std::size_t size, std::string_view lineBreak) {
  std::string text;
  text.reserve(size + 64);
  for (int i = 0; text.size() < size; ++i) {
    text += i % 50 == 0 ? std::string("OLD") : "l " + std::to_string(i % 1000);
    text += lineBreak;
  }
  return text;
}

ModifyRequest multiline(LineSeparator separator) {
  ModifyRequest r;
  r.searchType = QueryType::Multiline;
  r.searchLines = {"OLD"};
  r.replacementLines = {"NEW", "NEWER"};
  r.caseSensitive = true;
  r.lineSeparator = separator;
  return r;
}

ModifyRequest wholeTextRegex(LineSeparator separator) {
  ModifyRequest r;
  r.searchType = QueryType::RegExpr;
  r.searchLines = {"OLD\\r\\n"};  // a break in the expression: the whole text is the subject
  r.replacementLines = {"NEW"};
  r.caseSensitive = true;
  r.lineSeparator = separator;
  return r;
}

// The most the rewrite of `bytes` held at once, as the pass runs it: the file's bytes are
// handed to the engine, which may let them go (the keeper, where the pass stages the
// backup, writes them to disk and holds nothing).
std::size_t peak(const ModifyRequest& request, const std::string& bytes, bool& changed) {
  StopPoll poll;
  const std::size_t before = liveBytes();
  resetPeak();
  {
    FileBytes file(std::string(bytes), [](std::string_view) {});
    std::optional<std::string> out = rewriteFileBytes(request, file, "/f", std::nullopt, poll);
    changed = out && *out != bytes;
  }
  return peakBytes() - before;
}

TEST(MemoryBound, RewritesHoldAboutTwoCopiesOfTheFile) {
  constexpr std::size_t kSize = 3 << 20;
  const std::string lf = shortLines(kSize, "\n");
  const std::string crlf = shortLines(kSize, "\r\n");
  struct Case {
    const char* name;
    ModifyRequest request;
    const std::string* bytes;
    double bound;  // peak memory over the file's size
  };
  // Short lines: CR LF breaks make a copy of LF lines about 1.17 times their size.
  const Case cases[] = {
      {"multiline unix", multiline(LineSeparator::Unix), &lf, 2.25},
      {"multiline windows", multiline(LineSeparator::Windows), &lf, 2.4},
      {"multiline mac", multiline(LineSeparator::Macintosh), &crlf, 2.25},
      {"multiline keep", multiline(LineSeparator::Keep), &crlf, 2.25},
      {"regex windows over CR LF", wholeTextRegex(LineSeparator::Windows), &crlf, 2.25},
      {"regex unix over CR LF", wholeTextRegex(LineSeparator::Unix), &crlf, 2.25},
      // The expression sees CR LF breaks: the file is copied with them, and let go.
      {"regex unix over LF", wholeTextRegex(LineSeparator::Unix), &lf, 2.5},
      {"regex mac over LF", wholeTextRegex(LineSeparator::Macintosh), &lf, 2.5},
  };
  for (const Case& c : cases) {
    bool changed = false;
    const std::size_t most = peak(c.request, *c.bytes, changed);
    EXPECT_TRUE(changed) << c.name;
    EXPECT_LE(static_cast<double>(most), c.bound * static_cast<double>(c.bytes->size()))
        << c.name << ": " << most << " bytes for a file of " << c.bytes->size();
  }
}

}  // namespace
}  // namespace kestrix::modify
