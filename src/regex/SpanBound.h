// How far one match can reach, so that a long subject can be searched in overlapping windows
// with the results of one search over the whole. Covered by RegexSpanBoundTest.cpp.
#pragma once

#include <cstdint>
#include <optional>

namespace kestrix {

class RegExpr;

// The most bytes one match of `re`'s expression can span under its modifiers and modes, or
// nothing when no bound is known: a repetition without an upper bound ("*", "+", "{n,}")
// over anything that takes a byte, a back-reference, or a test of where the subject begins
// ("\A", "^" with m off), which a window that begins later cannot tell. Every other
// assertion looks at one byte on either side of its position, so a window holding a few
// bytes before where its search starts sees what the whole subject shows there.
// Throws RegExprError for an expression that does not compile.
std::optional<std::int64_t> matchSpanBound(const RegExpr& re);

}  // namespace kestrix
