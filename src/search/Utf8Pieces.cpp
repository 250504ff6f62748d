// The UTF-8 check of a file read in pieces. Text that is mostly ASCII passes 128 bytes at a
// time, two-byte characters (most letters outside ASCII) are checked inline; the bytes around an
// edge are read again only when a character crosses that edge.
#include "search/Utf8Pieces.h"

#include <algorithm>
#include <cstring>

#include "search/Avx2.h"
#include "text/Utf8.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kestrix::search {
namespace {

bool isContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The length of the character a byte begins: 1 for ASCII, 2..4, or 0 for a byte that
// begins none.
std::size_t leadLength(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b < 0x80) return 1;
  if (b < 0xC2 || b > 0xF4) return 0;
  return b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
}

#if defined(__x86_64__)
// One bit per byte of the 64 at `p`: set where the byte is 0x80 or more.
__attribute__((target("avx2"))) inline std::uint64_t highBits(const char* p) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
  return static_cast<unsigned>(_mm256_movemask_epi8(a)) |
         std::uint64_t{static_cast<unsigned>(_mm256_movemask_epi8(b))} << 32;
}

// firstNonAscii 128 bytes at a time; stops with fewer than 128 bytes left.
__attribute__((target("avx2"))) std::size_t firstNonAsciiAvx2(std::string_view s,
                                                              std::size_t from) {
  std::size_t i = from;
  for (; i + 128 <= s.size(); i += 128) {
    const char* p = s.data() + i;
    const __m256i any = _mm256_or_si256(
        _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32))),
        _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 64)),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 96))));
    if (_mm256_movemask_epi8(any) == 0) continue;
    if (const std::uint64_t high = highBits(p)) {
      return i + static_cast<std::size_t>(__builtin_ctzll(high));
    }
    return i + 64 + static_cast<std::size_t>(__builtin_ctzll(highBits(p + 64)));
  }
  return i;
}
#endif

// The position of the first byte of 0x80 or more at or after `from`, or s.size().
std::size_t firstNonAscii(std::string_view s, std::size_t from) {
  std::size_t i = from;
#if defined(__x86_64__)
  if (hasAvx2()) i = firstNonAsciiAvx2(s, from);
#endif
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  return i;
}

// True when the character that begins at piece[at] (with fewer bytes left in the piece
// than it needs) is whole and well formed with the bytes that follow the piece.
bool validAcrossEnd(std::string_view piece, std::size_t at, std::uint64_t offset,
                    const ReadAt& read) {
  const std::size_t want = leadLength(piece[at]);
  const std::size_t have = piece.size() - at;
  char joined[4];
  std::memcpy(joined, piece.data() + at, have);
  const std::size_t more = read(offset + piece.size(), joined + have, want - have);
  const std::string_view character(joined, have + more);
  return more == want - have && text::validSequenceLength(character, 0) == static_cast<int>(want);
}

// Where the piece's own characters begin: past the continuation bytes that end a character
// begun before the piece (checked whole with the bytes before it, and after it when it
// also runs past the piece's end). npos when those bytes are not such an ending.
std::size_t firstStart(std::string_view piece, std::uint64_t offset, const ReadAt& read) {
  std::size_t cont = 0;
  while (cont < piece.size() && cont < 4 && isContinuation(piece[cont])) ++cont;
  if (cont == 0) return 0;
  if (cont > 3) return std::string_view::npos;
  // The lead byte must be among the 4 - cont bytes before the piece.
  const std::size_t back = std::min<std::uint64_t>(offset, 4 - cont);
  char joined[8];
  if (back == 0 || read(offset - back, joined, back) != back) return std::string_view::npos;
  std::size_t lead = back;
  while (lead > 0 && isContinuation(joined[lead - 1])) --lead;
  if (lead == 0) return std::string_view::npos;
  --lead;
  const std::size_t want = leadLength(joined[lead]);
  const std::size_t have = back - lead + cont;
  if (want == 0 || want < have || (want > have && cont < piece.size())) {
    return std::string_view::npos;
  }
  std::memcpy(joined + back, piece.data(), cont);
  const std::size_t more = want - have;
  if (more > 0 && read(offset + piece.size(), joined + back + cont, more) != more) {
    return std::string_view::npos;
  }
  const std::string_view character(joined + lead, want);
  return text::validSequenceLength(character, 0) == static_cast<int>(want) ? cont
                                                                           : std::string_view::npos;
}

}  // namespace

bool pieceMayBeUtf8(std::string_view piece, std::uint64_t offset, bool atEnd, const ReadAt& read) {
  std::size_t i = offset > 0 ? firstStart(piece, offset, read) : 0;
  // A byte that is not valid ends the check where a NUL before it already ended the text.
  const auto endedBefore = [&](std::size_t at) {
    return std::memchr(piece.data(), 0, at) != nullptr;
  };
  if (i == std::string_view::npos) return false;
  while (i < piece.size()) {
    i = firstNonAscii(piece, i);
    if (i >= piece.size()) break;
    const auto lead = static_cast<unsigned char>(piece[i]);
    if (lead >= 0xC2 && lead < 0xE0 && i + 1 < piece.size() && isContinuation(piece[i + 1])) {
      i += 2;
      continue;
    }
    const int len = text::validSequenceLength(piece, i);
    if (len > 0) {
      i += static_cast<std::size_t>(len);
      continue;
    }
    const std::size_t want = leadLength(piece[i]);
    if (want > piece.size() - i && !atEnd && validAcrossEnd(piece, i, offset, read)) return true;
    return endedBefore(i);
  }
  return true;
}

}  // namespace kestrix::search
