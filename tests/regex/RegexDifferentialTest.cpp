// Differential tests: random expressions from the part of the dialect that PCRE2 reads the
// same way, run by both engines on random short subjects; and random expressions of the
// whole dialect run by the automaton and by the backtracker alone. Positions and groups
// must agree.
#include <gtest/gtest.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "RegexTestUtil.h"
#include "regex/RegExpr.h"
#include "regex/Search.h"
#include "text/CodePage.h"
#include "text/Lines.h"

namespace kestrix {
namespace {

// Generates expressions from literals, ".", classes, groups, "|", the quantifiers
// * + ? {n} {n,} {n,m} (greedy and lazy) and "^"/"$" at the ends. Repetitions other than
// "?" are only put on atoms that cannot match the empty string (this dialect refuses those).
class ExpressionGenerator {
 public:
  // `utf8`: literals, classes and subjects of UTF-8 characters beyond ASCII.
  explicit ExpressionGenerator(unsigned seed, bool utf8 = false) : rng_(seed), utf8_(utf8) {}

  std::string next() {
    groups_ = 0;
    bool nullable = false;
    std::string body = alternation(0, nullable);
    std::string out;
    if (pick(5) == 0) out += '^';
    out += body;
    if (pick(5) == 0) out += '$';
    return out;
  }

  std::string subject() {
    static constexpr std::string_view kBytes = "abcaabA\nB";
    static const char* kChars[] = {"a", "é", "É", "ж", "Ж", "ё", "€", "\n", "ǅ", "ǆ", "σ", "ς"};
    std::string s;
    int len = pick(12);
    for (int i = 0; i < len; ++i) {
      if (utf8_) {
        s += kChars[pick(sizeof kChars / sizeof *kChars)];
      } else {
        s += kBytes[pick(static_cast<int>(kBytes.size()))];
      }
    }
    return s;
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

 private:
  std::string alternation(int depth, bool& nullable) {
    int count = depth < 2 ? 1 + pick(3) : 1;
    std::string out;
    nullable = false;
    for (int i = 0; i < count; ++i) {
      bool altNullable = true;
      if (i) out += '|';
      out += sequence(depth, altNullable);
      nullable = nullable || altNullable;
    }
    return out;
  }

  std::string sequence(int depth, bool& nullable) {
    int count = 1 + pick(3);
    std::string out;
    nullable = true;
    for (int i = 0; i < count; ++i) {
      bool pieceNullable = false;
      out += piece(depth, pieceNullable);
      nullable = nullable && pieceNullable;
    }
    return out;
  }

  std::string piece(int depth, bool& nullable) {
    std::string out = atom(depth, nullable);
    int q = pick(10);
    if (q >= 5) return out;
    if (nullable && q != 0) return out;
    static const char* kQuantifiers[] = {"?", "*", "+", "{2}", "{1,}"};
    if (q == 4) {
      int n = pick(3);
      out += "{" + std::to_string(n) + "," + std::to_string(n + pick(3)) + "}";
      nullable = nullable || n == 0;
    } else {
      out += kQuantifiers[q];
      nullable = nullable || q <= 1;
    }
    if (pick(4) == 0) out += '?';
    return out;
  }

  std::string atom(int depth, bool& nullable) {
    nullable = false;
    int kind = pick(10);
    if (kind >= 7 && depth < 3 && groups_ < 9) {
      ++groups_;
      return "(" + alternation(depth + 1, nullable) + ")";
    }
    if (utf8_) return utf8Atom(kind);
    switch (kind) {
      case 0:
        return ".";
      case 1: {
        static const char* kClasses[] = {"[ab]", "[^a]", "[a-c]", "[^\\n]", "[b-cA]"};
        return kClasses[pick(5)];
      }
      case 2:
        return "ab";
      default: {
        static constexpr std::string_view kChars = "abcA";
        return std::string(1, kChars[pick(4)]);
      }
    }
  }

  std::string utf8Atom(int kind) {
    switch (kind) {
      case 0:
        return ".";
      case 1: {
        static const char* kClasses[] = {"[aé]", "[^é]", "[а-я]", "[^\\nж]",           "[à-ÿ€]",
                                         "[ǅσ]", "\\w",  "\\W",   "[\\x{e9}-\\x{436}]"};
        return kClasses[pick(sizeof kClasses / sizeof *kClasses)];
      }
      case 2:
        return "жé";
      default: {
        static const char* kChars[] = {"a", "é", "Ж", "€", "ǆ", "ς"};
        return kChars[pick(sizeof kChars / sizeof *kChars)];
      }
    }
  }

  std::mt19937 rng_;
  bool utf8_ = false;
  int groups_ = 0;
};

const std::string kNoAnswer = "no answer";

// The reference: PCRE2's interpreter with DOTALL and DOLLAR_ENDONLY.
class Reference {
 public:
  Reference(const std::string& pattern, bool caseless, bool utf8 = false) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    // Its implicit anchoring of ".*" branches misjudges groups repeated {0,0}.
    uint32_t options = PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY | PCRE2_NO_DOTSTAR_ANCHOR |
                       (caseless ? PCRE2_CASELESS : 0) | (utf8 ? PCRE2_UTF | PCRE2_UCP : 0);
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options,
                          &error, &offset, nullptr);
    data_ = code_ ? pcre2_match_data_create_from_pattern(code_, nullptr) : nullptr;
  }
  ~Reference() {
    pcre2_match_data_free(data_);
    pcre2_code_free(code_);
  }
  bool ok() const { return code_ != nullptr; }

