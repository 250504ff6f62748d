// Character mode sets: code point ranges and their UTF-8 byte trees. Covered by
// RegexUnicodeTest.cpp.
#include "regex/CharSets.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

#include "text/CaseFold.h"
#include "text/CharClass.h"

namespace kestrix::regex {
namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

CodeRanges rangesWhere(bool (*member)(char32_t)) {
  CodeRanges out;
  for (char32_t c = 0; c <= kMaxCodePoint; ++c) {
    if (!member(c)) continue;
    if (!out.empty() && out.back().second + 1 == c) {
      out.back().second = c;
    } else {
      out.emplace_back(c, c);
    }
  }
  return out;
}

// The parts of `ranges` inside [lo, hi], shifted to start at 0: equal keys mean equal subtrees.
CodeRanges clip(const CodeRanges& ranges, char32_t lo, char32_t hi) {
  CodeRanges out;
  auto it = std::lower_bound(ranges.begin(), ranges.end(), lo,
                             [](const auto& r, char32_t v) { return r.second < v; });
  for (; it != ranges.end() && it->first <= hi; ++it) {
    out.emplace_back(std::max(it->first, lo) - lo, std::min(it->second, hi) - lo);
  }
  return out;
}

std::unique_ptr<Node> byteSetNode(const std::vector<int>& bytes) {
  auto node = std::make_unique<Node>(Node::Kind::Set);
  for (int b : bytes) node->set[b] = 1;
  return node;
}

std::unique_ptr<Node> altOf(std::vector<std::unique_ptr<Node>> kids) {
  if (kids.size() == 1) return std::move(kids[0]);
  auto alt = std::make_unique<Node>(Node::Kind::Alt);
  alt->kids = std::move(kids);
  return alt;
}

std::unique_ptr<Node> concatOf(std::unique_ptr<Node> first, std::unique_ptr<Node> rest) {
  if (!rest) return first;
  auto seq = std::make_unique<Node>(Node::Kind::Concat);
  seq->kids.push_back(std::move(first));
  seq->kids.push_back(std::move(rest));
  return seq;
}

// `tail` continuation bytes that encode the members of `relative` (ranges relative to the
// block's start, inside [0, 64^tail)); null when tail is 0.
std::unique_ptr<Node> continuationTree(const CodeRanges& relative, int tail) {
  if (tail == 0) return nullptr;
  const char32_t span = char32_t{1} << (6 * (tail - 1));
  if (relative.size() == 1 && relative[0].first == 0 && relative[0].second == 64 * span - 1) {
    std::vector<int> any;  // the whole block: any continuation bytes
    for (int b = 0x80; b <= 0xBF; ++b) any.push_back(b);
    return concatOf(byteSetNode(any), continuationTree({{0, span - 1}}, tail - 1));
  }
  std::map<CodeRanges, std::vector<int>> groups;  // the same subtree under several bytes
  std::vector<CodeRanges> order;
  for (int c = 0; c < 64; ++c) {
    CodeRanges sub = clip(relative, c * span, (c + 1) * span - 1);
    if (sub.empty()) continue;
    auto& bytes = groups[sub];
    if (bytes.empty()) order.push_back(sub);
    bytes.push_back(0x80 + c);
  }
  std::vector<std::unique_ptr<Node>> kids;
  for (const CodeRanges& sub : order) {
    kids.push_back(concatOf(byteSetNode(groups[sub]), continuationTree(sub, tail - 1)));
  }
  return altOf(std::move(kids));
}

// The code points a lead byte begins validly (overlong forms and surrogates excluded).
struct LeadBlock {
  char32_t base, lo, hi;
  int tail;
};
LeadBlock leadBlock(int lead) {
  if (lead < 0xE0) {
    const char32_t base = static_cast<char32_t>(lead & 0x1F) << 6;
    return {base, base, base + 0x3F, 1};
  }
  if (lead < 0xF0) {
    const char32_t base = static_cast<char32_t>(lead & 0x0F) << 12;
    return {base, std::max<char32_t>(base, 0x800), lead == 0xED ? 0xD7FF : base + 0xFFF, 2};
  }
  const char32_t base = static_cast<char32_t>(lead & 0x07) << 18;
  return {base, std::max<char32_t>(base, 0x10000),
          std::min<char32_t>(base + 0x3FFFF, kMaxCodePoint), 3};
}

std::unique_ptr<Node> cloneNode(const Node& node) {
  auto copy = std::make_unique<Node>(node.kind);
  copy->text = node.text;
  copy->fold = node.fold;
  copy->set = node.set;
  for (const auto& kid : node.kids) copy->kids.push_back(cloneNode(*kid));
  return copy;
}

std::unique_ptr<Node> buildCharSetNode(const CodeRanges& ranges, bool invalidBytes);

}  // namespace

