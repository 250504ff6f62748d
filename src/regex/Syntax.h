// The parsed form of an expression: a tree of nodes with every modifier already applied
// (case folding, dot, anchors, greediness). Built by Parser.cpp, read by Compiler.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/CodePage.h"

namespace kestrix::regex {

// The largest repetition count; it also stands for an omitted upper bound.
inline constexpr int kMaxCount = 2147483646;
// Capturing groups 1..14; register 0 is the whole match.
inline constexpr int kGroupCount = 15;

// A set of bytes as a lookup table (1 = member).
using ByteSet = std::array<std::uint8_t, 256>;

enum class Assertion : std::uint8_t {
  InputStart,  // "^" with m off, "\A"
  InputEnd,    // "$" with m off, "\Z"
  LineStart,   // "^" with m on
  LineEnd,     // "$" with m on
};

struct Node {
  enum class Kind : std::uint8_t {
    Empty,
    Literal,
    Set,
    Assert,
    Group,
    Concat,
    Alt,
    Repeat,
    Backref
  };

  explicit Node(Kind k) : kind(k) {}

  Kind kind;
  std::string text;  // Literal: the characters
  std::string fold;  // Literal: the other case of each character; empty when case-sensitive
  ByteSet set{};     // Set: the members
  Assertion assertion = Assertion::InputStart;
  int index = 0;       // Group and Backref: the group number
  bool icase = false;  // Backref: compared case-insensitively
  int min = 0;         // Repeat: bounds and mode
  int max = 0;
  bool greedy = true;
  std::vector<std::unique_ptr<Node>> kids;  // Group, Repeat: one; Concat, Alt: any number
};

// The modifiers in force when parsing starts, and the two modes that are not letters:
// `utf8` matches characters of UTF-8 text (Unicode folding and classes, "." and classes take
// one code point) instead of bytes; `newlineCrLf` lets "\n" match a CR LF pair too.
struct Modifiers {
  bool i = false, r = true, s = true, g = true, m = false, x = false;
  bool utf8 = false, newlineCrLf = false;
};

struct ParsedExpression {
  std::unique_ptr<Node> root;
  int groupCount = 0;  // highest group number used
  // A match may begin inside a character: "." takes a lone continuation byte, so a search
  // could start on one (only in the utf8 mode).
  bool midCharStarts = false;
};

// Parses `expression` under `mods`, folding cases with `codePage`.
// Throws RegExprError with the compile error codes (100..127) and the 1-based position.
// Nesting of the tree is bounded: only groups nest, and there are at most 14 of them.
ParsedExpression parseExpression(std::string_view expression, const Modifiers& mods,
                                 const text::CodePage& codePage);

}  // namespace kestrix::regex
