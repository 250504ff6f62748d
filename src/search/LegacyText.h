// Internal: a legacy file's text read as UTF-8 while it streams. Each piece of the file is
// decoded as it is read through a table of the code page's 256 bytes, so a big file in an
// 8-bit code page is never held whole.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "search/TermScan.h"

namespace kestrix::search {

// The UTF-8 form of every byte of a legacy code page.
class LegacyTable {
 public:
  // The table of `codePage`; nothing when the page cannot be used, or when its decoding is
  // not byte by byte (a page whose converter composes a letter with the mark after it).
  static std::optional<LegacyTable> of(std::string_view codePage);
  // What decode did: the bytes of the file it decoded and the bytes of text it wrote.
  struct Decoded {
    std::size_t used = 0;
    std::size_t written = 0;
  };
  // Writes the UTF-8 text of `bytes` to `out`, as decoding the whole file would, as far as
  // whole characters fit in `room` bytes.
  Decoded decode(std::string_view bytes, char* out, std::size_t room) const;
  // The UTF-8 form of one byte of the page: up to 4 bytes.
  std::string_view charOf(unsigned char byte) const {
    return {chars_[byte].bytes, chars_[byte].size};
  }

 private:
  struct Char {
    char bytes[4];
    std::uint8_t size;
  };
  std::array<Char, 256> chars_{};
};

// Reads the decoded text by offset for readers that go forward from where they last read,
// decoding straight into the reader's buffer (a read before that starts over from the
// file's start, a read past it decodes and drops what lies between). One stream serves file
// after file (restart), keeping its buffer.
class LegacyStream {
 public:
  // `raw` reads the file's bytes; `table` must outlive the stream.
  LegacyStream(ReadAt raw, const LegacyTable& table) : raw_(std::move(raw)), table_(table) {}
  std::size_t read(std::uint64_t offset, char* out, std::size_t size);
  // Reads the file of `raw` from its start from now on.
  void restart(ReadAt raw);

 private:
  std::size_t emit(char* out, std::size_t size);
  bool refill();

  ReadAt raw_;
  const LegacyTable& table_;
  // Raw bytes read at a time.
  static constexpr std::size_t kPiece = std::size_t{128} << 10;
  std::unique_ptr<char[]> piece_;  // raw bytes read and not yet decoded: [used_, size_)
  std::size_t used_ = 0, size_ = 0;
  std::uint64_t rawNext_ = 0;   // the next raw byte to read
  std::uint64_t textNext_ = 0;  // the offset in the decoded text of the next byte emitted
  char pending_[4] = {};        // the rest of a character a read had no room for
  std::size_t pendingSize_ = 0;
};

}  // namespace kestrix::search
