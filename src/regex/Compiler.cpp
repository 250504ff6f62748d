// Compiler: normalises the Syntax tree, emits matcher instructions and derives the search
// shortcuts (anchor, first bytes, prefix, required text). Covered by RegexDialectTest.cpp
// and RegexDifferentialTest.cpp; tree recursion is bounded by the 14-group nesting limit.
#include <algorithm>
#include <cstring>

#include "regex/CodeEmitter.h"
#include "regex/Program.h"
#include "regex/RegexErrors.h"

namespace kestrix::regex {
namespace {

constexpr size_t kMaxInstructions = 1 << 22;

using Kind = Node::Kind;

// What can begin the text matched by a node: a byte set and whether it can be empty.
struct First {
  ByteSet set{};
  bool empty = false;
};

// Set operations eight members at a time.
void unite(ByteSet& into, const ByteSet& from) {
  for (int c = 0; c < 256; c += 8) {
    std::uint64_t a, b;
    std::memcpy(&a, &into[c], 8);
    std::memcpy(&b, &from[c], 8);
    a |= b;
    std::memcpy(&into[c], &a, 8);
  }
}
bool disjoint(const ByteSet& x, const ByteSet& y) {
  for (int c = 0; c < 256; c += 8) {
    std::uint64_t a, b;
    std::memcpy(&a, &x[c], 8);
    std::memcpy(&b, &y[c], 8);
    if (a & b) return false;
  }
  return true;
}
ByteSet allBytes() {
  ByteSet set;
  set.fill(1);
  return set;
}

// Joins adjacent literals of every sequence into one literal (case folds kept per char).
void mergeLiterals(Node& node) {
  for (auto& kid : node.kids) mergeLiterals(*kid);
  if (node.kind != Kind::Concat) return;
  std::vector<std::unique_ptr<Node>> merged;
  for (auto& kid : node.kids) {
    if (kid->kind == Kind::Empty) continue;
    Node* last = merged.empty() ? nullptr : merged.back().get();
    if (kid->kind == Kind::Literal && last && last->kind == Kind::Literal) {
      if (last->fold.empty() != kid->fold.empty()) {
        if (last->fold.empty()) last->fold = last->text;
        if (kid->fold.empty()) kid->fold = kid->text;
      }
      last->text += kid->text;
      last->fold += kid->fold;
      continue;
    }
    merged.push_back(std::move(kid));
  }
  node.kids = std::move(merged);
}

// First bytes of `node`. Assertions and back-references are transparent (empty) when
// `transparent`, else they stand for any byte, which is the safe answer for look-ahead.
First firstOf(const Node& node, bool transparent) {
  First f;
  switch (node.kind) {
    case Kind::Empty:
      f.empty = true;
      break;
    case Kind::Literal:
      if (node.text.empty()) {
        f.empty = true;
        break;
      }
      f.set[static_cast<unsigned char>(node.text[0])] = 1;
      if (!node.fold.empty()) f.set[static_cast<unsigned char>(node.fold[0])] = 1;
      break;
    case Kind::Set:
      f.set = node.set;
      break;
    case Kind::Assert:
    case Kind::Backref:
      if (!transparent) f.set = allBytes();
      f.empty = true;
      break;
    case Kind::Group:
      return firstOf(*node.kids[0], transparent);
    case Kind::Repeat:
      f = firstOf(*node.kids[0], transparent);
      f.empty = f.empty || node.min == 0;
      break;
    case Kind::Concat:
      f.empty = true;
      for (const auto& kid : node.kids) {
        First k = firstOf(*kid, transparent);
        unite(f.set, k.set);
        if (!k.empty) {
          f.empty = false;
          break;
        }
      }
      break;
    case Kind::Alt:
      for (const auto& kid : node.kids) {
        First k = firstOf(*kid, transparent);
        unite(f.set, k.set);
        f.empty = f.empty || k.empty;
      }
      break;
  }
  return f;
}

class Compiler : private CodeEmitter {
 public:
  explicit Compiler(Program& program)
      : CodeEmitter(program.code, kMaxInstructions, [] { throwCompileError(kTooBig, 1); }),
        p_(program) {}

