// Literal search in raw bytes: two anchor bytes of the term are compared 32 (AVX2) or 16
// positions at a time (each in its one or two byte forms), and candidates are verified in full,
// folding the text on the fly when the search ignores case.
#include <algorithm>
#include <array>
#include <cstring>

#include "search/Avx2.h"
#include "search/Matchers.h"
#include "text/CaseFold.h"
#include "text/CharClass.h"
#include "text/Encoding.h"
#include "text/Utf8.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kestrix::search {
namespace {

// How common a byte is in text and source code; anchors prefer rare bytes.
const std::array<int, 256>& byteCommonness() {
  static const std::array<int, 256> table = [] {
    std::array<int, 256> t{};
    t.fill(2);
    const char* byRank = "etaoinsrhldcumfpgwybvkxjqz";
    for (int i = 0; byRank[i]; ++i) t[static_cast<unsigned char>(byRank[i])] = 60 - i;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = 12;
    for (int c = '0'; c <= '9'; ++c) t[c] = 15;
    for (unsigned char c : std::string_view(" \t\n\r")) t[c] = 80;
    for (unsigned char c : std::string_view("()_;,.=*/-\"'<>{}#:")) t[c] = 25;
    return t;
  }();
  return table;
}

// How common a byte is at an anchor of a term outside ASCII: ASCII bytes as in text, lead
// bytes as common as letters in text of their script, continuation bytes rare.
int unicodeAnchorScore(unsigned char b) {
  if (b < 0x80) return byteCommonness()[b];
  return b >= 0xC0 ? 40 : 2;
}

#if defined(__x86_64__)
// The candidate mask of the 32 positions at `p`: both anchors equal one of their forms
// (one compare each when the search is case-sensitive or the byte has no other case).
template <bool kTwoForms>
__attribute__((target("avx2"))) inline __m256i candidates32(const char* p, std::size_t o1,
                                                            std::size_t o2, __m256i f1a,
                                                            __m256i f1b, __m256i f2a, __m256i f2b) {
  const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + o1));
  const __m256i b2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + o2));
  __m256i m1 = _mm256_cmpeq_epi8(b1, f1a);
  __m256i m2 = _mm256_cmpeq_epi8(b2, f2a);
  if constexpr (kTwoForms) {
    m1 = _mm256_or_si256(m1, _mm256_cmpeq_epi8(b1, f1b));
    m2 = _mm256_or_si256(m2, _mm256_cmpeq_epi8(b2, f2b));
  }
  return _mm256_and_si256(m1, m2);
}

// 64 then 32 positions at a time where the processor has AVX2; returns the first verified
// candidate, or npos with `pos` at the first position not yet tried.
template <bool kTwoForms, class Verify>
__attribute__((target("avx2"))) std::size_t scanAvx2(const char* data, std::size_t n,
                                                     std::size_t& pos, std::size_t len,
                                                     std::size_t o1, std::size_t o2,
                                                     const unsigned char* f1,
                                                     const unsigned char* f2, Verify verify) {
  const __m256i f1a = _mm256_set1_epi8(static_cast<char>(f1[0]));
  const __m256i f1b = _mm256_set1_epi8(static_cast<char>(f1[1]));
  const __m256i f2a = _mm256_set1_epi8(static_cast<char>(f2[0]));
  const __m256i f2b = _mm256_set1_epi8(static_cast<char>(f2[1]));
  auto verifyMask = [&](unsigned mask, std::size_t base) {
    for (; mask; mask &= mask - 1) {
      const std::size_t cand = base + static_cast<std::size_t>(__builtin_ctz(mask));
      if (verify(cand)) return cand;
    }
    return std::string_view::npos;
  };
  for (; pos + len + 63 <= n; pos += 64) {
    const __m256i lo = candidates32<kTwoForms>(data + pos, o1, o2, f1a, f1b, f2a, f2b);
    const __m256i hi = candidates32<kTwoForms>(data + pos + 32, o1, o2, f1a, f1b, f2a, f2b);
    const __m256i any = _mm256_or_si256(lo, hi);
    if (_mm256_testz_si256(any, any)) continue;
    std::size_t hit = verifyMask(static_cast<unsigned>(_mm256_movemask_epi8(lo)), pos);
    if (hit == std::string_view::npos) {
      hit = verifyMask(static_cast<unsigned>(_mm256_movemask_epi8(hi)), pos + 32);
    }
    if (hit != std::string_view::npos) return hit;
  }
  for (; pos + len + 31 <= n; pos += 32) {
    const __m256i m = candidates32<kTwoForms>(data + pos, o1, o2, f1a, f1b, f2a, f2b);
    const std::size_t hit = verifyMask(static_cast<unsigned>(_mm256_movemask_epi8(m)), pos);
    if (hit != std::string_view::npos) return hit;
  }
  return std::string_view::npos;
}
#endif

}  // namespace

