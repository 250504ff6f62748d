// The working line list of a file being modified: its lines without their breaks, and the
// way back to bytes with the chosen separator and the final-break rule.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "modify/ModificationType.h"

namespace kestrix::modify {

using LineList = std::vector<std::string>;

// The break that followed a line in the file; only the last line can have none.
enum class LineBreak : unsigned char { None, Lf, Cr, CrLf };
using BreakList = std::vector<LineBreak>;

// Splits `text` at CR LF, LF and a lone CR. A trailing break makes no empty last line.
LineList splitIntoLines(std::string_view text);

// splitIntoLines, recording in `breaks` the break that followed each line.
LineList splitKeepingBreaks(std::string_view text, BreakList& breaks);

// The bytes of a break ("" for None).
std::string_view breakBytes(LineBreak lineBreak);

// The lines joined by their own breaks (`breaks` has one entry per line).
std::string joinWithBreaks(const LineList& lines, const BreakList& breaks);

// True when the last byte of `bytes` is CR or LF (false for an empty text).
bool endsWithLineBreak(std::string_view bytes);

// The lines joined by `separator`; the last line gets one too only when `finalBreak`.
std::string joinLines(const LineList& lines, LineSeparator separator, bool finalBreak);

// joinLines(splitIntoLines(text), ...) without a list of lines: every break of `text`
// (CR LF, LF or a lone CR) becomes `separator`, and the last line ends with one only when
// `finalBreak`.
std::string withBreaks(std::string_view text, std::string_view separator, bool finalBreak);
// The size of `text` once its one-byte breaks (LF or a lone CR) are made two bytes long.
std::size_t sizeWithLongBreaks(std::string_view text);

// The same change made to `text` itself, so that no second copy is needed (unless a
// two-byte separator takes the place of one-byte breaks).
void convertBreaks(std::string& text, std::string_view separator, bool finalBreak);

}  // namespace kestrix::modify
