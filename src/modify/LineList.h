// The working line list of a file being modified: its lines without their breaks, and the
// way back to bytes with the chosen separator and the final-break rule.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "modify/ModificationType.h"

namespace kestrix::modify {

using LineList = std::vector<std::string>;

// Splits `text` at CR LF, LF and a lone CR. A trailing break makes no empty last line.
LineList splitIntoLines(std::string_view text);

// True when the last byte of `bytes` is CR or LF (false for an empty text).
bool endsWithLineBreak(std::string_view bytes);

// The lines joined by `separator`; the last line gets one too only when `finalBreak`.
std::string joinLines(const LineList& lines, LineSeparator separator, bool finalBreak);

}  // namespace kestrix::modify
