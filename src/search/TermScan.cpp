// The one-pass term scan. A window of the file is read into a buffer that stays in the cache;
// a vector loop then compares the two anchor bytes of up to four terms and tests for a NUL
// byte, 64 positions per step, so each byte is loaded once whatever the number of terms.
// Candidates are verified in full and each term keeps its own chain of non-overlapping
// occurrences (the chains are independent, so the order across terms does not matter).
// Terms never hold a break and breaks are never word characters, so scanning the text as a
// whole gives the hits a line-by-line scan gives.
#include "search/TermScan.h"

#include <algorithm>
#include <cstring>

#include "search/Avx2.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kestrix::search {
namespace {

constexpr std::size_t kGroupSize = 4;
constexpr std::size_t kStep = 64;
constexpr std::size_t npos = std::string_view::npos;
// Bytes of context the whole-word test sees on each side of an occurrence: one character,
// which in UTF-8 takes up to four.
constexpr std::size_t kContext = 4;

bool holdsBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool twoForms(const LiteralFinder& f) {
  return f.forms1()[0] != f.forms1()[1] || f.forms2()[0] != f.forms2()[1];
}

// The starts a window may try for a term of `len` bytes: before `startLimit`, and so that
// the occurrence ends at or before `textEnd`.
std::size_t startsBefore(std::size_t textEnd, std::size_t startLimit, std::size_t len) {
  return std::min(startLimit, textEnd + 1 >= len ? textEnd + 1 - len : 0);
}

#if defined(__x86_64__)
// The anchors of one term: offsets and raw forms.
struct Anchor {
  unsigned char f1a, f1b, f2a, f2b;
  std::size_t o1, o2;
};

// The anchors of one term as vectors.
struct Lanes {
  __m256i f1a, f1b, f2a, f2b;
  std::size_t o1, o2;
};

template <bool kTwo>
__attribute__((target("avx2"))) inline __m256i candidateMask(const char* p, const Lanes& l) {
  const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + l.o1));
  const __m256i b2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + l.o2));
  __m256i m1 = _mm256_cmpeq_epi8(b1, l.f1a);
  __m256i m2 = _mm256_cmpeq_epi8(b2, l.f2a);
  if constexpr (kTwo) {
    m1 = _mm256_or_si256(m1, _mm256_cmpeq_epi8(b1, l.f1b));
    m2 = _mm256_or_si256(m2, _mm256_cmpeq_epi8(b2, l.f2b));
  }
  return _mm256_and_si256(m1, m2);
}

__attribute__((target("avx2"))) inline std::uint64_t bitsOf(__m256i lo, __m256i hi) {
  return static_cast<unsigned>(_mm256_movemask_epi8(lo)) |
         (std::uint64_t{static_cast<unsigned>(_mm256_movemask_epi8(hi))} << 32);
}

