// The longest span of a match, computed over the parsed expression: every node's longest
// match in bytes, summed along sequences, the largest of alternatives, multiplied by the
// upper bound of a repetition.
#include "regex/SpanBound.h"

#include <algorithm>

#include "regex/RegExpr.h"
#include "regex/Syntax.h"
#include "text/CodePage.h"

namespace kestrix {
namespace {

using regex::Node;

// Spans beyond this are as good as unbounded (and keep the products below from overflowing).
constexpr std::int64_t kLargestSpan = std::int64_t{1} << 40;

std::optional<std::int64_t> capped(std::int64_t span) {
  if (span > kLargestSpan) return std::nullopt;
  return span;
}

// The longest match of `node` in bytes. The parsed tree holds bytes: a literal compares its
// bytes one for one (its other case has the same length), a set takes one byte (a character
// of several bytes is a sequence of sets).
std::optional<std::int64_t> nodeSpan(const Node& node) {
  switch (node.kind) {
    case Node::Kind::Empty:
      return 0;
    case Node::Kind::Literal:
      return static_cast<std::int64_t>(node.text.size());
    case Node::Kind::Set:
      return 1;
    case Node::Kind::Assert:
      if (node.assertion == regex::Assertion::InputStart) return std::nullopt;
      return 0;
    case Node::Kind::Backref:
      return std::nullopt;
    case Node::Kind::Group:
      return nodeSpan(*node.kids[0]);
    case Node::Kind::Repeat: {
      const std::optional<std::int64_t> once = nodeSpan(*node.kids[0]);
      if (!once) return std::nullopt;
      if (*once == 0) return 0;
      if (node.max >= regex::kMaxCount) return std::nullopt;
      return capped(*once * node.max);
    }
    case Node::Kind::Concat: {
      std::int64_t sum = 0;
      for (const auto& kid : node.kids) {
        const std::optional<std::int64_t> span = nodeSpan(*kid);
        if (!span || !capped(sum += *span)) return std::nullopt;
      }
      return sum;
    }
    case Node::Kind::Alt: {
      std::int64_t most = 0;
      for (const auto& kid : node.kids) {
        const std::optional<std::int64_t> span = nodeSpan(*kid);
        if (!span) return std::nullopt;
        most = std::max(most, *span);
      }
      return most;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::int64_t> matchSpanBound(const RegExpr& re) {
  regex::Modifiers mods;
  mods.i = re.modifier(1);
  mods.r = re.modifier(2);
  mods.s = re.modifier(3);
  mods.g = re.modifier(4);
  mods.m = re.modifier(5);
  mods.x = re.modifier(6);
  mods.utf8 = re.utf8Mode();
  mods.newlineCrLf = re.newlineMatchesCrLf();
  const regex::ParsedExpression parsed =
      regex::parseExpression(re.expression(), mods, text::activeCodePage());
  return nodeSpan(*parsed.root);
}

}  // namespace kestrix