  void compile(const Node& root) {
    First end;
    end.empty = true;  // after the whole expression comes the match itself
    emit(root, end);
    add(make(Op::Match));
    setLoopHints();
  }

 private:
  int addSet(const ByteSet& set) {
    p_.sets.push_back(set);
    return static_cast<int>(p_.sets.size()) - 1;
  }

  // Emits `node`; `follow` is what can come after it (for possessive loops).
  void emit(const Node& node, const First& follow) {
    switch (node.kind) {
      case Kind::Empty:
        break;
      case Kind::Literal:
        emitLiteral(node);
        break;
      case Kind::Set:
        add(make(Op::Set, addSet(node.set)));
        break;
      case Kind::Assert:
        addAssert(node.assertion);
        break;
      case Kind::Backref: {
        Inst inst = make(Op::Backref, node.index);
        inst.icase = node.icase;
        add(inst);
        break;
      }
      case Kind::Group:
        add(make(Op::Save, 2 * node.index));
        emit(*node.kids[0], follow);
        add(make(Op::Save, 2 * node.index + 1));
        break;
      case Kind::Concat:
        emitConcat(node, follow);
        break;
      case Kind::Alt:
        emitAlt(node, follow);
        break;
      case Kind::Repeat:
        emitRepeat(node, follow);
        break;
    }
  }

  void emitLiteral(const Node& node) {
    bool icase = node.fold != node.text && !node.fold.empty();
    if (node.text.size() == 1 && !icase) {
      add(make(Op::Char, static_cast<unsigned char>(node.text[0])));
      return;
    }
    if (node.text.size() == 1) {
      ByteSet set{};
      singleByteSet(node, set);
      add(make(Op::Set, addSet(set)));
      return;
    }
    Inst inst =
        make(Op::Str, static_cast<int>(p_.strings.size()), static_cast<int>(node.text.size()));
    inst.icase = icase;
    p_.strings += node.text;
    p_.folds += icase ? node.fold : node.text;
    add(inst);
  }

  void emitConcat(const Node& node, const First& follow) {
    // rests[i]: what can follow kid i, computed once from the back.
    std::vector<First> rests(node.kids.size());
    First rest = follow;
    for (size_t i = node.kids.size(); i-- > 0;) {
      rests[i] = rest;
      First kid = firstOf(*node.kids[i], false);
      if (!kid.empty) rest = First{};
      unite(rest.set, kid.set);
      rest.empty = rest.empty && kid.empty;
    }
    for (size_t i = 0; i < node.kids.size(); ++i) emit(*node.kids[i], rests[i]);
  }

  void emitAlt(const Node& node, const First& follow) {
    if (emitDispatch(node, follow)) return;
    alternatives(node.kids.size(), [&](std::size_t i) { emit(*node.kids[i], follow); });
  }

  // Alternatives that never match empty and begin with pairwise different bytes: the next
  // byte alone picks the only one that can match, so no backtracking point is needed.
  bool emitDispatch(const Node& node, const First& follow) {
    std::vector<First> firsts;
    ByteSet seen{};
    for (const auto& kid : node.kids) {
      firsts.push_back(firstOf(*kid, false));
      if (firsts.back().empty || !disjoint(seen, firsts.back().set)) return false;
      unite(seen, firsts.back().set);
    }
    // The table's slot is taken now: nested alternatives add tables of their own.
    const size_t table = p_.dispatch.size();
    p_.dispatch.emplace_back();
    std::array<int, 256> targets;
    targets.fill(-1);
    add(make(Op::Dispatch, static_cast<int>(table)));
    std::vector<int> jumps;
    for (size_t i = 0; i < node.kids.size(); ++i) {
      for (int c = 0; c < 256; ++c) {
        if (firsts[i].set[c]) targets[c] = here();
      }
      emit(*node.kids[i], follow);
      jumps.push_back(add(make(Op::Jmp)));
    }
    for (int jump : jumps) code_[jump].a = here();
    p_.dispatch[table] = targets;
    return true;
  }

