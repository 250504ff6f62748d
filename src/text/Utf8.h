// UTF-8 decoding and encoding for matching on characters. A byte that does not begin a
// valid sequence (overlong forms, surrogates and values past U+10FFFF are not valid) is a
// character of its own with a value past U+10FFFF, so it equals only itself.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrix::text {

// Values kInvalidByteBase + b stand for an invalid byte b.
inline constexpr char32_t kInvalidByteBase = 0x110000;

struct DecodedChar {
  char32_t value = 0;  // the code point, or kInvalidByteBase + the byte
  int length = 0;      // bytes taken: 1..4 (1 for an invalid byte)
};

// The character at s[pos] (pos < s.size()).
DecodedChar decodeUtf8(std::string_view s, std::size_t pos);

// The character that ends right before s[pos] (0 < pos <= s.size()): the valid sequence
// ending there, or the single byte before pos.
DecodedChar decodeUtf8Before(std::string_view s, std::size_t pos);

// Writes the UTF-8 form of `c` (an invalid byte value: that byte) to out[0..3]; returns
// its length.
int encodeUtf8(char32_t c, char* out);
// Appends the UTF-8 form of `c` (see encodeUtf8).
void appendUtf8(std::string& out, char32_t c);

// Length of a valid UTF-8 sequence starting at s[pos], or 0.
int validSequenceLength(std::string_view s, std::size_t pos);

// The number of characters of `s` (invalid bytes count one each).
std::size_t countChars(std::string_view s);

}  // namespace kestrix::text
