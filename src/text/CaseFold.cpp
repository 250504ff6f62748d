// Simple case folding from a table generated at build time out of CaseFolding.txt.
#include "text/CaseFold.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>

#include "text/Utf8.h"

namespace kestrix::text {
namespace {

struct FoldPair {
  char32_t from;
  char32_t to;
};

constexpr FoldPair kPairs[] = {
#include "CaseFoldPairs.inc"
};

// Folding by pages of 256 code points; pages without any folding stay null.
class FoldTable {
 public:
  FoldTable() {
    for (const FoldPair& pair : kPairs) {
      auto& page = pages_[pair.from >> 8];
      if (!page) {
        page = std::make_unique<std::array<char32_t, 256>>();
        for (char32_t k = 0; k < 256; ++k) (*page)[k] = (pair.from & ~char32_t{0xFF}) | k;
      }
      (*page)[pair.from & 0xFF] = pair.to;
      if (pair.from >= 0x80 && pair.to < 0x80) asciiTargets_[pair.to] = true;
      variants_[pair.to].push_back(pair.from);
    }
    for (auto& [to, from] : variants_) {
      std::sort(from.begin(), from.end());
      from.insert(from.begin(), to);
    }
  }

  char32_t fold(char32_t c) const {
    if (c >= kInvalidByteBase) return c;
    const auto& page = pages_[c >> 8];
    return page ? (*page)[c & 0xFF] : c;
  }
  bool asciiTarget(unsigned char c) const { return asciiTargets_[c]; }
  const std::vector<char32_t>* variants(char32_t folded) const {
    auto it = variants_.find(folded);
    return it == variants_.end() ? nullptr : &it->second;
  }

 private:
  std::array<std::unique_ptr<std::array<char32_t, 256>>, 0x1100> pages_;
  std::array<bool, 128> asciiTargets_{};
  std::map<char32_t, std::vector<char32_t>> variants_;
};

const FoldTable& table() {
  static const FoldTable t;
  return t;
}

char asciiFold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

}  // namespace

char32_t simpleFold(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  return table().fold(c);
}

const std::vector<char32_t>& caseVariants(char32_t c) {
  const char32_t folded = simpleFold(c);
  if (const auto* v = table().variants(folded)) return *v;
  thread_local std::vector<char32_t> alone;
  alone.assign(1, folded);
  return alone;
}

std::string foldCase(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    const char c = s[pos];
    if (static_cast<unsigned char>(c) < 0x80) {
      out.push_back(asciiFold(c));
      ++pos;
      continue;
    }
    const DecodedChar d = decodeUtf8(s, pos);
    appendUtf8(out, simpleFold(d.value));
    pos += static_cast<std::size_t>(d.length);
  }
  return out;
}

bool needsUnicodeFold(std::string_view s) {
  for (char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80 || table().asciiTarget(static_cast<unsigned char>(asciiFold(c)))) return true;
  }
  return false;
}

std::size_t matchFolded(std::string_view raw, std::string_view folded) {
  std::size_t r = 0, f = 0;
  while (f < folded.size()) {
    if (r >= raw.size()) return std::string_view::npos;
    const char c = raw[r];
    if (static_cast<unsigned char>(c) < 0x80) {
      if (asciiFold(c) != folded[f]) return std::string_view::npos;
      ++r, ++f;
      continue;
    }
    const DecodedChar d = decodeUtf8(raw, r);
    char encoded[4];
    const auto length = static_cast<std::size_t>(encodeUtf8(simpleFold(d.value), encoded));
    if (folded.compare(f, length, std::string_view(encoded, length)) != 0) {
      return std::string_view::npos;
    }
    r += static_cast<std::size_t>(d.length);
    f += length;
  }
  return r;
}

}  // namespace kestrix::text