// Runs the vector loop over the starts [pos, stop) (stop - pos a multiple of kStep, every
// byte the loop loads inside the buffer). `take(k, p)` handles a candidate of the group's
// k-th term at p and returns false to end the scan. With kNul, a block holding a NUL byte
// ends the loop before its candidates are taken and sets `nulAt`. Returns where it stopped.
// The masks are combined as vectors so that a block without candidates costs one test.
template <std::size_t K, bool kTwo, bool kNul, class Take>
__attribute__((target("avx2"))) std::size_t vectorLoop(const char* data, std::size_t pos,
                                                       std::size_t stop, const Anchor* anchors,
                                                       std::size_t& nulAt, Take take) {
  Lanes l[K];
  for (std::size_t k = 0; k < K; ++k) {
    const Anchor& a = anchors[k];
    l[k] = Lanes{_mm256_set1_epi8(static_cast<char>(a.f1a)),
                 _mm256_set1_epi8(static_cast<char>(a.f1b)),
                 _mm256_set1_epi8(static_cast<char>(a.f2a)),
                 _mm256_set1_epi8(static_cast<char>(a.f2b)),
                 a.o1,
                 a.o2};
  }
  const __m256i zero = _mm256_setzero_si256();
  for (; pos < stop; pos += kStep) {
    __m256i lo[K], hi[K];
    __m256i za = zero, zb = zero, any = zero;
    if constexpr (kNul) {
      za =
          _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + pos)), zero);
      zb = _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + pos + 32)),
                             zero);
      any = _mm256_or_si256(za, zb);
    }
    for (std::size_t k = 0; k < K; ++k) {
      lo[k] = candidateMask<kTwo>(data + pos, l[k]);
      hi[k] = candidateMask<kTwo>(data + pos + 32, l[k]);
      any = _mm256_or_si256(any, _mm256_or_si256(lo[k], hi[k]));
    }
    if (_mm256_testz_si256(any, any)) continue;
    if constexpr (kNul) {
      if (const std::uint64_t nul = bitsOf(za, zb)) {
        nulAt = pos + static_cast<std::size_t>(__builtin_ctzll(nul));
        return pos;
      }
    }
    for (std::size_t k = 0; k < K; ++k) {
      for (std::uint64_t bits = bitsOf(lo[k], hi[k]); bits; bits &= bits - 1) {
        if (!take(k, pos + static_cast<std::size_t>(__builtin_ctzll(bits)))) return pos;
      }
    }
  }
  return pos;
}

template <bool kTwo, bool kNul, class Take>
std::size_t dispatchLoop(std::size_t k, const char* data, std::size_t pos, std::size_t stop,
                         const Anchor* lanes, std::size_t& nulAt, Take take) {
  switch (k) {
    case 1:
      return vectorLoop<1, kTwo, kNul>(data, pos, stop, lanes, nulAt, take);
    case 2:
      return vectorLoop<2, kTwo, kNul>(data, pos, stop, lanes, nulAt, take);
    case 3:
      return vectorLoop<3, kTwo, kNul>(data, pos, stop, lanes, nulAt, take);
    default:
      return vectorLoop<4, kTwo, kNul>(data, pos, stop, lanes, nulAt, take);
  }
}
#endif

}  // namespace

// The buffer of one scan: buffer[0] is byte `base` of the file.
struct TermScan::Window {
  std::string& buffer;
  std::uint64_t base = 0;
  std::size_t size = 0;        // bytes in the buffer
  std::size_t textEnd = 0;     // occurrences end at or before this (the NUL lowers it)
  bool textEnds = false;       // the text ends at textEnd (end of file or NUL): no more bytes
  std::size_t startLimit = 0;  // occurrences start before this
  std::size_t lookEnd = 0;     // the whole-word test sees the bytes before this
  std::uint64_t checked = 0;   // the bytes before this are known to hold no NUL
};

TermScan::TermScan(const SearchRequest& request, std::size_t windowBytes) : request_(request) {
  const auto& terms = request.termTable.terms;
  for (const Term& term : terms) {
    finders_.emplace_back(term.text, request.caseSensitive);
    excluded_.push_back(term.sign == '-');
    scanned_.push_back(!term.text.empty() && !holdsBreakOrNul(term.text) &&
                       !finders_.back().neverMatches());
    maxTermLength_ = std::max(maxTermLength_, finders_.back().maxLength());
  }
  window_ = std::max({windowBytes, 4 * maxTermLength_, std::size_t{1}});
#if defined(__x86_64__)
  vector_ = hasAvx2();
#endif
  // Excluded terms first (they end the file), then required ones, then the others.
  std::vector<std::size_t> order;
  for (char sign : {'-', '+', '\0'}) {
    for (std::size_t i = 0; i < terms.size(); ++i) {
      if (terms[i].sign == sign && scanned_[i]) order.push_back(i);
    }
  }
  for (std::size_t i : order) {
    if (!vector_ || !finders_[i].anchored()) {
      scalar_.push_back(i);
    } else {
      if (groups_.empty() || groups_.back().size() == kGroupSize) groups_.emplace_back();
      groups_.back().push_back(i);
    }
  }
}

