// The wildcard dialect of file masks and the lists built from the masks field and the
// ignore lists.
#include "search/Masks.h"

#include "search/SearchError.h"

namespace kestrix::search {
namespace {

unsigned char asciiUpper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

std::string_view trimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return s.substr(b, e - b);
}

// Matches one bracketed set starting after "[" at pattern[p]; on success sets `matched`
// and moves p after "]". Returns false when the set is not closed.
bool matchSet(std::string_view pattern, std::size_t& p, unsigned char c, bool& matched) {
  bool negate = p < pattern.size() && pattern[p] == '!';
  if (negate) ++p;
  bool hit = false;
  bool first = true;
  const unsigned char uc = asciiUpper(c);
  while (p < pattern.size() && (pattern[p] != ']' || first)) {
    first = false;
    unsigned char lo = static_cast<unsigned char>(pattern[p]);
    unsigned char hi = lo;
    if (p + 2 < pattern.size() && pattern[p + 1] == '-' && pattern[p + 2] != ']') {
      hi = static_cast<unsigned char>(pattern[p + 2]);
      p += 2;
    }
    ++p;
    if ((c >= lo && c <= hi) || (uc >= asciiUpper(lo) && uc <= asciiUpper(hi))) hit = true;
  }
  if (p >= pattern.size()) return false;
  ++p;  // the "]"
  matched = hit != negate;
  return true;
}

}  // namespace

bool maskIsParsable(std::string_view pattern) {
  std::size_t p = 0;
  while (p < pattern.size()) {
    bool matched = false;
    if (pattern[p++] == '[' && !matchSet(pattern, p, 0, matched)) return false;
  }
  return true;
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
  // Iterative matcher with one backtrack point for the last "*" (no recursion).
  std::size_t p = 0, n = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = ++p;
      starN = n;
      continue;
    }
    if (p < pattern.size()) {
      const unsigned char c = static_cast<unsigned char>(name[n]);
      std::size_t next = p + 1;
      bool ok = false;
      if (pattern[p] == '?') {
        ok = true;
      } else if (pattern[p] == '[') {
        if (!matchSet(pattern, next, c, ok)) return false;
      } else {
        ok = asciiUpper(static_cast<unsigned char>(pattern[p])) == asciiUpper(c);
      }
      if (ok) {
        p = next;
        ++n;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    p = starP;
    n = ++starN;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string candidateName(std::string_view name) {
  std::string candidate(name);
  if (candidate.find('.') == std::string::npos) candidate += '.';
  return candidate;
}

Mask makeMask(std::string_view typed) {
  Mask mask;
  mask.shown = std::string(trimBlanks(typed));
  mask.pattern = candidateName(mask.shown);
  // A trailing "?" always consumes exactly one character.
  if (!mask.pattern.empty() && mask.pattern.back() == '?') {
    mask.pattern.pop_back();
    mask.pattern += "[\x01-\xff]";
  }
  mask.matchesAll = !mask.shown.empty() && mask.pattern == "*.*";
  return mask;
}

MaskList MaskList::parse(std::string_view masksText) {
  MaskList list;
  std::size_t start = 0;
  for (;;) {
    const std::size_t semi = masksText.find(';', start);
    if (list.masks_.size() == kMaxMasks)
      throw SearchError(kProgramCaption, messages::kTooManyMasks);
    list.masks_.push_back(makeMask(masksText.substr(start, semi - start)));
    if (semi == std::string_view::npos) break;
    start = semi + 1;
  }
  return list;
}

MaskList MaskList::fromLines(const std::vector<std::string>& lines) {
  MaskList list;
  for (const std::string& line : lines) {
    if (!trimBlanks(line).empty()) list.masks_.push_back(makeMask(line));
  }
  return list;
}

bool MaskList::matches(std::string_view name) const {
  // The usual "*.*" takes no copy of the name.
  for (const Mask& mask : masks_) {
    if (mask.matchesAll) return true;
  }
  const std::string candidate = candidateName(name);
  for (const Mask& mask : masks_) {
    if (!mask.shown.empty() && wildcardMatch(mask.pattern, candidate)) return true;
  }
  return false;
}

std::string MaskList::shownText() const {
  std::string text;
  for (std::size_t i = 0; i < masks_.size(); ++i) {
    if (i) text += "; ";
    text += masks_[i].shown;
  }
  return text;
}

std::vector<std::string> ignoredFolderPatterns(const std::vector<std::string>& lines,
                                               bool subfoldersToo) {
  std::vector<std::string> patterns;
  for (const std::string& line : lines) {
    std::string pattern(trimBlanks(line));
    if (pattern.empty()) continue;
    if (pattern.back() != '/') pattern += '/';
    if (subfoldersToo) pattern += '*';
    patterns.push_back(std::move(pattern));
  }
  return patterns;
}

bool folderIgnored(const std::vector<std::string>& patterns, std::string_view folder) {
  if (patterns.empty()) return false;
  std::string withSlash(folder);
  if (withSlash.empty() || withSlash.back() != '/') withSlash += '/';
  for (const std::string& pattern : patterns) {
    if (wildcardMatch(pattern, withSlash)) return true;
  }
  return false;
}

}  // namespace kestrix::search
