// A file read from its start in pieces of whole lines, for the streamed rewrite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "modify/ContentHash.h"

namespace kestrix::modify {

// Where a piece of `bytes` (read from a file whose end is further on) may end: after the
// break of its last line but one, so that the piece holds whole lines with their breaks
// (a CR at the very end may be the first half of a CR LF and does not count) and the last
// piece of the file always starts with a whole line and its break. 0 when `bytes` holds
// fewer than two whole lines.
std::size_t pieceEnd(std::string_view bytes);

class LinePieces {
 public:
  // Reads `fd` with pread from offset 0 (its own offset is left alone); every byte read
  // also goes to `hasher`, once. `fullName` names the file in messages. The reader and the
  // hasher must outlive the pieces.
  LinePieces(int fd, std::size_t pieceBytes, std::string fullName, ContentHasher& hasher);

  // The next piece: at least `pieceBytes` bytes of whole lines (more when a line is longer,
  // and at least a line more than was given back), or the rest of the file when it ends
  // there (then last() is true). The view is valid
  // until the next call. Throws platform::PlatformError when the file cannot be read.
  std::string_view next();
  bool last() const { return last_; }

  // The last `bytes` bytes of the piece just returned come again at the front of the next.
  void giveBack(std::size_t bytes) {
    pieceEnd_ -= bytes;
    givenBack_ = bytes;
  }

 private:
  void fill(std::size_t want);

  int fd_;
  std::size_t pieceBytes_;
  std::string fullName_;
  ContentHasher& hasher_;
  std::string buffer_;
  std::size_t begin_ = 0;  // the unconsumed bytes are buffer_[begin_, end_)
  std::size_t end_ = 0;
  std::size_t pieceEnd_ = 0;   // where the piece returned last ends in buffer_
  std::size_t givenBack_ = 0;  // the bytes given back, at the front of the next piece
  std::int64_t offset_ = 0;    // of the file, read so far
  bool endOfFile_ = false;
  bool last_ = false;
};

}  // namespace kestrix::modify