  void emitRepeat(const Node& node, const First& follow) {
    const Node& body = *node.kids[0];
    ByteSet set;
    if (singleByteSet(body, set)) return emitLoop(node, set, 0, follow);
    if (body.kind == Kind::Group && singleByteSet(*body.kids[0], set)) {
      return emitLoop(node, set, body.index, follow);
    }
    First again = firstOf(body, false);
    unite(again.set, follow.set);
    again.empty = follow.empty;
    if (node.min == 0 && node.max == 1) return emitOptional(node, again);
    if (node.greedy && node.max == kMaxCount && node.min <= 1) {
      return emitGreedyStar(node, again);
    }
    emitCounted(node, again);
  }

  void emitLoop(const Node& node, const ByteSet& set, int group, const First& follow) {
    Inst inst = make(Op::Loop, addSet(set), group);
    inst.min = node.min;
    inst.max = node.max;
    inst.greedy = node.greedy;
    inst.possessive = node.greedy && !follow.empty && disjoint(set, follow.set);
    add(inst);
  }

  void emitOptional(const Node& node, const First& follow) {
    optional(node.greedy, [&] { emit(*node.kids[0], follow); });
  }

  // "*" and "+" on a group, greedy: a split per repetition, no counter.
  void emitGreedyStar(const Node& node, const First& follow) {
    if (node.min == 0) return star(true, [&] { emit(*node.kids[0], follow); });
    int start = here();
    emit(*node.kids[0], follow);
    add(make(Op::Split, start, here() + 1));
  }

  // Braces and non-greedy repetitions of groups: a counter on the loop stack.
  void emitCounted(const Node& node, const First& follow) {
    int counter = p_.counters++;
    ++depth_;
    add(make(Op::CountInit, counter, depth_));
    Inst test = make(Op::CountTest, counter);
    test.min = node.min;
    test.max = node.max;
    test.greedy = node.greedy;
    int testPc = add(test);
    emit(*node.kids[0], follow);
    add(make(Op::CountNext, counter, testPc));
    code_[testPc].b = here();
    --depth_;
  }

  // Gives each greedy loop the character its successor needs, so retries can skip ahead.
  void setLoopHints() {
    for (size_t pc = 0; pc + 1 < p_.code.size(); ++pc) {
      Inst& inst = code_[pc];
      if (inst.op != Op::Loop) continue;
      const Inst& next = code_[pc + 1];
      if (next.op == Op::Char) inst.next = next.a;
      if (next.op == Op::Str && !next.icase)
        inst.next = static_cast<unsigned char>(p_.strings[next.a]);
    }
  }