LiteralFinder::LiteralFinder(std::string term, bool caseSensitive, const text::CodePage& codePage)
    : term_(std::move(term)), caseSensitive_(caseSensitive), codePage_(&codePage) {
  minLength_ = maxLength_ = term_.size();
  if (!caseSensitive_ && codePage.id() == text::CodePageId::Utf8 && !text::isAscii(term_)) {
    unicode_ = true;
    term_ = text::foldCase(term_);
    chooseUnicodeAnchors();
    return;
  }
  // For each folded byte, how many raw bytes fold to it and the first two of them: one
  // walk over the table instead of one per term byte (finders are made per file).
  std::array<unsigned char, 256> foldedCount{};
  std::array<std::array<unsigned char, 2>, 256> firstForms{};
  if (!caseSensitive_) {
    for (int c = 0; c < 256; ++c) {
      const unsigned char u = codePage_->upper(static_cast<unsigned char>(c));
      if (foldedCount[u] < 2) firstForms[u][foldedCount[u]] = static_cast<unsigned char>(c);
      if (foldedCount[u] < 255) ++foldedCount[u];
    }
  }
  // The raw bytes that equal term byte k after folding (at most two kept).
  auto forms = [&](std::size_t k, unsigned char out[2]) {
    const unsigned char t = static_cast<unsigned char>(term_[k]);
    if (caseSensitive_) {
      out[0] = out[1] = t;
      return 1;
    }
    const int count = foldedCount[t];
    out[0] = firstForms[t][0];
    out[1] = count == 1 ? out[0] : firstForms[t][1];
    return count;
  };
  const auto& common = byteCommonness();
  long best1 = -1, best2 = -1;
  int score1 = 1 << 30, score2 = 1 << 30;
  for (std::size_t k = 0; k < term_.size(); ++k) {
    unsigned char f[2];
    int n = forms(k, f);
    if (n == 0) {  // no byte folds to this one: the term can never occur
      anchored_ = true;
      anchor1_ = anchor2_ = k;
      a1_[0] = a1_[1] = a2_[0] = a2_[1] = 0;
      neverMatches_ = true;
      return;
    }
    if (n > 2) continue;
    const int score = common[f[0]] + (f[1] != f[0] ? common[f[1]] : 0);
    if (score < score1) {
      best2 = best1, score2 = score1;
      best1 = static_cast<long>(k), score1 = score;
    } else if (score < score2) {
      best2 = static_cast<long>(k), score2 = score;
    }
  }
  if (best1 < 0) return;
  if (best2 < 0) best2 = best1;
  anchored_ = true;
  anchor1_ = static_cast<std::size_t>(best1);
  anchor2_ = static_cast<std::size_t>(best2);
  forms(anchor1_, a1_);
  forms(anchor2_, a2_);
}

