// HTML escaping for reports and saved lines, with the map that moves byte offsets of
// hits from the plain text into the escaped text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix::text {

// `"`, `&`, `<` and `>` become "&quot;", "&amp;", "&lt;" and "&gt;"; all else is kept.
std::string htmlEscape(std::string_view plain);

struct EscapedText {
  std::string text;
  // offsets[i] is where plain byte i starts in `text`; offsets[plain.size()] == text.size().
  std::vector<std::size_t> offsets;
};

// Escapes like htmlEscape and records where each plain byte went.
EscapedText htmlEscapeWithOffsets(std::string_view plain);

}  // namespace kestrix::text