// Trees of the large sets ("\w", ".", complements) take long to build and are asked for
// again by every expression that names them: the last ones built are kept and copied.
std::unique_ptr<Node> charSetNode(const CodeRanges& ranges, bool invalidBytes) {
  if (ranges.size() < 8) return buildCharSetNode(ranges, invalidBytes);
  static std::mutex mutex;
  static std::map<std::pair<CodeRanges, bool>, std::unique_ptr<Node>> cache;
  auto key = std::make_pair(ranges, invalidBytes);
  std::lock_guard<std::mutex> lock(mutex);
  auto it = cache.find(key);
  if (it == cache.end()) {
    if (cache.size() >= 32) cache.clear();
    it = cache.emplace(std::move(key), buildCharSetNode(ranges, invalidBytes)).first;
  }
  return cloneNode(*it->second);
}

CodeRanges normalizedRanges(CodeRanges ranges) {
  std::sort(ranges.begin(), ranges.end());
  CodeRanges out;
  for (const auto& r : ranges) {
    if (!out.empty() && r.first <= out.back().second + 1) {
      out.back().second = std::max(out.back().second, r.second);
    } else {
      out.push_back(r);
    }
  }
  return out;
}

CodeRanges complementRanges(const CodeRanges& ranges) {
  CodeRanges out;
  char32_t next = 0;
  for (const auto& r : ranges) {
    if (r.first > next) out.emplace_back(next, r.first - 1);
    next = r.second + 1;
  }
  if (next <= kMaxCodePoint) out.emplace_back(next, kMaxCodePoint);
  return out;
}

CodeRanges withCaseVariants(const CodeRanges& ranges) {
  CodeRanges out = ranges;
  for (const auto& r : ranges) {
    for (char32_t c = r.first; c <= r.second && c <= kMaxCodePoint; ++c) {
      for (char32_t v : text::caseVariants(c)) {
        if (v != c) out.emplace_back(v, v);
      }
    }
  }
  return normalizedRanges(std::move(out));
}

const CodeRanges& unicodeDigits() {
  static const CodeRanges r = rangesWhere(text::isDecimalDigit);
  return r;
}

const CodeRanges& unicodeWordChars() {
  static const CodeRanges r = rangesWhere(text::isWordCodePoint);
  return r;
}

const CodeRanges& unicodeSpaces() {
  static const CodeRanges r = rangesWhere(text::isWhiteSpace);
  return r;
}

namespace {

std::unique_ptr<Node> buildCharSetNode(const CodeRanges& ranges, bool invalidBytes) {
  std::vector<int> single;  // ASCII members and invalid bytes
  for (const auto& r : ranges) {
    for (char32_t c = r.first; c <= r.second && c < 0x80; ++c)
      single.push_back(static_cast<int>(c));
  }
  if (invalidBytes) {
    for (int b = 0x80; b <= 0xC1; ++b) single.push_back(b);
    for (int b = 0xF5; b <= 0xFF; ++b) single.push_back(b);
  }
  std::vector<std::unique_ptr<Node>> kids;
  if (!single.empty()) kids.push_back(byteSetNode(single));
  // Lead bytes whose blocks hold the same members share one alternative.
  std::map<std::pair<int, CodeRanges>, std::vector<int>> groups;
  std::vector<std::pair<int, CodeRanges>> order;
  for (int lead = 0xC2; lead <= 0xF4; ++lead) {
    const LeadBlock block = leadBlock(lead);
    CodeRanges sub = clip(ranges, block.lo, block.hi);
    if (sub.empty()) continue;
    for (auto& r : sub) r = {r.first + block.lo - block.base, r.second + block.lo - block.base};
    auto key = std::make_pair(block.tail, std::move(sub));
    auto& leads = groups[key];
    if (leads.empty()) order.push_back(key);
    leads.push_back(lead);
  }
  for (const auto& key : order) {
    kids.push_back(concatOf(byteSetNode(groups[key]), continuationTree(key.second, key.first)));
  }
  if (kids.empty()) {  // nothing can match: an empty set
    return std::make_unique<Node>(Node::Kind::Set);
  }
  return altOf(std::move(kids));
}

}  // namespace

}  // namespace kestrix::regex