// Finds the rest of term `t`'s occurrences in the window one by one, from where its chain
// or the vector loop left it.
void TermScan::scanTail(Window& w, std::size_t t, RangeScan& out) const {
  const LiteralFinder& finder = finders_[t];
  const std::string_view view(w.buffer.data(), w.textEnd);
  const std::string_view look(w.buffer.data(), w.lookEnd);
  // Where more bytes may follow, a start whose longest occurrence could run past textEnd
  // waits for the next window; at the end of the text only the shortest has to fit (an
  // occurrence of a Unicode term may be shorter than its longest form).
  const std::size_t limit =
      startsBefore(w.textEnd, w.startLimit, w.textEnds ? finder.minLength() : finder.maxLength());
  std::size_t rel = static_cast<std::size_t>(out.next[t] - w.base);
  for (std::size_t pos = finder.find(view, rel); pos != npos && pos < limit;
       pos = finder.find(view, rel)) {
    const std::size_t len = finder.unicode() ? finder.matchLength(view, pos) : finder.term().size();
    if (!request_.wholeWords || isWholeWordAt(look, pos, len)) {
      ++out.hits[t];
      if (excluded_[t]) {
        out.rejectedAt = w.base + pos;
        return;
      }
      rel = pos + len;
    } else {
      rel = pos + 1;
    }
  }
  out.next[t] = w.base + std::max(rel, limit);
}

void TermScan::scanWindow(Window& w, RangeScan& out) const {
  const char* data = w.buffer.data();
  auto findNul = [&](std::size_t from, std::size_t to) {
    if (from >= to) return;
    if (const void* nul = std::memchr(data + from, 0, to - from)) {
      const auto at = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
      out.nul = w.base + at;
      w.textEnd = at;  // the text ends there: no look-ahead is needed past it
      w.textEnds = true;
      w.lookEnd = at;
    }
  };
  bool nulDone = false;
  auto finishNul = [&](std::size_t from) {
    if (!nulDone && !out.nul) findNul(std::max<std::size_t>(from, w.checked - w.base), w.size);
    nulDone = true;
    w.checked = w.base + w.size;
  };
#if defined(__x86_64__)
  for (const std::vector<std::size_t>& group : groups_) {
    Anchor lanes[kGroupSize];
    bool two = false;
    std::size_t first = w.size;
    for (std::size_t k = 0; k < group.size(); ++k) {
      const LiteralFinder& f = finders_[group[k]];
      lanes[k] = Anchor{f.forms1()[0], f.forms1()[1], f.forms2()[0],
                        f.forms2()[1], f.anchor1(),   f.anchor2()};
      two = two || twoForms(f);
      first = std::min(first, static_cast<std::size_t>(out.next[group[k]] - w.base));
    }
    if (!nulDone) findNul(static_cast<std::size_t>(w.checked - w.base), first);
    // Blocks whose every candidate lies inside the text and the range, and whose loads stay
    // inside the buffer.
    std::size_t stop = first;
    const std::size_t room =
        std::min(w.textEnd >= maxTermLength_ ? w.textEnd - maxTermLength_ : 0, w.startLimit);
    if (room > first) stop = first + (room - first) / kStep * kStep;
    const std::string_view look(data, w.lookEnd);
    const std::string_view view(data, w.textEnd);
    bool go = true;
    auto take = [&](std::size_t k, std::size_t p) {
      const std::size_t t = group[k];
      if (w.base + p < out.next[t]) return true;
      const LiteralFinder& f = finders_[t];
      std::size_t len = f.term().size();
      if (f.unicode()) {
        len = f.matchLength(view, p);
        if (len == npos) return true;
      } else if (!f.matchesAt(data + p)) {
        return true;
      }
      if (request_.wholeWords && !isWholeWordAt(look, p, len)) return true;
      ++out.hits[t];
      if (excluded_[t]) {
        out.rejectedAt = w.base + p;
        return go = false;
      }
      out.next[t] = w.base + p + len;
      return true;
    };
    std::size_t nulAt = npos;
    std::size_t end = first;
    if (!out.nul) {
      end =
          nulDone
              ? (two ? dispatchLoop<true, false>(group.size(), data, first, stop, lanes, nulAt,
                                                 take)
                     : dispatchLoop<false, false>(group.size(), data, first, stop, lanes, nulAt,
                                                  take))
              : (two ? dispatchLoop<true, true>(group.size(), data, first, stop, lanes, nulAt, take)
                     : dispatchLoop<false, true>(group.size(), data, first, stop, lanes, nulAt,
                                                 take));
    }
    if (!go) return;
    if (nulAt != npos) {
      out.nul = w.base + nulAt;
      w.textEnd = nulAt;
      w.textEnds = true;
      w.lookEnd = nulAt;
    }
    finishNul(end);
    for (std::size_t t : group) {
      out.next[t] = std::max(out.next[t], w.base + end);
      scanTail(w, t, out);
      if (out.rejectedAt) return;
    }
  }
#endif
  finishNul(0);
  for (std::size_t t : scalar_) {
    scanTail(w, t, out);
    if (out.rejectedAt) return;
  }
}

