// Display decoding of found lines (UTF-8 or Windows-1252) with the byte-to-column map.
#include "ui/viewer/TextDecoding.h"

#include <algorithm>
#include <array>

namespace kestrix::ui {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Length of the UTF-8 sequence that `bytes` starts at `pos`, or 0 when it is malformed;
// -1 when it is a well-formed start that the end of the bytes cuts off.
int sequenceLength(std::string_view bytes, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(bytes[pos]);
  if (lead < 0x80) return 1;
  int length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  for (int k = 1; k < length; ++k) {
    if (pos + k >= bytes.size()) return -1;
    const auto c = static_cast<unsigned char>(bytes[pos + k]);
    if (k == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF)) return 0;
  }
  return length;
}

char32_t decodeSequence(std::string_view bytes, std::size_t pos, int length) {
  const auto lead = static_cast<unsigned char>(bytes[pos]);
  if (length == 1) return lead;
  char32_t cp = lead & (0x7F >> length);
  for (int k = 1; k < length; ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(bytes[pos + k]) & 0x3F);
  return cp;
}

void appendCodePoint(QString& text, char32_t cp) {
  if (cp < 32) {
    text.append(QChar(u' '));
  } else if (cp > 0xFFFF) {
    const char32_t v = cp - 0x10000;
    text.append(QChar(static_cast<char16_t>(0xD800 + (v >> 10))));
    text.append(QChar(static_cast<char16_t>(0xDC00 + (v & 0x3FF))));
  } else {
    text.append(QChar(static_cast<char16_t>(cp)));
  }
}

DecodedText decodeUtf8(std::string_view bytes) {
  DecodedText out;
  out.encoding = TextEncoding::Utf8;
  out.text.reserve(static_cast<qsizetype>(bytes.size()));
  out.columnOfByte.resize(bytes.size() + 1);
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const int length = sequenceLength(bytes, pos);
    const int column = static_cast<int>(out.text.size());
    // Only a cut tail can be malformed here: the caller validated the rest.
    const std::size_t used = length > 0 ? static_cast<std::size_t>(length) : bytes.size() - pos;
    std::fill_n(out.columnOfByte.begin() + static_cast<std::ptrdiff_t>(pos), used, column);
    if (length > 0) {
      appendCodePoint(out.text, decodeSequence(bytes, pos, length));
    } else {
      out.text.append(QChar(kReplacement));
    }
    pos += used;
  }
  out.columnOfByte[bytes.size()] = static_cast<int>(out.text.size());
  return out;
}

DecodedText decodeWindows1252(std::string_view bytes) {
  DecodedText out;
  out.encoding = TextEncoding::Windows1252;
  out.text.resize(static_cast<qsizetype>(bytes.size()));
  out.columnOfByte.resize(bytes.size() + 1);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out.text[static_cast<qsizetype>(i)] = QChar(byte < 32 ? u' ' : windows1252ToUnicode(byte));
    out.columnOfByte[i] = static_cast<int>(i);
  }
  out.columnOfByte[bytes.size()] = static_cast<int>(bytes.size());
  return out;
}

}  // namespace

std::pair<int, int> DecodedText::columnRange(std::size_t start, std::size_t count) const {
  const std::size_t last = columnOfByte.size() - 1;
  const std::size_t from = std::min(start, last);
  std::size_t to = std::min(start + std::min(count, last), last);
  // An end inside a character moves to the character's end.
  while (to < last && to > from && columnOfByte[to] == columnOfByte[to - 1]) ++to;
  const int column = columnOfByte[from];
  return {column, columnOfByte[to] - column};
}

bool isValidUtf8(std::string_view bytes, bool allowCutTail) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[pos]);
    if (c < 0x80) {
      ++pos;
      continue;
    }
    const int length = sequenceLength(bytes, pos);
    if (length == -1) return allowCutTail;
    if (length == 0) return false;
    pos += static_cast<std::size_t>(length);
  }
  return true;
}

char16_t windows1252ToUnicode(unsigned char byte) {
  static constexpr std::array<char16_t, 32> kHigh = {
      0x20AC,       kReplacement, 0x201A, 0x0192, 0x201E, 0x2026,       0x2020, 0x2021,
      0x02C6,       0x2030,       0x0160, 0x2039, 0x0152, kReplacement, 0x017D, kReplacement,
      kReplacement, 0x2018,       0x2019, 0x201C, 0x201D, 0x2022,       0x2013, 0x2014,
      0x02DC,       0x2122,       0x0161, 0x203A, 0x0153, kReplacement, 0x017E, 0x0178};
  if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
  return byte;
}

DecodedText decodeForDisplay(std::string_view bytes) {
  return isValidUtf8(bytes, true) ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

}  // namespace kestrix::ui
