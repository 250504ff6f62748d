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
  // Writes the UTF-8 text of `bytes` to `out` (room for 4 bytes per byte), as decoding
  // the whole file would; returns its length.
  std::size_t decode(std::string_view bytes, char* out) const;

 private:
  struct Char {
    char bytes[4];
    std::uint8_t size;
  };
  std::array<Char, 256> chars_{};
};

// Reads the decoded text by offset for readers that go forward from where they last read
// (a read before that starts over from the file's start). One stream serves file after file
// (restart), keeping its buffers.
class LegacyStream {
 public:
  // `raw` reads the file's bytes; `table` must outlive the stream.
  LegacyStream(ReadAt raw, const LegacyTable& table) : raw_(std::move(raw)), table_(table) {}
  std::size_t read(std::uint64_t offset, char* out, std::size_t size);
  // Reads the file of `raw` from its start from now on.
  void restart(ReadAt raw);

 private:
  ReadAt raw_;
  const LegacyTable& table_;
  // Raw bytes decoded at a time: the decoded piece stays in the cache while it is read.
  static constexpr std::size_t kPiece = std::size_t{128} << 10;
  std::unique_ptr<char[]> piece_;  // raw bytes just read
  std::unique_ptr<char[]> text_;   // their decoded text, from textStart_
  std::size_t textSize_ = 0;
  std::uint64_t textStart_ = 0;  // the offset of text_[0] in the decoded text
  std::uint64_t rawNext_ = 0;    // the next raw byte to read
};

}  // namespace kestrix::search
