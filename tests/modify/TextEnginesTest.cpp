// The Phrase and Multiline engines over line lists: hits, whole words, case, the five
// modification types, intervals and block selection.
#include <gtest/gtest.h>

#include "modify/TextEngines.h"

namespace kestrix::modify {
namespace {

std::string join(const LineList& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "|";
  return out;
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
  for (const auto& c : cases) {
    LineList lines{c.line};
    StopPoll poll;
    transformPhrase(lines, c.req, std::nullopt, poll);
    EXPECT_EQ(lines[0], c.expected)
        << "line '" << c.line << "' search '" << c.req.searchText << "'";
  }
}

TEST(PhraseEngine, LongLinesGiveTheSameResultAsOneScan) {
  std::string line;
  for (int i = 0; i < 500; ++i) line += "ab" + std::string(i % 7, ' ');
  std::string expected;
  for (int i = 0; i < 500; ++i) expected += "XYZ" + std::string(i % 7, ' ');
  LineList lines{line};
  StopPoll poll;
  transformPhrase(lines, phrase("ab", ModificationType::Replace, "XYZ"), std::nullopt, poll);
  EXPECT_EQ(lines[0], expected);
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
    LineList lines{"x", "x", "x", "x"};
    StopPoll poll;
    auto req = phrase("x", ModificationType::Replace, "X");
    std::string label = intervalText(c.interval);
    if (!c.expected) {
      EXPECT_THROW(transformPhrase(lines, req, c.interval, poll), FileFailure) << label;
      EXPECT_EQ(join(lines), "x|x|x|x|") << label;
      continue;
    }
    transformPhrase(lines, req, c.interval, poll);
    EXPECT_EQ(join(lines), c.expected) << label;
  }
}

TEST(PhraseEngine, StopLeavesLinesUnchanged) {
  LineList lines(100000, "x");
  StopPoll poll([] { return true; }, std::chrono::milliseconds(0));
  EXPECT_THROW(
      transformPhrase(lines, phrase("x", ModificationType::Replace, "y"), std::nullopt, poll),
      StopRequested);
  EXPECT_EQ(lines[0], "x");
  EXPECT_EQ(lines.back(), "x");
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
    LineList file;
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
    LineList lines = c.file;
    StopPoll poll;
    transformMultiline(lines, c.req, poll);
    EXPECT_EQ(join(lines), c.expected)
        << "file " << join(c.file) << " block " << join(c.req.searchLines);
  }
}

TEST(MultilineEngine, TrimsAndCaseFollowTheOptions) {
  auto req = block({" a "}, ModificationType::Replace, {"X"});
  req.ignoreLeadingSpaces = false;
  req.ignoreTrailingSpaces = false;
  req.caseSensitive = true;
  LineList lines{"a", " a ", " A "};
  StopPoll poll;
  transformMultiline(lines, req, poll);
  EXPECT_EQ(join(lines), "a|X| A |");
}

}  // namespace
}  // namespace kestrix::modify
