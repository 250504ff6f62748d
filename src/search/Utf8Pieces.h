// Internal: whether a file read piece by piece, in any order and by several threads, is
// well-formed UTF-8 up to its first NUL byte, judged one piece at a time without holding
// the file whole.
#pragma once

#include <cstdint>
#include <string_view>

#include "search/TermScan.h"

namespace kestrix::search {

// False when the piece `piece`, read at `offset` of a file, shows that the file's text (its
// bytes up to the first NUL) is not well-formed UTF-8. A character cut by either edge of the
// piece is checked whole, reading the few bytes beyond that edge through `read` (which
// reads the file without checking). `atEnd`: the file ends with the piece. Every piece of
// a file taken together gives exactly the verdict of the whole text; a byte that is not
// valid past a NUL in another piece may still make a piece false.
bool pieceMayBeUtf8(std::string_view piece, std::uint64_t offset, bool atEnd, const ReadAt& read);

}  // namespace kestrix::search
