// The compiled form of an expression: instructions for the backtracking matcher plus the
// shortcuts the search loop uses. Built by Compiler.cpp, run by Matcher.cpp and Search.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "regex/Syntax.h"

namespace kestrix::regex {

// The deepest nesting of counted group repetitions (braces, non-greedy repetitions of groups).
inline constexpr int kMaxLoopDepth = 10;

enum class Op : std::uint8_t {
  Match,      // success
  Char,       // a: the character
  Str,        // a: offset into strings/folds, b: length; icase: compare with folds too
  Set,        // a: index into sets
  Assert,     // assertion
  Split,      // try a first, b on backtracking
  Dispatch,   // jump to dispatch[a][next byte]; fail on -1 or at the end
  Jmp,        // a: target
  Save,       // a: register slot (2 * group, + 1 for the end)
  Backref,    // a: group; icase
  Loop,       // tight repetition of sets[a]; b: group captured by the last character (0 none)
  CountInit,  // a: counter set to 0; b: loop nesting depth
  CountTest,  // a: counter, b: exit; min/max/greedy decide whether the body runs again
  CountNext,  // a: counter incremented, b: its CountTest
};

struct Inst {
  Op op = Op::Match;
  bool icase = false;
  bool greedy = true;
  bool possessive = false;  // Loop: fewer repetitions can never help, so none are retried
  Assertion assertion = Assertion::InputStart;
  int a = 0;
  int b = 0;
  int min = 0;
  int max = 0;
  int next = -1;  // Loop: the character the following instruction needs, or -1
};

// The expression without counters or captures, for the lazy automaton (Automaton.cpp):
// counted repetitions are unrolled, literals split into single bytes. Only Match, Char,
// Set, Assert, Split and Jmp occur; instruction 0 is the start.
struct AutomatonCode {
  std::vector<Inst> forward;  // the expression as written
  std::vector<Inst> reverse;  // the expression read backwards: it finds where a match starts
  bool hasAssertions = false;
};

// A repetition of one character class, as the search of a class run followed by a text
// reads it directly.
struct ClassRun {
  ByteSet bytes{};          // bytes that are each a whole character of the class
  bool wholeBytes = false;  // every member is one byte: any other byte ends a run
  int min = 0;              // the repetition's bounds (kMaxCount: none) and mode
  int max = 0;
  bool greedy = true;
};

struct Program {
  std::vector<Inst> code;
  std::string strings;  // literal texts
  std::string folds;    // the other case of each literal character (same offsets)
  std::vector<ByteSet> sets;
  std::vector<std::array<int, 256>> dispatch;
  ByteSet otherCase{};  // the code page's other case of every byte (back-references)
  int counters = 0;
  int groupCount = 0;

  // Search shortcuts.
  bool anchored = false;   // begins with a start-of-input anchor: tried only at the offset
  bool canBeEmpty = true;  // a match may be empty: every position is tried, the end too
  ByteSet firstSet{};      // bytes that can begin a match (when !canBeEmpty)
  int firstCount = 0;      // number of bytes in firstSet
  std::string prefix;      // every match begins with this text...
  std::string prefixFold;  // ...compared with these other cases (empty: case-sensitive)
  std::string required;    // case-sensitive text every match contains (empty: none)
  // The possessive greedy loop that every match begins with (after group starts), or -1.
  // When a try fails after it stopped at a non-member byte, no start before that byte can
  // succeed: the loop would stop there too and the rest would fail the same way (the
  // program has no back-references that could see a shorter capture).
  int leadLoop = -1;
  // Present when every match is a repetition of one character class followed by
  // `required` (see classRunThenRequired): the search finds the text first and the start
  // back from it.
  std::optional<ClassRun> classRun;

  // Present when the expression has no back-references, no counted loops nested deeper
  // than kMaxLoopDepth and unrolls to a bounded size.
  std::optional<AutomatonCode> automaton;
  bool lineBound = false;  // no match can contain a CR or LF
};

// Whether `node` always matches exactly one byte; its members go to `out` (Compiler.cpp).
// Both compilers run such repetitions without a counter.
bool singleByteSet(const Node& node, ByteSet& out);

// The class run when `root` is a repetition (any bounds, greedy or not) of one character
// class followed by the case-sensitive literal `required`, where an ASCII first byte of
// `required` is needed when the class takes multi-byte characters (so that the text never
// begins inside one); otherwise nothing. Then the starts that can reach an occurrence of
// the text only grow with it: the first occurrence that some match ends with gives the
// leftmost match's start (ClassRunSuffix.cpp).
std::optional<ClassRun> classRunThenRequired(const Node& root, const std::string& required);

// Builds Program::automaton when the expression allows it (AutomatonCompiler.cpp).
void compileAutomatonCode(const Node& root, Program& program);

// Compiles a parsed expression. Throws RegExprError 101 when the program would be too big.
Program compileProgram(ParsedExpression parsed, const text::CodePage& codePage);

}  // namespace kestrix::regex
