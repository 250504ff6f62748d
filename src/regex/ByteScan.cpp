// Byte scans: memchr for one byte, and the two-byte scan whose state outlives a call.
#include "regex/ByteScan.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kestrix::regex {

int commonness(unsigned char c) {
  static constexpr std::string_view kByFrequency = " etaoinsrhldcumfpgwybvkxjqz";
  if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
  size_t at = kByFrequency.find(static_cast<char>(c));
  if (at != std::string_view::npos) return static_cast<int>(at);
  if (c == '\n' || c == '\t' || c == '\r') return 1;
  if (c >= '0' && c <= '9') return 12;
  return 20;
}

const char* findByte(const char* from, const char* end, char c) {
  const void* hit = std::memchr(from, c, static_cast<size_t>(end - from));
  return hit ? static_cast<const char*>(hit) : end;
}

#if defined(__x86_64__)
namespace {

// Thirty-two positions at a time where the processor has AVX2; the rest as below. True
// with `p` at the first position found, false with `p` where fewer than 32 remain.
__attribute__((target("avx2"))) bool findPairWide(const char*& p, const char* limit, int o1,
                                                  char c1, int o2, char c2) {
  const __m256i v1 = _mm256_set1_epi8(c1);
  const __m256i v2 = _mm256_set1_epi8(c2);
  for (; limit - p >= 32; p += 32) {
    const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + o1));
    const __m256i b2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + o2));
    const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(
        _mm256_and_si256(_mm256_cmpeq_epi8(b1, v1), _mm256_cmpeq_epi8(b2, v2))));
    if (mask != 0) {
      p += __builtin_ctz(mask);
      return true;
    }
  }
  return false;
}

const bool kWide = [] {
  __builtin_cpu_init();  // runs before the constructors that would otherwise do it
  return __builtin_cpu_supports("avx2") != 0;
}();

}  // namespace
#endif

// Sixteen positions at a time: both bytes compared at their offsets, so that a common byte
// alone does not stop the scan at each of its occurrences.
const char* findPair(const char* from, const char* limit, int o1, char c1, int o2, char c2) {
  const char* p = from;
#if defined(__x86_64__)
  if (kWide && findPairWide(p, limit, o1, c1, o2, c2)) return p;
  const __m128i v1 = _mm_set1_epi8(c1);
  const __m128i v2 = _mm_set1_epi8(c2);
  for (; limit - p >= 16; p += 16) {
    const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + o1));
    const __m128i b2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + o2));
    const int mask =
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(b1, v1), _mm_cmpeq_epi8(b2, v2)));
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  for (; p < limit; ++p) {
    if (p[o1] == c1 && p[o2] == c2) return p;
  }
  return limit;
}

// The first occurrence of either byte at or after `at`. Each byte's next occurrence is kept
// until the scan passes it, also from one find to the next: a byte that never occurs is
// searched for once per subject, not once per call.
const char* TwoByteScan::next(const char* at, const char* end, char a, char b) {
  if (at < from_ || a != a_ || b != b_ || end != end_) {
    a_ = a;
    b_ = b;
    end_ = end;
    nextA_ = nextB_ = nullptr;
  }
  from_ = at;
  if (!nextA_ || nextA_ < at) nextA_ = findByte(at, end, a);
  if (!nextB_ || nextB_ < at) nextB_ = a == b ? end : findByte(at, end, b);
  return std::min(nextA_, nextB_);
}

TextScan::TextScan(std::string text) : text_(std::move(text)) {
  auto rarity = [&](int i) { return commonness(static_cast<unsigned char>(text_[i])); };
  const int len = static_cast<int>(text_.size());
  for (int i = 1; i < len; ++i) {
    if (rarity(i) > rarity(key_)) key_ = i;
  }
  key2_ = key_;
  for (int i = 0; i < len; ++i) {
    if (i != key_ && (key2_ == key_ || rarity(i) > rarity(key2_))) key2_ = i;
  }
}

const char* TextScan::find(const char* from, const char* end) const {
  const auto len = static_cast<std::ptrdiff_t>(text_.size());
  if (len == 0 || end - from < len) return nullptr;
  // Starts of an occurrence that fits lie in [from, limit).
  const char* limit = end - (len - 1);
  for (const char* at = from; at < limit; ++at) {
    at = len == 1 ? findByte(at, limit, text_[0])
                  : findPair(at, limit, key_, text_[key_], key2_, text_[key2_]);
    if (at == limit) return nullptr;
    // Candidates are frequent: compare in line rather than call memcmp.
    std::ptrdiff_t i = 0;
    while (i < len && at[i] == text_[i]) ++i;
    if (i == len) return at;
  }
  return nullptr;
}

}  // namespace kestrix::regex
