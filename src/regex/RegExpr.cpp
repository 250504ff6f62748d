// The engine object: modifiers, lazy compilation, exec/execNext over a stored input, the
// match registers and substitution. Covered by RegexDialectTest.cpp and RegexLimitsTest.cpp.
#include "regex/RegExpr.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "regex/Program.h"
#include "regex/RegexErrors.h"
#include "regex/Search.h"
#include "regex/Substitute.h"
#include "text/CodePage.h"
#include "text/Utf8.h"

namespace kestrix {

using regex::Registers;

struct RegExpr::Impl {
  std::string expression;
  std::function<bool()> poll;
  bool mods[7] = {false, false, true, true, true, false, false};
  bool utf8 = false;
  bool newlineCrLf = false;
  bool midCharStarts = false;  // of the compiled program

  std::optional<regex::Program> program;
  regex::Poller poller{poll};
  std::string_view input;
  std::optional<regex::Searcher> searcher;  // bound to program; rebound to each input
  bool executed = false;
  bool matched = false;
  Registers regs{};

  void dropProgram() {
    searcher.reset();
    program.reset();
    executed = false;
    matched = false;
  }

  const regex::Program& compiled() {
    if (!program) {
      regex::Modifiers m;
      m.i = mods[1];
      m.r = mods[2];
      m.s = mods[3];
      m.g = mods[4];
      m.m = mods[5];
      m.x = mods[6];
      m.utf8 = utf8;
      m.newlineCrLf = newlineCrLf;
      const auto& codePage = text::activeCodePage();
      regex::ParsedExpression parsed = regex::parseExpression(expression, m, codePage);
      midCharStarts = parsed.midCharStarts;
      program = regex::compileProgram(std::move(parsed), codePage);
    }
    return *program;
  }

  // The automaton leaves the start and groups 1..14 to be filled when someone asks.
  void needStart() {
    if (matched && searcher && searcher->startPending()) searcher->fillStart(regs);
  }
  void needGroups() {
    if (matched && searcher && (searcher->groupsPending() || searcher->startPending())) {
      searcher->fillGroups(regs);
    }
  }

  bool search(int from) {
    matched = false;
    regs.fill(-1);
    matched = searcher->find(from, regs);
    // A match that begins inside a character is no match: the search goes on behind it.
    while (matched && midCharStarts) {
      needStart();
      if (!insideChar(regs[0])) break;
      from = regs[0] + 1;
      regs.fill(-1);
      matched = searcher->find(from, regs);
    }
    if (!matched) regs.fill(-1);
    return matched;
  }

  // Whether input[at] continues a valid sequence that begins before it.
  bool insideChar(int at) const {
    for (int back = 1; back <= 3 && back <= at; ++back) {
      const auto length = text::validSequenceLength(input, static_cast<std::size_t>(at - back));
      if (length > back) return true;
    }
    return false;
  }
};

RegExpr::RegExpr() : impl_(std::make_unique<Impl>()) {}
RegExpr::~RegExpr() = default;

void RegExpr::setModifier(int index, bool on) {
  if (index < 1 || index > 6) regex::throwRunError(regex::kBadModifierIndex);
  if (impl_->mods[index] == on) return;
  impl_->mods[index] = on;
  impl_->dropProgram();
}

void RegExpr::setUtf8Mode(bool on) {
  if (impl_->utf8 == on) return;
  impl_->utf8 = on;
  impl_->dropProgram();
}

void RegExpr::setNewlineMatchesCrLf(bool on) {
  if (impl_->newlineCrLf == on) return;
  impl_->newlineCrLf = on;
  impl_->dropProgram();
}

bool RegExpr::utf8Mode() const {
  return impl_->utf8;
}

bool RegExpr::newlineMatchesCrLf() const {
  return impl_->newlineCrLf;
}

bool RegExpr::modifier(int index) const {
  if (index < 1 || index > 6) regex::throwRunError(regex::kBadModifierIndex);
  return impl_->mods[index];
}

void RegExpr::setExpression(std::string_view expression) {
  if (expression == impl_->expression && impl_->program) return;
  impl_->expression = std::string(expression);
  impl_->dropProgram();
}

const std::string& RegExpr::expression() const {
  return impl_->expression;
}

bool RegExpr::exec(std::string_view input) {
  return execPos(input, 1);
}

bool RegExpr::execPos(std::string_view input, int offset) {
  if (offset < 1) regex::throwRunError(regex::kBadOffset);
  const regex::Program& program = impl_->compiled();
  if (input.size() >= static_cast<size_t>(INT_MAX)) regex::throwRunError(regex::kInputTooLong);
  impl_->matched = false;
  // An empty view may carry no buffer; give the scans a real (empty) one.
  impl_->input = input.data() ? input : std::string_view("", 0);
  if (!impl_->searcher) impl_->searcher.emplace(program, impl_->poller);
  impl_->searcher->setSubject(impl_->input);
  impl_->executed = true;
  if (static_cast<std::size_t>(offset) > input.size() + 1) {
    impl_->regs.fill(-1);
    return false;
  }
  return impl_->search(offset - 1);
}

// Matches that never hold a break nor see the subject's ends are the same in a line as in
// the whole text: the line assertions see a break where the line sees its boundary.
bool RegExpr::countLineMatches(std::string_view text, std::int64_t& count) {
  const regex::Program& program = impl_->compiled();
  if (!program.automaton || !program.lineBound || program.canBeEmpty || impl_->midCharStarts) {
    return false;
  }
  const auto& code = program.automaton->forward;
  const bool seesEnds = std::any_of(code.begin(), code.end(), [](const regex::Inst& in) {
    return in.op == regex::Op::Assert && (in.assertion == regex::Assertion::InputStart ||
                                          in.assertion == regex::Assertion::InputEnd);
  });
  if (seesEnds || text.size() >= static_cast<size_t>(INT_MAX)) return false;
  impl_->matched = false;
  impl_->regs.fill(-1);
  impl_->input = text.data() ? text : std::string_view("", 0);
  if (!impl_->searcher) impl_->searcher.emplace(program, impl_->poller);
  impl_->searcher->setSubject(impl_->input);
  impl_->executed = true;
  count += impl_->searcher->countMatches(0);
  return true;
}

bool RegExpr::execNext() {
  if (!impl_->executed) regex::throwRunError(regex::kExecNextWithoutExec);
  if (!impl_->matched) return false;
  // A match whose start is still pending cannot be empty.
  const bool empty = !impl_->searcher->startPending() && impl_->regs[1] == impl_->regs[0];
  int from = impl_->regs[1] + (empty ? 1 : 0);
  return impl_->search(from);
}

int RegExpr::matchPos(int group) const {
  if (group < 0 || group >= regex::kGroupCount || !impl_->matched) return -1;
  if (group > 0) {
    impl_->needGroups();
  } else {
    impl_->needStart();
  }
  int start = impl_->regs[2 * group];
  return start >= 0 && impl_->regs[2 * group + 1] >= start ? start + 1 : -1;
}

int RegExpr::matchLen(int group) const {
  if (matchPos(group) < 0) return -1;
  return impl_->regs[2 * group + 1] - impl_->regs[2 * group];
}

std::string RegExpr::substitute(std::string_view templ) const {
  if (!impl_->executed) regex::throwRunError(regex::kNoInput);
  impl_->needGroups();
  return regex::expandTemplate(templ, impl_->input, impl_->regs);
}

void RegExpr::setPollCallback(std::function<bool()> poll) {
  impl_->poll = std::move(poll);
}

}  // namespace kestrix
