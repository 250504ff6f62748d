// Sets of characters for the character mode (UTF-8 subjects): code point ranges, the
// Unicode classes of "\d", "\w", "\s", case variants, and their translation into byte-level
// nodes that the compilers and the automaton run unchanged.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "regex/Syntax.h"

namespace kestrix::regex {

// Sorted, disjoint, inclusive ranges of code points.
using CodeRanges = std::vector<std::pair<char32_t, char32_t>>;

// `ranges` sorted with overlapping and adjacent ranges merged.
CodeRanges normalizedRanges(CodeRanges ranges);
// Every valid code point (surrogates excluded) not in `ranges` (normalized).
CodeRanges complementRanges(const CodeRanges& ranges);
// `ranges` with every case variant of their members added (simple case folding).
CodeRanges withCaseVariants(const CodeRanges& ranges);

// The Unicode classes: decimal digits; letters, digits, marks and "_"; white space.
const CodeRanges& unicodeDigits();
const CodeRanges& unicodeWordChars();
const CodeRanges& unicodeSpaces();

// A node matching one character of `ranges` (normalized) in UTF-8, plus, with
// `invalidBytes`, one byte that no valid sequence begins with (continuation bytes and C0,
// C1, F5..FF). Alternatives start with pairwise different bytes, so they never backtrack.
std::unique_ptr<Node> charSetNode(const CodeRanges& ranges, bool invalidBytes);

}  // namespace kestrix::regex
