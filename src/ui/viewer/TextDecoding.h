// Turns the raw bytes of a found line into display text: UTF-8 when the bytes are valid
// UTF-8, else Windows-1252. Keeps a map from byte offsets to display columns so that hit
// positions counted in bytes land on the right characters.
#pragma once

#include <QString>
#include <string_view>
#include <vector>

namespace kestrix::ui {

enum class TextEncoding { Utf8, Windows1252 };

// Display text of a byte string plus where each byte went.
struct DecodedText {
  QString text;
  TextEncoding encoding = TextEncoding::Utf8;
  // columnOfByte[i]: the QString position of the character that byte i belongs to;
  // columnOfByte[bytes.size()] == text.size(). Continuation bytes share their lead's column.
  std::vector<int> columnOfByte;

  // Display range [column, column + length) covering the bytes [start, start + count).
  // A range that starts or ends inside a multi-byte character widens to the whole
  // character; offsets past the end are clamped. Returns {column, length}.
  std::pair<int, int> columnRange(std::size_t start, std::size_t count) const;
};

// True when `bytes` is well-formed UTF-8 (no overlongs, surrogates or code points past
// U+10FFFF). A sequence cut off at the very end counts as valid when `allowCutTail` is set:
// found lines are cut to a fixed length, which may split the last character.
bool isValidUtf8(std::string_view bytes, bool allowCutTail = false);

// Decodes `bytes` for display. Every character below code 32 becomes a space, so a tab
// takes one column like any other character and the hits after it stay aligned. A cut
// last UTF-8 character is shown as U+FFFD, and so are Windows-1252's five unassigned
// bytes.
DecodedText decodeForDisplay(std::string_view bytes);

// The Unicode character of a Windows-1252 byte (U+FFFD for the five unassigned codes).
char16_t windows1252ToUnicode(unsigned char byte);

}  // namespace kestrix::ui