  Program& p_;
  int depth_ = 0;
};

// Appends the literal text every match begins with; returns true when `node` is wholly
// literal (or zero-width), so that the text after it may extend the prefix.
bool collectPrefix(const Node& node, std::string& text, std::string& fold) {
  switch (node.kind) {
    case Kind::Empty:
    case Kind::Assert:
      return true;
    case Kind::Literal:
      text += node.text;
      fold += node.fold.empty() ? node.text : node.fold;
      return true;
    case Kind::Group:
      return collectPrefix(*node.kids[0], text, fold);
    case Kind::Concat:
      for (const auto& kid : node.kids) {
        if (!collectPrefix(*kid, text, fold)) return false;
      }
      return true;
    case Kind::Repeat:
      // The first repetition's prefix; what follows it varies with the count.
      if (node.min >= 1) collectPrefix(*node.kids[0], text, fold);
      return false;
    default:
      return false;
  }
}

// The longest case-sensitive literal that every match must contain.
void collectRequired(const Node& node, std::string& best) {
  switch (node.kind) {
    case Kind::Literal:
      if (node.fold.empty() && node.text.size() > best.size()) best = node.text;
      break;
    case Kind::Group:
      collectRequired(*node.kids[0], best);
      break;
    case Kind::Repeat:
      if (node.min >= 1) collectRequired(*node.kids[0], best);
      break;
    case Kind::Concat:
      for (const auto& kid : node.kids) collectRequired(*kid, best);
      break;
    default:
      break;
  }
}

// A leading greedy ".*" that takes every byte: a match found later could have started at
// the offset too, so only the offset needs trying.
bool startsWithDotStar(const Node& node) {
  if (node.kind != Kind::Repeat || !node.greedy || node.min != 0 || node.max != kMaxCount) {
    return false;
  }
  const Node& body = *node.kids[0];
  return body.kind == Kind::Set &&
         std::all_of(body.set.begin(), body.set.end(), [](auto m) { return m != 0; });
}

void deriveShortcuts(Program& p, const Node& root) {
  const Node* first = &root;
  while (first->kind == Kind::Concat && !first->kids.empty()) first = first->kids[0].get();
  p.anchored = (first->kind == Kind::Assert && first->assertion == Assertion::InputStart) ||
               startsWithDotStar(*first);
  First f = firstOf(root, true);
  p.canBeEmpty = f.empty;
  p.firstSet = f.set;
  p.firstCount = static_cast<int>(std::count(f.set.begin(), f.set.end(), 1));
  collectPrefix(root, p.prefix, p.prefixFold);
  if (p.prefixFold == p.prefix) p.prefixFold.clear();
  collectRequired(root, p.required);
  size_t lead = 0;
  while (lead < p.code.size() && p.code[lead].op == Op::Save) ++lead;
  // A back-reference could see the shorter text a later start captures, so none may occur.
  bool backrefs = std::any_of(p.code.begin(), p.code.end(),
                              [](const Inst& inst) { return inst.op == Op::Backref; });
  if (!p.anchored && !backrefs && lead < p.code.size() && p.code[lead].op == Op::Loop &&
      p.code[lead].possessive && p.code[lead].min >= 1) {
    p.leadLoop = static_cast<int>(lead);
  }
  if (p.prefixFold.empty() && p.required.size() <= p.prefix.size()) p.required.clear();
  p.classRun = classRunThenRequired(root, p.required);
}

}  // namespace

bool singleByteSet(const Node& node, ByteSet& out) {
  switch (node.kind) {
    case Kind::Set:
      out = node.set;
      return true;
    case Kind::Literal:
      if (node.text.size() != 1) return false;
      out = ByteSet{};
      out[static_cast<unsigned char>(node.text[0])] = 1;
      if (!node.fold.empty()) out[static_cast<unsigned char>(node.fold[0])] = 1;
      return true;
    case Kind::Concat:
      return node.kids.size() == 1 && singleByteSet(*node.kids[0], out);
    case Kind::Alt: {
      ByteSet all{};
      for (const auto& kid : node.kids) {
        ByteSet one;
        if (!singleByteSet(*kid, one)) return false;
        unite(all, one);
      }
      out = all;
      return true;
    }
    default:
      return false;
  }
}

Program compileProgram(ParsedExpression parsed, const text::CodePage& codePage) {
  Program p;
  p.groupCount = parsed.groupCount;
  for (int c = 0; c < 256; ++c) p.otherCase[c] = codePage.otherCase(static_cast<unsigned char>(c));
  mergeLiterals(*parsed.root);
  Compiler(p).compile(*parsed.root);
  deriveShortcuts(p, *parsed.root);
  compileAutomatonCode(*parsed.root, p);
  return p;
}

}  // namespace kestrix::regex
