// UTF-16 to UTF-8 and back, both ways without loss: an unpaired surrogate travels as its
// generalized three-byte UTF-8 form. Runs of ASCII go four code units at a time, so that a
// large UTF-16 file of mostly ASCII text converts at memory speed.
#include <bit>
#include <cstdint>
#include <cstring>

#include "text/Encoding.h"
#include "text/EncodingDetail.h"

namespace kestrix::text {
namespace {

std::uint32_t unitAt(const unsigned char* p, bool bigEndian) {
  return bigEndian ? (std::uint32_t{p[0]} << 8) | p[1] : (std::uint32_t{p[1]} << 8) | p[0];
}

// True when the four code units at `p` are all ASCII.
bool asciiUnits(const unsigned char* p, bool bigEndian) {
  if constexpr (std::endian::native != std::endian::little) return false;
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  return (w & (bigEndian ? 0x80FF80FF80FF80FFull : 0xFF80FF80FF80FF80ull)) == 0;
}

// Writes the four ASCII code units at `p` as four bytes at `out`.
void packAscii(const unsigned char* p, bool bigEndian, char* out) {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  if (bigEndian) w >>= 8;
  w = (w | (w >> 8)) & 0x0000FFFF0000FFFFull;
  w = (w | (w >> 16)) & 0x00000000FFFFFFFFull;
  const auto packed = static_cast<std::uint32_t>(w);
  std::memcpy(out, &packed, 4);
}

char* putUtf8(char* out, std::uint32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

void putUnit(std::string& out, std::uint32_t unit, bool bigEndian) {
  const char hi = static_cast<char>(unit >> 8);
  const char lo = static_cast<char>(unit & 0xFF);
  out += bigEndian ? hi : lo;
  out += bigEndian ? lo : hi;
}

// The code point of the UTF-8 sequence at `i`, surrogates in their three-byte form
// included; its length in `len`, 0 when no sequence starts there.
std::uint32_t codePointAt(std::string_view s, std::size_t i, std::size_t& len) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  if (b(0) == 0xED && i + 2 < s.size() && b(1) >= 0xA0 && b(1) <= 0xBF && (b(2) & 0xC0) == 0x80) {
    len = 3;
    return 0xD000 | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
  }
  len = utf8SequenceLength(s, i);
  switch (len) {
    case 1:
      return b(0);
    case 2:
      return ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    case 3:
      return ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    case 4:
      return ((b(0) & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) |
             (b(3) & 0x3Fu);
    default:
      return 0;
  }
}

}  // namespace

std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  std::size_t len;
  unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + len > s.size() || b(1) < lo || b(1) > hi) return 0;
  for (std::size_t k = 2; k < len; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
  }
  return len;
}

std::size_t appendUtf16AsUtf8(std::string_view bytes, bool bigEndian, bool final,
                              std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t units = bytes.size() / 2;
  const std::size_t start = out.size();
  out.resize(start + units * 3 + 3);  // a unit takes at most 3 bytes, a pair 4
  char* o = out.data() + start;
  std::size_t i = 0;
  while (i < units) {
    if (i + 8 <= units && asciiUnits(p + 2 * i, bigEndian) &&
        asciiUnits(p + 2 * i + 8, bigEndian)) {
      packAscii(p + 2 * i, bigEndian, o);
      packAscii(p + 2 * i + 8, bigEndian, o + 4);
      o += 8;
      i += 8;
      continue;
    }
    std::uint32_t c = unitAt(p + 2 * i, bigEndian);
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 == units && !final) break;  // its pair may be in the next bytes
      if (i + 1 < units) {
        const std::uint32_t next = unitAt(p + 2 * i + 2, bigEndian);
        if (next >= 0xDC00 && next <= 0xDFFF) {
          c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
          ++i;
        }
      }
    }
    ++i;
    o = putUtf8(o, c);  // an unpaired surrogate takes its three-byte form
  }
  std::size_t used = 2 * i;
  if (final && bytes.size() % 2 != 0) {
    o = putUtf8(o, 0xFFFD);
    used = bytes.size();
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return used;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  appendUtf16AsUtf8(bytes, bigEndian, true, out);
  return out;
}

std::string utf8ToUtf16(std::string_view text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 2);
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t len = 0;
    const std::uint32_t c = codePointAt(text, i, len);
    if (len == 0) {
      throw EncodingError(std::string("bytes that are not UTF-8 cannot be written in UTF-16 ") +
                          (bigEndian ? "BE" : "LE"));
    }
    if (c >= 0x10000) {
      putUnit(out, 0xD800 + ((c - 0x10000) >> 10), bigEndian);
      putUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), bigEndian);
    } else {
      putUnit(out, c, bigEndian);
    }
    i += len;
  }
  return out;
}

}  // namespace kestrix::text
