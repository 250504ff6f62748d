// Large files rewritten piece by piece: the file is read in pieces of whole lines, each
// piece goes through the engine of the search type, and the new bytes go on to the writer,
// so that the memory stays bounded whatever the file's size: a few pieces, or a few of its
// longest lines when they are longer than a piece (such a line is read whole).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "modify/ContentHash.h"
#include "modify/Interval.h"
#include "modify/ModifyRequest.h"
#include "modify/StopPoll.h"

namespace kestrix::modify {

// Files from this size on are streamed by the modify pass; smaller ones are rewritten whole.
inline constexpr std::int64_t kStreamFromBytes = std::int64_t{8} << 20;
// The size of the pieces read.
inline constexpr std::size_t kStreamPieceBytes = std::size_t{4} << 20;

// True when a file that starts with `head` can be rewritten piece by piece for `request`:
// Phrase, Multiline, and Reg Expr line by line, or over the whole text when its matches
// cannot span more than kLongestStreamedMatch bytes; a file in UTF-8, with or
// without its byte-order mark (a UTF-16 file, or one the request must decode from a legacy
// code page, is rewritten whole).
bool streamable(const ModifyRequest& request, std::string_view head);

// A file's content turned out to need the whole-file rewrite after all (a request that is
// not ASCII over a file that is not UTF-8): nothing was kept of the streamed work.
struct NotStreamable {};

struct StreamedRewrite {
  ContentStamp before;  // the bytes read
  ContentStamp after;   // the bytes written
  bool changed() const { return before != after; }
};

// Where the new bytes go, piece after piece.
using ByteSink = std::function<void(std::string_view bytes)>;

// Reads the regular file `fd` from its start to its end in pieces of about `pieceBytes`,
// and writes to `out` the bytes rewriteFileBytes would make of the whole (the file itself
// when nothing changes). Throws what rewriteFileBytes throws (FileFailure,
// RegexFileFailure, StopRequested), NotStreamable, platform::PlatformError when the file
// cannot be read, and what `out` throws.
StreamedRewrite streamRewrite(const ModifyRequest& request, int fd, const std::string& fullName,
                              const std::optional<Interval>& interval, StopPoll& poll,
                              const ByteSink& out, std::size_t pieceBytes = kStreamPieceBytes);

}  // namespace kestrix::modify
