// The line breaks of a file being modified: the break after each line, and a text's
// breaks made the chosen separator under the final-break rule.
#pragma once

#include <string>
#include <string_view>

#include "modify/ModificationType.h"

namespace kestrix::modify {

// The break that followed a line in the file; only the last line can have none.
enum class LineBreak : unsigned char { None, Lf, Cr, CrLf };

// The bytes of a break ("" for None).
std::string_view breakBytes(LineBreak lineBreak);

// True when the last byte of `bytes` is CR or LF (false for an empty text).
bool endsWithLineBreak(std::string_view bytes);

// `text` with every break (CR LF, LF or a lone CR) made `separator`, the last line ending
// with one only when `finalBreak`.
std::string withBreaks(std::string_view text, std::string_view separator, bool finalBreak);
// The size of `text` once its one-byte breaks (LF or a lone CR) are made two bytes long.
std::size_t sizeWithLongBreaks(std::string_view text);

// The same change made to `text` itself, so that no second copy is needed (unless a
// two-byte separator takes the place of one-byte breaks).
void convertBreaks(std::string& text, std::string_view separator, bool finalBreak);

}  // namespace kestrix::modify
