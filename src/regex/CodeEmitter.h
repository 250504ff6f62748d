// Internal: appends instructions to a code vector, with the control-flow shapes that both the
// matcher's compiler (Compiler.cpp) and the automaton's (AutomatonCompiler.cpp) emit.
#pragma once

#include <cstddef>
#include <vector>

#include "regex/Program.h"

namespace kestrix::regex {

class CodeEmitter {
 public:
  // Called when the code already holds `limit` instructions; it must throw.
  using Full = void (*)();

  CodeEmitter(std::vector<Inst>& code, std::size_t limit, Full full)
      : code_(code), limit_(limit), full_(full) {}

  static Inst make(Op op, int a = 0, int b = 0) {
    Inst inst;
    inst.op = op;
    inst.a = a;
    inst.b = b;
    return inst;
  }
  int add(const Inst& inst) {
    if (code_.size() >= limit_) full_();
    code_.push_back(inst);
    return static_cast<int>(code_.size()) - 1;
  }
  int here() const { return static_cast<int>(code_.size()); }
  int addAssert(Assertion assertion) {
    Inst inst = make(Op::Assert);
    inst.assertion = assertion;
    return add(inst);
  }

  // Sets the two ways of a split: into the body (`body`) or past it (`exit`), the first
  // one tried first.
  void setSplit(int split, int body, int exit, bool greedy) {
    code_[split].a = greedy ? body : exit;
    code_[split].b = greedy ? exit : body;
  }

  // `count` alternatives tried in order: a split before each but the last, and a jump
  // past the rest after it. `emitKid(i)` emits alternative i.
  template <class EmitKid>
  void alternatives(std::size_t count, EmitKid&& emitKid) {
    std::vector<int> jumps;
    for (std::size_t i = 0; i + 1 < count; ++i) {
      const int split = add(make(Op::Split));
      code_[split].a = here();
      emitKid(i);
      jumps.push_back(add(make(Op::Jmp)));
      code_[split].b = here();
    }
    if (count > 0) emitKid(count - 1);
    for (int jump : jumps) code_[jump].a = here();
  }

  // The body any number of times: a split into it or past it, and a jump back to the split.
  template <class EmitBody>
  void star(bool greedy, EmitBody&& emitBody) {
    const int split = add(make(Op::Split));
    emitBody();
    add(make(Op::Jmp, split));
    setSplit(split, split + 1, here(), greedy);
  }

  // The body once or not at all.
  template <class EmitBody>
  void optional(bool greedy, EmitBody&& emitBody) {
    const int split = add(make(Op::Split));
    emitBody();
    setSplit(split, split + 1, here(), greedy);
  }

 protected:
  std::vector<Inst>& code_;

 private:
  std::size_t limit_;
  Full full_;
};

}  // namespace kestrix::regex
