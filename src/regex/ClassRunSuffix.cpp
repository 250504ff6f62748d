// Recognises expressions that are a repetition of one character class followed by a
// literal text ("\w+_t", "[a-z]{2,}ing"), which the search loop finds from the text back
// (ClassRunSearch.cpp). Covered by RegexClassRunTest.cpp.
#include <algorithm>

#include "regex/Program.h"

namespace kestrix::regex {
namespace {

using Kind = Node::Kind;

// `node` without the groups and one-member sequences or alternations around it.
const Node& ungrouped(const Node& node) {
  const Node* at = &node;
  while (at->kind == Kind::Group ||
         ((at->kind == Kind::Concat || at->kind == Kind::Alt) && at->kids.size() == 1)) {
    at = at->kids[0].get();
  }
  return *at;
}

bool highByte(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

// Whether every byte `node` can take is non-ASCII and it never matches the empty text.
bool highBytesOnly(const Node& node) {
  const Node& n = ungrouped(node);
  switch (n.kind) {
    case Kind::Set:
      return std::none_of(n.set.begin(), n.set.begin() + 0x80, [](auto m) { return m != 0; });
    case Kind::Literal:
      return !n.text.empty() && std::all_of(n.text.begin(), n.text.end(), highByte) &&
             std::all_of(n.fold.begin(), n.fold.end(), highByte);
    case Kind::Concat:
    case Kind::Alt:
      return !n.kids.empty() && std::all_of(n.kids.begin(), n.kids.end(),
                                            [](const auto& kid) { return highBytesOnly(*kid); });
    default:
      return false;
  }
}

// Whether `node` takes exactly one character: a byte, or a sequence of non-ASCII bytes (the
// UTF-8 form of the character classes), so that an ASCII byte never lies inside one. The
// one-byte members go to `singles`.
bool oneCharacter(const Node& node, ByteSet& singles) {
  const Node& n = ungrouped(node);
  ByteSet set;
  if (singleByteSet(n, set)) {
    for (int c = 0; c < 256; ++c) singles[c] |= set[c];
    return true;
  }
  switch (n.kind) {
    case Kind::Alt:
      return !n.kids.empty() && std::all_of(n.kids.begin(), n.kids.end(), [&](const auto& kid) {
        return oneCharacter(*kid, singles);
      });
    case Kind::Concat:
    case Kind::Literal:
      return highBytesOnly(n);
    default:
      return false;
  }
}

}  // namespace

std::optional<ClassRun> classRunThenRequired(const Node& root, const std::string& required) {
  const Node& whole = ungrouped(root);
  if (required.empty() || whole.kind != Kind::Concat || whole.kids.size() != 2) return {};
  const Node& repeat = ungrouped(*whole.kids[0]);
  const Node& text = ungrouped(*whole.kids[1]);
  if (repeat.kind != Kind::Repeat || text.kind != Kind::Literal || !text.fold.empty() ||
      text.text != required) {
    return {};
  }
  ClassRun run;
  run.min = repeat.min;
  run.max = repeat.max;
  run.greedy = repeat.greedy;
  run.wholeBytes = singleByteSet(ungrouped(*repeat.kids[0]), run.bytes);
  if (run.wholeBytes) return run;
  if (highByte(required[0]) || !oneCharacter(*repeat.kids[0], run.bytes)) return {};
  // A high byte may be part of a longer character: the automaton reads those.
  std::fill(run.bytes.begin() + 0x80, run.bytes.end(), 0);
  return run;
}

}  // namespace kestrix::regex
