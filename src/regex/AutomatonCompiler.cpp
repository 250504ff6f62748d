// Automaton compiler: emits the expression as counter-free instructions for the lazy
// automaton, forwards and backwards, with every counted repetition unrolled. Covered by
// RegexDifferentialTest.cpp (AutomatonAgreesWithBacktracker).
#include <algorithm>
#include <map>

#include "regex/CodeEmitter.h"
#include "regex/Program.h"

namespace kestrix::regex {
namespace {

using Kind = Node::Kind;

// Unrolled programs beyond this size are left to the backtracker.
constexpr size_t kMaxAutomatonInstructions = 20000;

// Why an expression gets no automaton: too big unrolled, or not regular (back-references,
// loops nested deeper than the backtracker allows).
struct NoAutomaton {};

class AutomatonCompiler : private CodeEmitter {
 public:
  AutomatonCompiler(Program& program, std::vector<Inst>& code, bool reverse)
      : CodeEmitter(code, kMaxAutomatonInstructions, [] { throw NoAutomaton{}; }),
        p_(program),
        reverse_(reverse) {}

  void compile(const Node& root) {
    emit(root, 0);
    add(make(Op::Match));
  }

 private:
  // `depth`: nesting of counted repetitions, which the backtracker limits.
  void emit(const Node& node, int depth) {
    switch (node.kind) {
      case Kind::Empty:
        break;
      case Kind::Literal:
        emitLiteral(node);
        break;
      case Kind::Set:
        addSet(node.set);
        break;
      case Kind::Assert:
        addAssert(node.assertion);
        break;
      case Kind::Backref:
        throw NoAutomaton{};
      case Kind::Group:
        emit(*node.kids[0], depth);
        break;
      case Kind::Concat:
        if (reverse_) {
          for (size_t i = node.kids.size(); i-- > 0;) emit(*node.kids[i], depth);
        } else {
          for (const auto& kid : node.kids) emit(*kid, depth);
        }
        break;
      case Kind::Alt:
        alternatives(node.kids.size(), [&](std::size_t i) { emit(*node.kids[i], depth); });
        break;
      case Kind::Repeat:
        emitRepeat(node, depth);
        break;
    }
  }

  // Unrolled copies share one entry of the program's sets.
  void addSet(const ByteSet& set) {
    auto [at, added] = setIndex_.try_emplace(set, static_cast<int>(p_.sets.size()));
    if (added) p_.sets.push_back(set);
    add(make(Op::Set, at->second));
  }

  void emitLiteral(const Node& node) {
    const size_t n = node.text.size();
    for (size_t k = 0; k < n; ++k) {
      const size_t i = reverse_ ? n - 1 - k : k;
      const auto c = static_cast<unsigned char>(node.text[i]);
      const auto f = node.fold.empty() ? c : static_cast<unsigned char>(node.fold[i]);
      if (c == f) {
        add(make(Op::Char, c));
        continue;
      }
      ByteSet set{};
      set[c] = set[f] = 1;
      addSet(set);
    }
  }

  // The body `min` times, then either a loop or `max - min` nested optional copies.
  void emitRepeat(const Node& node, int depth) {
    const Node& body = *node.kids[0];
    const int inner = depth + (onLoopStack(node) ? 1 : 0);
    if (inner > kMaxLoopDepth) throw NoAutomaton{};  // the backtracker stops with an error
    for (int i = 0; i < node.min; ++i) emit(body, inner);
    if (node.max == kMaxCount) return star(node.greedy, [&] { emit(body, inner); });
    std::vector<int> splits;
    for (int i = node.min; i < node.max; ++i) {
      splits.push_back(add(make(Op::Split)));
      emit(body, inner);
    }
    for (int split : splits) setSplit(split, split + 1, here(), node.greedy);
  }

  // Whether the backtracker runs this repetition on its loop stack, whose depth it limits.
  static bool onLoopStack(const Node& node) {
    const Node& body = *node.kids[0];
    ByteSet set;
    if (singleByteSet(body, set)) return false;
    if (body.kind == Kind::Group && singleByteSet(*body.kids[0], set)) return false;
    if (node.min == 0 && node.max == 1) return false;
    return !(node.greedy && node.max == kMaxCount && node.min <= 1);
  }

  Program& p_;
  bool reverse_;
  std::map<ByteSet, int> setIndex_;
};

bool acceptsLineBreak(const Program& p, const std::vector<Inst>& code) {
  return std::any_of(code.begin(), code.end(), [&](const Inst& in) {
    if (in.op == Op::Char) return in.a == '\r' || in.a == '\n';
    return in.op == Op::Set && (p.sets[in.a]['\r'] || p.sets[in.a]['\n']);
  });
}

}  // namespace

void compileAutomatonCode(const Node& root, Program& program) {
  const size_t sets = program.sets.size();
  AutomatonCode automaton;
  try {
    AutomatonCompiler(program, automaton.forward, false).compile(root);
    AutomatonCompiler(program, automaton.reverse, true).compile(root);
  } catch (const NoAutomaton&) {
    program.sets.resize(sets);
    return;
  }
  automaton.hasAssertions = std::any_of(automaton.forward.begin(), automaton.forward.end(),
                                        [](const Inst& in) { return in.op == Op::Assert; });
  program.lineBound = !acceptsLineBreak(program, automaton.forward);
  program.automaton = std::move(automaton);
}

}  // namespace kestrix::regex
