// Template expansion: scans the template left to right, copying text and group references.
// Covered by RegexDialectTest.cpp (Substitution).
#include "regex/Substitute.h"

namespace kestrix::regex {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a group reference after the "$" at `at`: "&" or digits, optionally in braces.
// Returns the index just past it and sets `group`, or returns 0 when there is none.
size_t readReference(std::string_view templ, size_t at, long& group) {
  size_t i = at + 1;
  bool brace = i < templ.size() && templ[i] == '{';
  if (brace) ++i;
  if (i < templ.size() && templ[i] == '&') {
    group = 0;
    ++i;
  } else if (i < templ.size() && isDigit(templ[i])) {
    group = 0;
    for (; i < templ.size() && isDigit(templ[i]); ++i) {
      if (group < kGroupCount) group = group * 10 + (templ[i] - '0');
    }
  } else {
    return 0;
  }
  if (brace) {
    if (i >= templ.size() || templ[i] != '}') return 0;
    ++i;
  }
  return i;
}

}  // namespace

std::string expandTemplate(std::string_view templ, std::string_view subject,
                           const Registers& regs) {
  std::string out;
  out.reserve(templ.size());
  for (size_t i = 0; i < templ.size();) {
    char c = templ[i];
    if (c == '\\') {
      out += i + 1 < templ.size() ? templ[i + 1] : '\\';
      i += 2;
      continue;
    }
    long group = 0;
    size_t end = c == '$' ? readReference(templ, i, group) : 0;
    if (end == 0) {
      out += c;
      ++i;
      continue;
    }
    if (group < kGroupCount && regs[2 * group] >= 0 && regs[2 * group + 1] >= regs[2 * group]) {
      out.append(subject.substr(regs[2 * group], regs[2 * group + 1] - regs[2 * group]));
    }
    i = end;
  }
  return out;
}

}  // namespace kestrix::regex
