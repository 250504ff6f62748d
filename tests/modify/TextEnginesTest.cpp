// The Phrase and Multiline engines as the pass runs them over a file's bytes: hits, whole
// words, case, the five modification types, intervals and block selection.
#include <gtest/gtest.h>

#include "modify/TextEngines.h"

namespace kestrix::modify {
namespace {

using Lines = std::vector<std::string>;

// The file of `lines`, each ended by LF.
std::string fileOf(const Lines& lines) {
  std::string bytes;
  for (const auto& l : lines) bytes += l + "\n";
  return bytes;
}

// A file's lines shown ended by "|".
std::string piped(std::string bytes) {
  for (char& c : bytes) {
    if (c == '\n') c = '|';
  }
  return bytes;
}

// The new bytes of the file of `lines` (the file itself when nothing changes).
std::string phraseOver(const Lines& lines, const ModifyRequest& req,
                       const std::optional<Interval>& interval = std::nullopt) {
  const std::string bytes = fileOf(lines);
  StopPoll poll;
  return rewritePhrase(bytes, req, interval, poll).value_or(bytes);
}

std::string multilineOver(const Lines& lines, const ModifyRequest& req) {
  const std::string bytes = fileOf(lines);
  StopPoll poll;
  return rewriteMultiline(bytes, req, poll).value_or(bytes);
}

ModifyRequest phrase(std::string s, ModificationType type, std::string r = "") {
  ModifyRequest req;
  req.searchType = QueryType::Phrase;
  req.searchText = std::move(s);
  req.modificationType = type;
  req.replacementText = std::move(r);
  req.caseSensitive = true;
  return req;
}

TEST(PhraseEngine, ChangesHitsInsideLines) {
  using T = ModificationType;
  struct Case {
    const char* line;
    ModifyRequest req;
    const char* expected;
  };
  auto ci = [](ModifyRequest r) {
    r.caseSensitive = false;
    return r;
  };
  auto ww = [](ModifyRequest r) {
    r.wholeWords = true;
    return r;
  };
  const Case cases[] = {
      {"aaaa", phrase("aa", T::Replace, "b"), "bb"},
      {"a cat sat", phrase("cat", T::Replace, "dog"), "a dog sat"},
      {"a cat sat", phrase("cat", T::Replace, ""), "a  sat"},
      {"a cat sat", phrase("cat", T::Delete), "a  sat"},
      {"a cat sat", phrase("cat", T::Clear), "a     sat"},
      {"a cat sat", phrase("cat", T::InsertBefore, "<"), "a <cat sat"},
      {"a cat sat", phrase("cat", T::InsertAfter, ">"), "a cat> sat"},
      {"xx", phrase("x", T::Replace, "xx"), "xxxx"},  // inserted text is not searched again
      {"Cat CAT cat", ci(phrase("cat", T::Replace, "d")), "d d d"},
      {"Cat CAT cat", phrase("cat", T::Replace, "d"), "Cat CAT d"},
      {"cat_x", ww(phrase("cat", T::Replace, "D")), "cat_x"},
      {"xcat", ww(phrase("cat", T::Replace, "D")), "xcat"},
      {"cat.x", ww(phrase("cat", T::Replace, "D")), "D.x"},
      {"catcat cat", ww(phrase("cat", T::Replace, "D")), "catcat D"},
      {"(cat)", ww(phrase("cat", T::InsertAfter, "!")), "(cat!)"},
      {"no hit here", phrase("cat", T::Replace, "d"), "no hit here"},
  };
  // Keep Original scans the whole text for hits; another separator goes line by line.
  for (const LineSeparator separator : {LineSeparator::Keep, LineSeparator::Unix}) {
    for (Case c : cases) {
      c.req.lineSeparator = separator;
      EXPECT_EQ(phraseOver({c.line}, c.req), std::string(c.expected) + "\n")
          << "line '" << c.line << "' search '" << c.req.searchText << "'";
    }
  }
}

TEST(PhraseEngine, LongLinesGiveTheSameResultAsOneScan) {
  std::string line;
  for (int i = 0; i < 500; ++i) line += "ab" + std::string(i % 7, ' ');
  std::string expected;
  for (int i = 0; i < 500; ++i) expected += "XYZ" + std::string(i % 7, ' ');
  EXPECT_EQ(phraseOver({line}, phrase("ab", ModificationType::Replace, "XYZ")), expected + "\n");
}

TEST(PhraseEngine, IntervalLimitsTheLines) {
  struct Case {
    Interval interval;
    const char* expected;  // or nullptr when the file fails
  };
  const Case cases[] = {
      {{0, 0}, "X|X|X|X|"},   {{2, 3}, "x|X|X|x|"}, {{0, 2}, "X|X|x|x|"}, {{3, 0}, "x|x|X|X|"},
      {{-1, -1}, "x|x|x|x|"}, {{5, 0}, nullptr},    {{0, 5}, nullptr},    {{4, 4}, "x|x|x|X|"},
  };
  for (const auto& c : cases) {
    const Lines lines{"x", "x", "x", "x"};
    auto req = phrase("x", ModificationType::Replace, "X");
    std::string label = intervalText(c.interval);
    if (!c.expected) {
      EXPECT_THROW(phraseOver(lines, req, c.interval), FileFailure) << label;
      continue;
    }
    EXPECT_EQ(piped(phraseOver(lines, req, c.interval)), c.expected) << label;
  }
}

TEST(PhraseEngine, StopEndsTheRewrite) {
  const std::string bytes = fileOf(Lines(100000, "x"));
  StopPoll poll([] { return true; }, std::chrono::milliseconds(0));
  EXPECT_THROW(
      rewritePhrase(bytes, phrase("x", ModificationType::Replace, "y"), std::nullopt, poll),
      StopRequested);
}

ModifyRequest block(std::vector<std::string> s, ModificationType type,
                    std::vector<std::string> r = {}) {
  ModifyRequest req;
  req.searchType = QueryType::Multiline;
  req.searchLines = std::move(s);
  req.modificationType = type;
  req.replacementLines = std::move(r);
  return req;
}

TEST(MultilineEngine, ChangesWholeBlocks) {
  using T = ModificationType;
  struct Case {
    Lines file;
    ModifyRequest req;
    const char* expected;
  };
  const Case cases[] = {
      {{"a", "a", "a"}, block({"a", "a"}, T::Replace, {"X"}), "X|a|"},
      {{"a", "b", "a", "b"}, block({"a", "b"}, T::Replace, {"X", "Y", "Z"}), "X|Y|Z|X|Y|Z|"},
      {{"a", "b", "c"}, block({"a", "b"}, T::InsertAfter, {"1", "2"}), "a|b|1|2|c|"},
      {{"a", "b", "a", "b"}, block({"a", "b"}, T::InsertAfter, {"1"}), "a|b|1|a|b|1|"},
      {{"q", "a", "b"}, block({"a", "b"}, T::InsertBefore, {"1"}), "q|1|a|b|"},
      {{"q", "a", "b", "z"}, block({"a", "b"}, T::Delete), "q|z|"},
      {{"q", "a", "b", "z"}, block({"a", "b"}, T::Clear), "q|||z|"},
      {{"q", "a", "b", "z"}, block({"a", "b"}, T::Replace), "q|z|"},
      {{"  A\t", "b "}, block({"a", "  B"}, T::Replace, {"x"}), "x|"},  // trims and case
      {{"a", "a", "b"}, block({"a", "b"}, T::Replace, {"X"}), "a|X|"},
      {{"a"}, block({"a", "b"}, T::Replace, {"X"}), "a|"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(piped(multilineOver(c.file, c.req)), c.expected)
        << "file " << piped(fileOf(c.file)) << " block " << piped(fileOf(c.req.searchLines));
  }
}

TEST(MultilineEngine, TrimsAndCaseFollowTheOptions) {
  auto req = block({" a "}, ModificationType::Replace, {"X"});
  req.ignoreLeadingSpaces = false;
  req.ignoreTrailingSpaces = false;
  req.caseSensitive = true;
  EXPECT_EQ(piped(multilineOver({"a", " a ", " A "}, req)), "a|X| A |");
}

}  // namespace
}  // namespace kestrix::modify
