// Display decoding of found lines into UTF-16 code units with the byte-to-column map.
#include "text/DisplayText.h"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>

#include "text/Utf8.h"

namespace kestrix::text {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The length of the UTF-8 sequence that a lead byte announces, or 0 for a byte that
// cannot lead one.
std::size_t announcedLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC2 || lead > 0xF4) return 0;
  return lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// True when `tail` (not empty) is the start of a well-formed sequence that ends too soon.
bool isCutSequence(std::string_view tail) {
  const std::size_t length = announcedLength(static_cast<unsigned char>(tail[0]));
  if (length <= tail.size()) return false;
  if (tail.size() == 1) return true;
  // Only the second byte has a range of its own; the missing ones are plain continuations.
  std::string whole(tail);
  whole.resize(length, '\x80');
  return validSequenceLength(whole, 0) == static_cast<int>(length);
}

void appendDisplayChar(std::u16string& units, char32_t c) {
  if (c < 32) {
    units += u' ';
  } else if (c > 0xFFFF) {
    const char32_t v = c - 0x10000;
    units += static_cast<char16_t>(0xD800 + (v >> 10));
    units += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
  } else {
    units += static_cast<char16_t>(c);
  }
}

using ByteTable = std::array<char16_t, 256>;

// The character of each byte in `codePage`, through the code page's converter; U+FFFD for
// a byte the code page does not define.
ByteTable makeByteTable(std::string_view codePage) {
  ByteTable table{};
  for (int b = 0; b < 256; ++b) {
    const std::string utf8 =
        decodeToUtf8(std::string(1, static_cast<char>(b)), Encoding::Legacy, codePage);
    const DecodedChar c = decodeUtf8(utf8, 0);
    const bool single = c.length == static_cast<int>(utf8.size());
    table[static_cast<std::size_t>(b)] =
        single && c.value <= 0xFFFF ? static_cast<char16_t>(c.value) : kReplacement;
  }
  return table;
}

// The table of `codePage`, built once per code page.
const ByteTable& byteTable(std::string_view codePage) {
  static std::mutex mutex;
  static std::map<std::string, ByteTable, std::less<>> tables;
  const std::lock_guard lock(mutex);
  auto found = tables.find(codePage);
  if (found == tables.end()) found = tables.emplace(codePage, makeByteTable(codePage)).first;
  return found->second;
}

DisplayText decodeUtf8ForDisplay(std::string_view bytes) {
  DisplayText out;
  out.units.reserve(bytes.size());
  out.columnOfByte.resize(bytes.size() + 1);
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const int column = static_cast<int>(out.units.size());
    // Only a cut tail can be malformed here: the caller checked the rest.
    const int length = validSequenceLength(bytes, pos);
    const std::size_t used = length > 0 ? static_cast<std::size_t>(length) : bytes.size() - pos;
    std::fill_n(out.columnOfByte.begin() + static_cast<std::ptrdiff_t>(pos), used, column);
    if (length > 0) {
      appendDisplayChar(out.units, decodeUtf8(bytes, pos).value);
    } else {
      out.units += kReplacement;
    }
    pos += used;
  }
  out.columnOfByte[bytes.size()] = static_cast<int>(out.units.size());
  return out;
}

DisplayText decodeLegacyForDisplay(std::string_view bytes, std::string_view codePage) {
  const ByteTable& table = byteTable(codePage);
  DisplayText out;
  out.encoding = Encoding::Legacy;
  out.units.resize(bytes.size());
  out.columnOfByte.resize(bytes.size() + 1);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out.units[i] = byte < 32 ? u' ' : table[byte];
    out.columnOfByte[i] = static_cast<int>(i);
  }
  out.columnOfByte[bytes.size()] = static_cast<int>(bytes.size());
  return out;
}

}  // namespace

std::pair<int, int> DisplayText::columnRange(std::size_t start, std::size_t count) const {
  const std::size_t last = columnOfByte.size() - 1;
  const std::size_t from = std::min(start, last);
  std::size_t to = from + std::min(count, last - from);
  // An end inside a character moves to the character's end.
  while (to < last && to > from && columnOfByte[to] == columnOfByte[to - 1]) ++to;
  const int column = columnOfByte[from];
  return {column, columnOfByte[to] - column};
}

bool isUtf8WithCutTail(std::string_view bytes) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const int length = validSequenceLength(bytes, pos);
    if (length == 0) return isCutSequence(bytes.substr(pos));
    pos += static_cast<std::size_t>(length);
  }
  return true;
}

DisplayText decodeForDisplay(std::string_view bytes, std::string_view legacyCodePage) {
  return isUtf8WithCutTail(bytes) ? decodeUtf8ForDisplay(bytes)
                                  : decodeLegacyForDisplay(bytes, legacyCodePage);
}

}  // namespace kestrix::text
