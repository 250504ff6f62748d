// Byte-by-byte decoding of legacy code pages, checked against the converter's decoding of
// a whole text once per table.
#include "search/LegacyText.h"

#include <cstring>

#include "text/Encoding.h"

namespace kestrix::search {

std::optional<LegacyTable> LegacyTable::of(std::string_view codePage) {
  LegacyTable table;
  std::string probe;   // every byte after an "a", which a composing page would join
  std::string joined;  // what decoding byte by byte gives for it
  try {
    for (int b = 0; b < 256; ++b) {
      const std::string one(1, static_cast<char>(b));
      const std::string text = text::decodeToUtf8(one, text::Encoding::Legacy, codePage);
      if (text.empty() || text.size() > 4) return std::nullopt;
      Char& c = table.chars_[static_cast<std::size_t>(b)];
      std::memcpy(c.bytes, text.data(), text.size());
      c.size = static_cast<std::uint8_t>(text.size());
      probe += 'a' + one;
      joined += 'a' + text;
    }
    if (text::decodeToUtf8(probe, text::Encoding::Legacy, codePage) != joined) return std::nullopt;
  } catch (const text::EncodingError&) {
    return std::nullopt;
  }
  return table;
}

std::size_t LegacyTable::decode(std::string_view bytes, char* out) const {
  char* to = out;
  for (std::size_t i = 0; i < bytes.size();) {
    // Runs of ASCII are copied 32 bytes at a time.
    if (i + 32 <= bytes.size()) {
      std::uint64_t w[4];
      std::memcpy(w, bytes.data() + i, sizeof w);
      if (((w[0] | w[1] | w[2] | w[3]) & 0x8080808080808080ull) == 0) {
        std::memcpy(to, w, sizeof w);
        to += sizeof w;
        i += sizeof w;
        continue;
      }
    }
    const Char& c = chars_[static_cast<unsigned char>(bytes[i++])];
    std::memcpy(to, c.bytes, 4);
    to += c.size;
  }
  return static_cast<std::size_t>(to - out);
}

std::size_t LegacyStream::read(std::uint64_t offset, char* out, std::size_t size) {
  if (!piece_) {
    piece_.reset(new char[kPiece]);
    text_.reset(new char[4 * kPiece]);
  }
  if (offset < textStart_) {
    textSize_ = 0;
    textStart_ = 0;
    rawNext_ = 0;
  }
  while (offset >= textStart_ + textSize_) {
    textStart_ += textSize_;
    textSize_ = 0;
    const std::size_t got = raw_(rawNext_, piece_.get(), kPiece);
    if (got == 0) return 0;
    rawNext_ += got;
    textSize_ = table_.decode({piece_.get(), got}, text_.get());
  }
  const auto from = static_cast<std::size_t>(offset - textStart_);
  const std::size_t n = std::min(size, textSize_ - from);
  std::memcpy(out, text_.get() + from, n);
  return n;
}

}  // namespace kestrix::search
