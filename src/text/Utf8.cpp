// UTF-8 decoding that never fails: invalid bytes decode as characters of their own.
#include "text/Utf8.h"

namespace kestrix::text {
namespace {

bool isContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

}  // namespace

int validSequenceLength(std::string_view s, std::size_t pos) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + pos;
  const std::size_t left = s.size() - pos;
  const unsigned char b = p[0];
  if (b < 0x80) return 1;
  if (b < 0xC2 || b > 0xF4) return 0;
  const int length = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
  if (left < static_cast<std::size_t>(length)) return 0;
  // The second byte's range excludes overlong forms, surrogates and values past U+10FFFF.
  const unsigned char lo = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
  const unsigned char hi = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
  if (p[1] < lo || p[1] > hi) return 0;
  for (int k = 2; k < length; ++k) {
    if (!isContinuation(p[k])) return 0;
  }
  return length;
}

DecodedChar decodeUtf8(std::string_view s, std::size_t pos) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + pos;
  if (p[0] < 0x80) return {p[0], 1};
  switch (validSequenceLength(s, pos)) {
    case 2:
      return {static_cast<char32_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F)), 2};
    case 3:
      return {static_cast<char32_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F)), 3};
    case 4:
      return {static_cast<char32_t>((p[0] & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 |
                                    (p[3] & 0x3F)),
              4};
    default:
      return {kInvalidByteBase + p[0], 1};
  }
}

DecodedChar decodeUtf8Before(std::string_view s, std::size_t pos) {
  const auto last = static_cast<unsigned char>(s[pos - 1]);
  if (last < 0x80) return {last, 1};
  for (std::size_t back = 2; back <= 4 && back <= pos; ++back) {
    const std::size_t start = pos - back;
    if (isContinuation(static_cast<unsigned char>(s[start]))) continue;
    if (validSequenceLength(s, start) == static_cast<int>(back)) return decodeUtf8(s, start);
    break;
  }
  return {kInvalidByteBase + last, 1};
}

int encodeUtf8(char32_t c, char* out) {
  if (c >= kInvalidByteBase || c < 0x80) {
    out[0] = static_cast<char>(c >= kInvalidByteBase ? c - kInvalidByteBase : c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | c >> 6);
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | c >> 12);
    out[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | c >> 18);
  out[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
  out[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

void appendUtf8(std::string& out, char32_t c) {
  char buffer[4];
  out.append(buffer, static_cast<std::size_t>(encodeUtf8(c, buffer)));
}

std::size_t countChars(std::string_view s) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < s.size(); pos += decodeUtf8(s, pos).length) ++count;
  return count;
}

}  // namespace kestrix::text
