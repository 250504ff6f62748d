// Byte-by-byte decoding of legacy code pages, checked against the converter's decoding of
// a whole text once per table.
#include "search/LegacyText.h"

#include <cstring>

#include "search/Avx2.h"
#include "text/Encoding.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

namespace {

#if defined(__x86_64__)
// The ASCII bytes at the start of `bytes` (up to 32 at a time) copied to `out`; returns how
// many. Stops at the first byte of 0x80 or more, or when fewer than 32 bytes are left.
__attribute__((target("avx2"))) std::size_t copyAsciiAvx2(std::string_view bytes, char* out) {
  std::size_t i = 0;
  for (; i + 32 <= bytes.size(); i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes.data() + i));
    const auto high = static_cast<unsigned>(_mm256_movemask_epi8(v));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), v);
    if (high != 0) return i + static_cast<std::size_t>(__builtin_ctz(high));
  }
  return i;
}
#endif

// The portable form of copyAsciiAvx2, 32 bytes at a time.
std::size_t copyAscii(std::string_view bytes, char* out) {
#if defined(__x86_64__)
  if (hasAvx2()) return copyAsciiAvx2(bytes, out);
#endif
  std::size_t i = 0;
  for (; i + 32 <= bytes.size(); i += 32) {
    std::uint64_t w[4];
    std::memcpy(w, bytes.data() + i, sizeof w);
    if (((w[0] | w[1] | w[2] | w[3]) & 0x8080808080808080ull) != 0) break;
    std::memcpy(out + i, w, sizeof w);
  }
  return i;
}

}  // namespace

LegacyTable::Decoded LegacyTable::decode(std::string_view bytes, char* out,
                                         std::size_t room) const {
  std::size_t i = 0, n = 0;
  while (i < bytes.size()) {
    // Runs of ASCII are copied as they are.
    const std::size_t ascii = copyAscii(bytes.substr(i, room - n), out + n);
    n += ascii;
    i += ascii;
    if (i >= bytes.size()) break;
    const Char& c = chars_[static_cast<unsigned char>(bytes[i])];
    if (room - n >= 4) {
      std::memcpy(out + n, c.bytes, 4);
    } else if (room - n >= c.size) {
      std::memcpy(out + n, c.bytes, c.size);
    } else {
      break;
    }
    n += c.size;
    ++i;
  }
  return {i, n};
}

void LegacyStream::restart(ReadAt raw) {
  raw_ = std::move(raw);
  used_ = size_ = 0;
  rawNext_ = textNext_ = 0;
  pendingSize_ = 0;
}

// Reads the next piece of raw bytes; false at the end of the file.
bool LegacyStream::refill() {
  if (!piece_) piece_.reset(new char[kPiece]);
  used_ = 0;
  size_ = raw_(rawNext_, piece_.get(), kPiece);
  rawNext_ += size_;
  return size_ > 0;
}

// Writes up to `size` bytes of the decoded text from textNext_ on to `out`; returns how many
// (0 at the end of the text).
std::size_t LegacyStream::emit(char* out, std::size_t size) {
  std::size_t n = std::min(size, pendingSize_);
  std::memcpy(out, pending_, n);
  std::memmove(pending_, pending_ + n, pendingSize_ - n);
  pendingSize_ -= n;
  while (n < size) {
    if (used_ == size_ && !refill()) break;
    const LegacyTable::Decoded d =
        table_.decode({piece_.get() + used_, size_ - used_}, out + n, size - n);
    used_ += d.used;
    n += d.written;
    if (d.used == 0) {
      // The next character is longer than the room left: its first bytes end the read.
      const std::string_view c = table_.charOf(static_cast<unsigned char>(piece_[used_++]));
      const std::size_t fits = size - n;
      std::memcpy(out + n, c.data(), fits);
      pendingSize_ = c.size() - fits;
      std::memcpy(pending_, c.data() + fits, pendingSize_);
      n += fits;
    }
  }
  textNext_ += n;
  return n;
}

std::size_t LegacyStream::read(std::uint64_t offset, char* out, std::size_t size) {
  if (offset < textNext_) restart(std::move(raw_));
  char skipped[4096];
  while (textNext_ < offset) {
    const auto skip =
        static_cast<std::size_t>(std::min<std::uint64_t>(offset - textNext_, sizeof skipped));
    if (emit(skipped, skip) == 0) return 0;
  }
  return emit(out, size);
}

}  // namespace kestrix::search