  // "pos,len" of groups 0..last for the match from `offset`, in RegExpr's 1-based terms.
  std::string match(const std::string& subject, size_t offset, int last, int& end) {
    int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                         offset, 0, data_, nullptr);
    if (rc == PCRE2_ERROR_NOMATCH) return "";
    if (rc < 0) return kNoAnswer;  // e.g. its match limit on a runaway expression
    PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data_);
    uint32_t pairs = pcre2_get_ovector_count(data_);
    std::string out;
    for (int g = 0; g <= last; ++g) {
      if (g) out += ' ';
      bool set =
          static_cast<uint32_t>(g) < pairs && static_cast<int>(g) < rc && ov[2 * g] != PCRE2_UNSET;
      out += set ? std::to_string(ov[2 * g] + 1) + "," + std::to_string(ov[2 * g + 1] - ov[2 * g])
                 : "-1,-1";
    }
    end = static_cast<int>(ov[1]) + (ov[0] == ov[1] ? 1 : 0);
    return out;
  }

 private:
  pcre2_code* code_ = nullptr;
  pcre2_match_data* data_ = nullptr;
};

// Character mode expressions with Unicode classes take longer to compile: fewer of them.
void compareWithPcre2(bool utf8, int& compared, int& refused) {
  ExpressionGenerator gen(utf8 ? 20261209 : 20261208, utf8);
  for (int n = 0; n < (utf8 ? 1500 : 3000); ++n) {
    std::string pattern = gen.next();
    bool caseless = gen.pick(4) == 0;
    Reference ref(pattern, caseless, utf8);
    ASSERT_TRUE(ref.ok()) << pattern;
    RegExpr re;
    re.setModifier(1, caseless);
    re.setUtf8Mode(utf8);
    re.setModifier(2, !utf8);  // the reference knows no Russian ranges
    re.setExpression(pattern);
    const int last = 9;
    for (int k = 0; k < 4; ++k) {
      std::string subject = gen.subject();
      std::string where = "pattern '" + pattern + (caseless ? "' (i)" : "'") + " subject '" +
                          testing::printable(subject) + "'";
      bool found = false;
      try {
        found = re.exec(subject);
      } catch (const RegExprError& e) {
        ++refused;
        ASSERT_EQ(e.code(), 106) << where << ": " << e.what();
        break;
      }
      // The first three matches of the exec / execNext chain.
      int end = 0;
      for (int m = 0; m < 3; ++m) {
        std::string expected = ref.match(subject, end, last, end);
        if (expected == kNoAnswer) break;
        std::string got = found ? testing::dumpGroups(re, last) : "";
        ASSERT_EQ(got, expected) << where << " match " << m;
        ++compared;
        if (!found || end > static_cast<int>(subject.size())) break;
        found = re.execNext();
      }
    }
  }
}

TEST(RegexDifferential, AgreesWithPcre2OnCommonSubset) {
  int compared = 0, refused = 0;
  compareWithPcre2(false, compared, refused);
  EXPECT_GT(compared, 8000);
  EXPECT_LT(refused, 300);
}

// The character mode on UTF-8 subjects against PCRE2's UTF mode with Unicode properties.
TEST(RegexDifferential, Utf8ModeAgreesWithPcre2OnCommonSubset) {
  int compared = 0, refused = 0;
  compareWithPcre2(true, compared, refused);
  EXPECT_GT(compared, 4000);
  EXPECT_LT(refused, 150);
}

// Expressions of the whole dialect without back-references: escapes, anchors anywhere,
// modifier switches, counted and lazy repetitions, Windows-1251 letter ranges.
class DialectGenerator {
 public:
  explicit DialectGenerator(unsigned seed) : rng_(seed) {}

  std::string next() {
    groups_ = 0;
    return alternation(0);
  }

