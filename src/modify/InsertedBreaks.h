// Line breaks inside inserted text (a replacement or an insertion that spans lines) take the
// break of the file: the break of the line they land in under Keep Original, the chosen
// separator otherwise.
#pragma once

#include <string>
#include <string_view>

namespace kestrix::modify {

// The break of the line of `bytes` that holds offset `pos`: the break that ends it, or for a
// last line without one the break before it; LF in a text without breaks.
std::string_view lineBreakAt(std::string_view bytes, std::size_t pos);

// True when `text` holds a CR or an LF.
bool holdsLineBreak(std::string_view text);

// `text` with every break (CR LF, LF or a lone CR) made `lineBreak`.
std::string withInsertedBreaks(std::string_view text, std::string_view lineBreak);

}  // namespace kestrix::modify