RangeScan TermScan::scan(const ReadAt& read, std::uint64_t begin, std::uint64_t end,
                         const std::vector<std::uint64_t>& from, std::string& buffer,
                         const std::function<bool()>& abandon) const {
  RangeScan out;
  out.hits.assign(finders_.size(), 0);
  out.next.resize(finders_.size());
  for (std::size_t i = 0; i < finders_.size(); ++i) {
    out.next[i] = std::max(i < from.size() ? from[i] : 0, begin);
  }
  if (groups_.empty() && scalar_.empty()) return out;  // no term can occur: nothing to read
  const std::size_t need = window_ + 2 * maxTermLength_ + 2 * kContext + 2 * kStep;
  if (buffer.size() < need) buffer.resize(need);
  const std::uint64_t readLimit =
      end >= kToEnd - maxTermLength_ - kContext ? kToEnd : end + maxTermLength_ + kContext;
  Window w{buffer};
  w.base = begin - std::min<std::uint64_t>(begin, kContext);
  w.checked = w.base;
  std::uint64_t filePos = w.base;
  for (;;) {
    if (abandon && abandon()) {
      out.abandoned = true;
      return out;
    }
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(window_, readLimit - filePos));
    const std::size_t got = want > 0 ? read(filePos, buffer.data() + w.size, want) : 0;
    filePos += got;
    w.size += got;
    const bool eof = got == 0;
    const bool last = eof || filePos >= readLimit;
    w.textEnd = eof ? w.size : w.size - std::min(w.size, kContext);  // a character of look-ahead
    w.textEnds = eof;
    w.lookEnd = w.size;
    w.startLimit = end == kToEnd ? w.size + 1 : static_cast<std::size_t>(end - w.base);
    scanWindow(w, out);
    if (out.rejectedAt || out.nul || last) return out;
    // Keep the bytes a chain may still start at, and a character before them for the
    // whole-word test.
    std::uint64_t keep = w.base + w.size;
    for (std::size_t t = 0; t < finders_.size(); ++t) {
      if (scanned_[t]) keep = std::min(keep, out.next[t]);
    }
    keep -= std::min<std::uint64_t>(keep - w.base, kContext);
    const auto drop = static_cast<std::size_t>(keep - w.base);
    std::memmove(buffer.data(), buffer.data() + drop, w.size - drop);
    w.base = keep;
    w.size -= drop;
  }
}

std::optional<std::vector<std::int64_t>> TermScan::evaluate(const RangeScan& scan) const {
  if (scan.rejectedAt) return std::nullopt;
  const auto& terms = request_.termTable.terms;
  bool any = false;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    if (terms[i].sign == '+' && scan.hits[i] == 0) return std::nullopt;
    any = any || scan.hits[i] > 0;
  }
  const bool allNegative =
      request_.queryType == QueryType::SearchEngine && request_.termTable.allNegative;
  if (!any && !allNegative) return std::nullopt;
  return scan.hits;
}

}  // namespace kestrix::search
