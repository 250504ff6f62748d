// Helpers shared by the engine tests: modifier strings and a one-line dump of a match.
#pragma once

#include <string>
#include <string_view>

#include "regex/RegExpr.h"
#include "regex/Search.h"

namespace kestrix::testing {

// Applies "+i-s+m"-style modifier text: "+" turns the following letters on, "-" off.
inline void applyModifiers(RegExpr& re, std::string_view mods) {
  static constexpr std::string_view kLetters = "irsgmx";
  bool on = true;
  for (char c : mods) {
    if (c == '+' || c == '-') {
      on = c == '+';
      continue;
    }
    re.setModifier(static_cast<int>(kLetters.find(c)) + 1, on);
  }
}

// "pos,len" of groups 0..last, e.g. "2,3 3,1 -1,-1".
inline std::string dumpGroups(const RegExpr& re, int last) {
  std::string out;
  for (int g = 0; g <= last; ++g) {
    if (g) out += ' ';
    out += std::to_string(re.matchPos(g)) + "," + std::to_string(re.matchLen(g));
  }
  return out;
}

// All matches of the exec / execNext chain as "pos,len" (1-based), joined by ";".
inline std::string allMatches(RegExpr& re, std::string_view subject) {
  std::string out;
  for (bool found = re.exec(subject); found; found = re.execNext()) {
    if (!out.empty()) out += ";";
    out += std::to_string(re.matchPos(0)) + "," + std::to_string(re.matchLen(0));
  }
  return out;
}

// Escapes control bytes so that failing inputs print readably.
inline std::string printable(std::string_view s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  return out;
}

// The matches of the searcher's find chain over a subject of `size` bytes, at most `most`,
// with all their registers; their number goes to `count`.
inline std::string findChain(regex::Searcher& searcher, int size, int most, int& count) {
  std::string out;
  regex::Registers regs{};
  count = 0;
  for (int from = 0; count < most && from <= size && searcher.find(from, regs);) {
    searcher.fillGroups(regs);
    for (int r : regs) out += std::to_string(r) + ",";
    out += "; ";
    from = regs[1] + (regs[1] == regs[0] ? 1 : 0);
    ++count;
  }
  return out;
}

}  // namespace kestrix::testing