// The anchors of a Unicode term lie in its leading characters whose case variants all have
// the folded character's length, so that their offsets from the start are fixed; an offset
// qualifies when the variants show at most two bytes there. Lead bytes are common in text
// of the same script, so continuation bytes are preferred; ASCII bytes score by how common
// they are (the letters of "größe" are far more common than the bytes of its "ö").
void LiteralFinder::chooseUnicodeAnchors() {
  minLength_ = maxLength_ = 0;
  bool fixed = true;
  int score1 = 1 << 30, score2 = 1 << 30;
  long best1 = -1, best2 = -1;
  unsigned char forms1[2] = {0, 0}, forms2[2] = {0, 0};
  for (std::size_t pos = 0; pos < term_.size();) {
    const text::DecodedChar d = text::decodeUtf8(term_, pos);
    std::size_t shortest = 4, longest = 1;
    std::vector<std::string> encodings;
    for (char32_t v : text::caseVariants(d.value)) {
      encodings.emplace_back();
      text::appendUtf8(encodings.back(), v);
      if (pos == 0) firstBytes_[static_cast<unsigned char>(encodings.back()[0])] = true;
      shortest = std::min(shortest, encodings.back().size());
      longest = std::max(longest, encodings.back().size());
    }
    minLength_ += shortest;
    maxLength_ += longest;
    fixed = fixed && shortest == longest && longest == static_cast<std::size_t>(d.length);
    for (std::size_t j = 0; fixed && j < static_cast<std::size_t>(d.length); ++j) {
      unsigned char forms[2] = {static_cast<unsigned char>(encodings[0][j]), 0};
      forms[1] = forms[0];
      int count = 1;
      for (const std::string& e : encodings) {
        const auto b = static_cast<unsigned char>(e[j]);
        if (b == forms[0] || b == forms[1]) continue;
        forms[1] = b;
        ++count;
      }
      if (count > 2) continue;
      const int score =
          unicodeAnchorScore(forms[0]) + (forms[1] != forms[0] ? unicodeAnchorScore(forms[1]) : 0);
      const auto offset = static_cast<long>(pos + j);
      if (score < score1) {
        best2 = best1, score2 = score1, forms2[0] = forms1[0], forms2[1] = forms1[1];
        best1 = offset, score1 = score, forms1[0] = forms[0], forms1[1] = forms[1];
      } else if (score < score2) {
        best2 = offset, score2 = score, forms2[0] = forms[0], forms2[1] = forms[1];
      }
    }
    pos += static_cast<std::size_t>(d.length);
  }
  if (best1 < 0) return;
  if (best2 < 0) best2 = best1, forms2[0] = forms1[0], forms2[1] = forms1[1];
  anchored_ = true;
  anchor1_ = static_cast<std::size_t>(best1);
  anchor2_ = static_cast<std::size_t>(best2);
  a1_[0] = forms1[0], a1_[1] = forms1[1], a2_[0] = forms2[0], a2_[1] = forms2[1];
}

std::size_t LiteralFinder::matchLength(std::string_view text, std::size_t pos) const {
  if (unicode_) return text::matchFolded(text.substr(pos), term_);
  if (text.size() - pos < term_.size() || !matchesAt(text.data() + pos)) {
    return std::string_view::npos;
  }
  return term_.size();
}

bool LiteralFinder::verifyAt(std::string_view text, std::size_t pos) const {
  return unicode_ ? text::matchFolded(text.substr(pos), term_) != std::string_view::npos
                  : matchesAt(text.data() + pos);
}

bool LiteralFinder::matchesAt(const char* p) const {
  if (caseSensitive_) return std::memcmp(p, term_.data(), term_.size()) == 0;
  const auto& upper = codePage_->upperTable();
  for (std::size_t k = 0; k < term_.size(); ++k) {
    if (upper[static_cast<unsigned char>(p[k])] != static_cast<unsigned char>(term_[k])) {
      return false;
    }
  }
  return true;
}

std::size_t LiteralFinder::find(std::string_view text, std::size_t from) const {
  const std::size_t len = minLength_;
  if (from > text.size()) return std::string_view::npos;
  if (term_.empty()) return from;
  if (neverMatches_ || text.size() - from < len) return std::string_view::npos;
  if (!anchored_) {  // every position is verified (bytes with many folded forms)
    for (std::size_t pos = from; pos + len <= text.size(); ++pos) {
      if (unicode_ && !firstBytes_[static_cast<unsigned char>(text[pos])]) continue;
      if (verifyAt(text, pos)) return pos;
    }
    return std::string_view::npos;
  }
  return scanAnchored(text, from);
}

