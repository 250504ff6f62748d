// Reading a file in pieces that end after a line break.
#include "modify/LinePieces.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Platform.h"

namespace kestrix::modify {
namespace {

// The end of the last whole break in bytes[0, limit), 0 when there is none. A CR just
// before `limit` counts only when `crWhole` (else an LF may follow it unread).
std::size_t lastBreakEnd(std::string_view bytes, std::size_t limit, bool crWhole) {
  for (std::size_t i = limit; i > 0; --i) {
    const char c = bytes[i - 1];
    if (c == '\n') return i;
    if (c == '\r' && (i < limit || crWhole)) return i;
  }
  return 0;
}

}  // namespace

std::size_t pieceEnd(std::string_view bytes) {
  const std::size_t last = lastBreakEnd(bytes, bytes.size(), false);
  if (last == 0) return 0;
  const bool pair = bytes[last - 1] == '\n' && last >= 2 && bytes[last - 2] == '\r';
  return lastBreakEnd(bytes, last - (pair ? 2 : 1), true);
}

LinePieces::LinePieces(int fd, std::size_t pieceBytes, std::string fullName, ContentHasher& hasher)
    : fd_(fd), pieceBytes_(pieceBytes), fullName_(std::move(fullName)), hasher_(hasher) {}

std::string_view LinePieces::next() {
  begin_ = pieceEnd_;
  for (std::size_t want = pieceBytes_;; want = 2 * (end_ - begin_) + 1) {
    fill(want);
    const std::string_view rest(buffer_.data() + begin_, end_ - begin_);
    if (endOfFile_) {
      last_ = true;
      pieceEnd_ = end_;
      return rest;
    }
    // A piece brings at least one line more than the bytes given back.
    if (const std::size_t cut = pieceEnd(rest); cut > givenBack_) {
      givenBack_ = 0;
      pieceEnd_ = begin_ + cut;
      return rest.substr(0, cut);
    }
  }
}

// Reads until `want` unconsumed bytes are buffered or the file ends.
void LinePieces::fill(std::size_t want) {
  if (end_ - begin_ >= want || endOfFile_) return;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    pieceEnd_ -= begin_;
    begin_ = 0;
  }
  if (buffer_.size() < want) buffer_.resize(want);
  while (end_ < want) {
    const ssize_t got = ::pread(fd_, buffer_.data() + end_, want - end_, offset_);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      throw platform::PlatformError("Cannot read " + fullName_ + ": " + std::strerror(errno),
                                    errno);
    }
    if (got == 0) {
      endOfFile_ = true;
      return;
    }
    hasher_.add(std::string_view(buffer_.data() + end_, static_cast<std::size_t>(got)));
    end_ += static_cast<std::size_t>(got);
    offset_ += got;
  }
}

}  // namespace kestrix::modify