  std::string subject() {
    static constexpr std::string_view kBytes = "aabAB_1 \r\n\r\nx\xE0\xB8\xC0";
    // UTF-8 characters, a cut sequence, stray continuation bytes and a byte never valid.
    static const char* kPieces[] = {"a", "B", "_", "1",    " ",    "\r\n", "\n",       "я", "Я",
                                    "ё", "€", "é", "\xC3", "\xA9", "\xFF", "\xE2\x82", "٣"};
    std::string s;
    int len = pick(14);
    for (int i = 0; i < len; ++i) {
      if (utf8_) {
        s += kPieces[pick(sizeof kPieces / sizeof *kPieces)];
      } else {
        s += kBytes[pick(static_cast<int>(kBytes.size()))];
      }
    }
    return s;
  }

  // Later expressions and subjects use the character mode.
  void useUtf8() { utf8_ = true; }

  regex::Modifiers modifiers() {
    regex::Modifiers m;
    m.utf8 = utf8_;
    m.newlineCrLf = utf8_ && pick(2) == 0;
    m.i = pick(3) == 0;
    m.r = pick(4) != 0;
    m.s = pick(2) == 0;
    m.g = pick(5) != 0;
    m.m = pick(2) == 0;
    return m;
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

 private:
  std::string alternation(int depth) {
    std::string out = sequence(depth);
    for (int i = pick(depth < 2 ? 3 : 1); i > 0; --i) out += "|" + sequence(depth);
    return out;
  }

  std::string sequence(int depth) {
    std::string out;
    for (int i = 1 + pick(3); i > 0; --i) out += piece(depth);
    return out;
  }

  std::string piece(int depth) {
    std::string out = atom(depth);
    static const char* kQuantifiers[] = {"?", "*", "+", "{2}", "{1,}", "{0,2}", "{1,3}", "{3}"};
    const bool zeroWidth =
        out[0] == '^' || out[0] == '$' || out == "\\A" || out == "\\Z" || out.rfind("(?", 0) == 0;
    if (!zeroWidth && pick(2) == 0) {
      out += kQuantifiers[pick(8)];
      if (pick(4) == 0) out += '?';
    }
    return out;
  }

  std::string atom(int depth) {
    int kind = pick(14);
    if (kind >= 11 && depth < 3 && groups_ < 9) {
      ++groups_;
      return "(" + alternation(depth + 1) + ")";
    }
    static const char* kAtoms[] = {
        ".",           "\\w", "\\d",  "\\s",   "\\W",  "[ab_]", "[^a\\n]", "\xE0", "[\xE0-\xFF]",
        "[\xC0-\xDF]", "ab",  "a",    "b",     "A",    "\\r",   "\\n",     "^",    "$",
        "\\A",         "\\Z", "(?i)", "(?-i)", "(?m)", "(?-s)", "[a-\\d]"};
    static const char* kUtf8Atoms[] = {".",      "\\w",   "\\d", "\\s",    "\\W",      "[^я]",
                                       "[а-я]",  "[а-Я]", "я",   "ЯЁ",     "é€",       "a",
                                       "\\r\\n", "\\n",   "^",   "$",      "\\Z",      "(?i)",
                                       "(?-s)",  "(?-r)", "\\D", "[^\\n]", "\\x{44F}", "[\\wé]"};
    if (utf8_) return kUtf8Atoms[pick(sizeof kUtf8Atoms / sizeof *kUtf8Atoms)];
    return kAtoms[pick(sizeof kAtoms / sizeof *kAtoms)];
  }

  std::mt19937 rng_;
  bool utf8_ = false;
  int groups_ = 0;
};

// The matches of the exec / execNext chain, at most `most`, with all their groups; their
// number goes to `count`.
std::string chainOf(regex::Searcher& searcher, const std::string& subject, int most, int& count) {
  return testing::findChain(searcher, static_cast<int>(subject.size()), most, count);
}

std::string chainOf(regex::Searcher& searcher, const std::string& subject) {
  int count = 0;
  return chainOf(searcher, subject, 4, count);
}

// The program of a generated expression, or nothing when the dialect refuses it
// (quantified empty operands).
std::optional<regex::Program> compileGenerated(const std::string& pattern,
                                               const regex::Modifiers& mods) {
  const auto& codePage = text::activeCodePage();
  try {
    return regex::compileProgram(regex::parseExpression(pattern, mods, codePage), codePage);
  } catch (const RegExprError&) {
    return std::nullopt;
  }
}

TEST(RegexDifferential, AutomatonAgreesWithBacktracker) {
  DialectGenerator gen(1208);
  const std::function<bool()> never;
  int compared = 0, automatic = 0;
  for (int n = 0; n < 7000; ++n) {
    if (n == 6000) gen.useUtf8();
    const std::string pattern = gen.next();
    const regex::Modifiers mods = gen.modifiers();
    const std::optional<regex::Program> program = compileGenerated(pattern, mods);
    if (!program) continue;
    automatic += program->automaton.has_value();
    regex::Poller poller(never);
    regex::Searcher fast(*program, poller), plain(*program, poller);
    plain.allowAutomaton(false);
    // A memo of eight positions: its window moves with the tries on every subject.
    regex::Searcher windowed(*program, poller, program->code.size());
    windowed.allowAutomaton(false);
    for (int k = 0; k < 4; ++k) {
      const std::string subject = gen.subject();
      fast.setSubject(subject);
      plain.setSubject(subject);
      windowed.setSubject(subject);
      const std::string expected = chainOf(plain, subject);
      ASSERT_EQ(chainOf(windowed, subject), expected)
          << "windowed memo, pattern '" << testing::printable(pattern) << "' subject '"
          << testing::printable(subject) << "'";
      ASSERT_EQ(chainOf(fast, subject), expected)
          << "pattern '" << testing::printable(pattern) << "' i" << mods.i << " r" << mods.r << " s"
          << mods.s << " g" << mods.g << " m" << mods.m << " subject '"
          << testing::printable(subject) << "'";
      ++compared;
    }
  }
  EXPECT_GT(compared, 12000);
  EXPECT_GT(automatic, 3000);
}

// Subjects of many lines and many matches: each search starts where the last match ended,
// the automaton and the backtracker must agree on the whole chain, and counting the
// matches alone gives their number.
TEST(RegexDifferential, AutomatonAgreesWithBacktrackerOnLongSubjects) {
  DialectGenerator gen(20261209);
  const std::function<bool()> never;
  int compared = 0;
  for (int n = 0; n < 1000; ++n) {
    if (n == 850) gen.useUtf8();
    const std::string pattern = gen.next();
    const regex::Modifiers mods = gen.modifiers();
    const std::optional<regex::Program> program = compileGenerated(pattern, mods);
    if (!program || !program->automaton) continue;
    std::string subject;
    for (int k = 40 + gen.pick(80); k > 0; --k) subject += gen.subject();
    regex::Poller poller(never);
    regex::Searcher fast(*program, poller), plain(*program, poller), counter(*program, poller);
    plain.allowAutomaton(false);
    fast.setSubject(subject);
    plain.setSubject(subject);
    counter.setSubject(subject);
    int expectedCount = 0, count = 0;
    const std::string expected = chainOf(plain, subject, INT_MAX, expectedCount);
    ASSERT_EQ(chainOf(fast, subject, INT_MAX, count), expected)
        << "pattern '" << testing::printable(pattern) << "' i" << mods.i << " r" << mods.r << " s"
        << mods.s << " g" << mods.g << " m" << mods.m << " subject '" << testing::printable(subject)
        << "'";
    if (!program->canBeEmpty) {
      ASSERT_EQ(counter.countMatches(0), expectedCount)
          << "pattern '" << testing::printable(pattern) << "' subject '"
          << testing::printable(subject) << "'";
    }
    ++compared;
  }
  EXPECT_GT(compared, 300);
}

// Counting the matches of every line in one pass over the whole text gives the count of
// exec / execNext over each line, whenever the engine takes that pass.
TEST(RegexDifferential, LineCountAgreesWithLineByLineSearch) {
  DialectGenerator gen(4711);
  int compared = 0, declined = 0;
  for (int n = 0; n < 7000; ++n) {
    if (n == 6000) gen.useUtf8();
    const std::string pattern = gen.next();
    const regex::Modifiers mods = gen.modifiers();
    RegExpr re;
    re.setUtf8Mode(mods.utf8);
    re.setNewlineMatchesCrLf(mods.newlineCrLf);
    re.setModifier(1, mods.i);
    re.setModifier(2, mods.r);
    re.setModifier(3, mods.s);
    re.setModifier(4, mods.g);
    re.setModifier(5, mods.m);
    re.setExpression(pattern);
    std::string text;
    for (int k = gen.pick(6); k >= 0; --k) text += gen.subject();
    std::int64_t whole = 0;
    bool counted = false;
    try {
      counted = re.countLineMatches(text, whole);
    } catch (const RegExprError&) {
      continue;  // quantified empty operands
    }
    if (!counted) {
      EXPECT_EQ(whole, 0);
      ++declined;
      continue;
    }
    std::int64_t lines = 0;
    text::forEachLine(text, [&](const text::Line& line) {
      for (bool found = re.exec(line.text); found; found = re.execNext()) ++lines;
    });
    ASSERT_EQ(whole, lines) << "pattern '" << testing::printable(pattern) << "' i" << mods.i << " s"
                            << mods.s << " m" << mods.m << " text '" << testing::printable(text)
                            << "'";
    ++compared;
  }
  EXPECT_GT(compared, 500);
  EXPECT_GT(declined, 1000);
}

}  // namespace
}  // namespace kestrix
