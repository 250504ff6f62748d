// Internal to the encoding conversions: UTF-8 sequences and the converters per encoding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrix::text {

// The length of the well-formed UTF-8 sequence at `i` in `s`, or 0 when the byte there does
// not start one.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i);

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string utf8ToUtf16(std::string_view text, bool bigEndian);
std::string legacyToUtf8(std::string_view bytes, std::string_view codePage);
std::string utf8ToLegacy(std::string_view text, std::string_view codePage);

}  // namespace kestrix::text