std::size_t LiteralFinder::scanAnchored(std::string_view text, std::size_t from) const {
  const std::size_t len = minLength_;
  const std::size_t n = text.size();
  const char* data = text.data();
  std::size_t pos = from;
  if (len == 1 && a1_[0] == a1_[1] && !unicode_) {
    const void* hit = std::memchr(data + pos, a1_[0], n - pos);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data)
               : std::string_view::npos;
  }
#if defined(__x86_64__)
  if (hasAvx2()) {
    auto verify = [&](std::size_t cand) { return verifyAt(text, cand); };
    const bool twoForms = a1_[0] != a1_[1] || a2_[0] != a2_[1];
    const std::size_t hit =
        twoForms ? scanAvx2<true>(data, n, pos, len, anchor1_, anchor2_, a1_, a2_, verify)
                 : scanAvx2<false>(data, n, pos, len, anchor1_, anchor2_, a1_, a2_, verify);
    if (hit != std::string_view::npos) return hit;
  }
  const __m128i f1a = _mm_set1_epi8(static_cast<char>(a1_[0]));
  const __m128i f1b = _mm_set1_epi8(static_cast<char>(a1_[1]));
  const __m128i f2a = _mm_set1_epi8(static_cast<char>(a2_[0]));
  const __m128i f2b = _mm_set1_epi8(static_cast<char>(a2_[1]));
  for (; pos + len + 15 <= n; pos += 16) {
    const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + anchor1_));
    const __m128i b2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + anchor2_));
    const __m128i m1 = _mm_or_si128(_mm_cmpeq_epi8(b1, f1a), _mm_cmpeq_epi8(b1, f1b));
    const __m128i m2 = _mm_or_si128(_mm_cmpeq_epi8(b2, f2a), _mm_cmpeq_epi8(b2, f2b));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(m1, m2)));
    while (mask) {
      const std::size_t cand = pos + static_cast<std::size_t>(__builtin_ctz(mask));
      if (verifyAt(text, cand)) return cand;
      mask &= mask - 1;
    }
  }
#endif
  for (; pos + len <= n; ++pos) {
    const unsigned char c1 = static_cast<unsigned char>(data[pos + anchor1_]);
    if ((c1 == a1_[0] || c1 == a1_[1]) && verifyAt(text, pos)) return pos;
  }
  return std::string_view::npos;
}

namespace {

// In UTF-8 a byte of 0x80 or more belongs to a character that is decoded and classified.
bool wordCharBefore(std::string_view line, std::size_t pos, const text::CodePage& codePage) {
  if (pos == 0) return false;
  const auto b = static_cast<unsigned char>(line[pos - 1]);
  if (b < 0x80 || codePage.id() != text::CodePageId::Utf8) return codePage.isWordChar(b);
  return text::wordCharBefore(line, pos);
}

bool wordCharAt(std::string_view line, std::size_t pos, const text::CodePage& codePage) {
  if (pos >= line.size()) return false;
  const auto b = static_cast<unsigned char>(line[pos]);
  if (b < 0x80 || codePage.id() != text::CodePageId::Utf8) return codePage.isWordChar(b);
  return text::wordCharAt(line, pos);
}

}  // namespace

bool isWholeWordAt(std::string_view line, std::size_t pos, std::size_t len,
                   const text::CodePage& codePage) {
  return !wordCharBefore(line, pos, codePage) && !wordCharAt(line, pos + len, codePage);
}

std::size_t nextTermHit(std::string_view text, const LiteralFinder& finder, std::size_t from,
                        bool wholeWords, std::size_t& length, const text::CodePage& codePage) {
  for (;;) {
    const std::size_t pos = finder.find(text, from);
    if (pos == std::string_view::npos) return pos;
    length = finder.unicode() ? finder.matchLength(text, pos) : finder.term().size();
    if (!wholeWords || isWholeWordAt(text, pos, length, codePage)) return pos;
    from = pos + 1;
  }
}

}  // namespace kestrix::search
