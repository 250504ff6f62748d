// Fuzz harness of the matching strategies: the input is a modifier byte, then expression
// and subject separated by a NUL byte. Where the expression has an automaton, the matches
// of an exec/execNext chain (positions and all groups) must be the same with it as with
// the backtracker alone; any difference aborts.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "regex/RegExpr.h"
#include "regex/Search.h"
#include "text/CodePage.h"

namespace {

namespace rx = kestrix::regex;

// The registers of up to eight matches of the chain, or nullopt when the search stopped
// with an error (a limit of the backtracker).
std::optional<std::vector<rx::Registers>> chainOf(rx::Searcher& searcher, std::string_view s) {
  std::vector<rx::Registers> out;
  rx::Registers regs{};
  int from = 0;
  try {
    for (int m = 0; m < 8 && from <= static_cast<int>(s.size()); ++m) {
      if (!searcher.find(from, regs)) break;
      searcher.fillGroups(regs);
      out.push_back(regs);
      from = regs[1] + (regs[1] == regs[0] ? 1 : 0);
    }
  } catch (const kestrix::RegExprError&) {
    return std::nullopt;
  } catch (const kestrix::RegExprAborted&) {
    return std::nullopt;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t cut = rest.find('\0');
  if (cut == std::string_view::npos) return 0;
  std::string_view expression = rest.substr(0, cut);
  std::string_view subject = rest.substr(cut + 1);
  if (expression.size() > 256 || subject.size() > 2048) return 0;

  rx::Modifiers mods;
  mods.i = data[0] & 1;
  mods.r = data[0] & 2;
  mods.s = data[0] & 4;
  mods.g = data[0] & 8;
  mods.m = data[0] & 16;
  mods.x = data[0] & 32;
  const auto& codePage = kestrix::text::activeCodePage();
  std::optional<rx::Program> program;
  try {
    program = rx::compileProgram(rx::parseExpression(expression, mods, codePage), codePage);
  } catch (const kestrix::RegExprError&) {
    return 0;
  }
  if (!program->automaton) return 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
  const std::function<bool()> late = [deadline] {
    return std::chrono::steady_clock::now() > deadline;
  };
  rx::Poller poller(late);
  rx::Searcher fast(*program, poller), plain(*program, poller);
  plain.allowAutomaton(false);
  fast.setSubject(subject);
  plain.setSubject(subject);
  const auto a = chainOf(fast, subject);
  const auto b = chainOf(plain, subject);
  if (a && b && *a != *b) std::abort();
  return 0;
}
