// Unicode character classes for words and regular expressions: letters and digits are the
// general categories L and N, marks (M) belong to words, spaces are Unicode's white space.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrix::text {

// Letters (L*), numbers (N*) and marks (M*); never an invalid byte value.
bool isLetterDigitOrMark(char32_t c);
// Word characters of whole-word tests and "\w": letters, digits, marks and "_".
inline bool isWordCodePoint(char32_t c) {
  if (c < 0x80) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  }
  return isLetterDigitOrMark(c);
}
// Decimal digits (Nd) for "\d".
bool isDecimalDigit(char32_t c);
// White space (the White_Space property) for "\s".
bool isWhiteSpace(char32_t c);

// Whether the character ending right before s[pos] / starting at s[pos] is a word character
// (false at the start / end of `s`).
bool wordCharBefore(std::string_view s, std::size_t pos);
bool wordCharAt(std::string_view s, std::size_t pos);

}  // namespace kestrix::text
