// The text of a found line as a text widget shows it: its bytes decoded into UTF-16 code
// units (UTF-8 when the bytes are UTF-8, else a legacy code page), with a map from byte
// offsets to the code units they became, so that hit positions counted in bytes land on
// the right characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/Encoding.h"

namespace kestrix::text {

struct DisplayText {
  std::u16string units;
  // Utf8, or Legacy when the bytes were decoded in the legacy code page.
  Encoding encoding = Encoding::Utf8;
  // columnOfByte[i]: the position in `units` of the character that byte i belongs to;
  // columnOfByte[bytes.size()] == units.size(). Continuation bytes share their lead's column.
  std::vector<int> columnOfByte;

  // The range [column, column + length) of `units` covering the bytes [start, start + count).
  // A range that starts or ends inside a multi-byte character widens to the whole
  // character; offsets past the end are clamped. Returns {column, length}.
  std::pair<int, int> columnRange(std::size_t start, std::size_t count) const;
};

// True when `bytes` is well-formed UTF-8 but for its last character, which may be cut off:
// found lines are cut to a fixed length, which may split the last character.
bool isUtf8WithCutTail(std::string_view bytes);

// Decodes `bytes` for display: as UTF-8 when isUtf8WithCutTail, else in `legacyCodePage`
// (one of legacyCodePages()). Every character below code 32 becomes a space, so a tab takes
// one column like any other character and the hits after it stay aligned. A cut last UTF-8
// character is shown as U+FFFD, and so is a byte the code page does not define. Throws
// EncodingError when `legacyCodePage` cannot be used.
DisplayText decodeForDisplay(std::string_view bytes,
                             std::string_view legacyCodePage = kDefaultLegacyCodePage);

}  // namespace kestrix::text
