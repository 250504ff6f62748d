// Byte-by-byte decoding of legacy code pages, checked against the converter's decoding of
// a whole text once per table.
#include "search/LegacyText.h"

#include <cstring>

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
bool hasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

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

std::size_t LegacyTable::decode(std::string_view bytes, char* out) const {
  char* to = out;
  for (std::size_t i = 0; i < bytes.size();) {
    // Runs of ASCII are copied as they are.
    const std::size_t ascii = copyAscii(bytes.substr(i), to);
    to += ascii;
    i += ascii;
    if (i >= bytes.size()) break;
    const Char& c = chars_[static_cast<unsigned char>(bytes[i++])];
    std::memcpy(to, c.bytes, 4);
    to += c.size;
  }
  return static_cast<std::size_t>(to - out);
}

void LegacyStream::restart(ReadAt raw) {
  raw_ = std::move(raw);
  textSize_ = 0;
  textStart_ = 0;
  rawNext_ = 0;
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
