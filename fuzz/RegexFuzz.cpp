// Fuzz harness of the engine: the input is a modifier byte, then expression, subject and
// template separated by NUL bytes; it compiles, runs a bounded exec/execNext loop and
// expands the template after each match. Registers must stay inside the subject and
// successive matches must move forward.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "regex/RegExpr.h"

namespace {

// Splits off the text up to the next NUL (or the end).
std::string_view takeField(std::string_view& rest) {
  size_t cut = rest.find('\0');
  std::string_view field = rest.substr(0, cut);
  rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  return field;
}

void checkRegisters(const kestrix::RegExpr& re, std::string_view subject) {
  for (int g = 0; g < 15; ++g) {
    int pos = re.matchPos(g), len = re.matchLen(g);
    if (pos == -1 && len == -1) continue;
    if (pos < 1 || len < 0 || static_cast<size_t>(pos - 1 + len) > subject.size()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string_view expression = takeField(rest);
  std::string_view subject = takeField(rest);
  std::string_view templ = takeField(rest);
  if (expression.size() > 512 || subject.size() > 4096) return 0;

  kestrix::RegExpr re;
  for (int i = 1; i <= 6; ++i) re.setModifier(i, (data[0] >> (i - 1)) & 1);
  re.setExpression(expression);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
  re.setPollCallback([deadline] { return std::chrono::steady_clock::now() > deadline; });
  try {
    int matches = 0;
    int lastEnd = 0, lastLen = 1;  // 0-based end and length of the previous match
    for (bool found = re.exec(subject); found && matches < 200; found = re.execNext()) {
      checkRegisters(re, subject);
      // Each match starts at or after the end of the one before, past it after an empty one.
      int start = re.matchPos(0) - 1;
      if (start < lastEnd + (lastLen == 0 ? 1 : 0) && matches > 0) std::abort();
      lastEnd = start + re.matchLen(0);
      lastLen = re.matchLen(0);
      (void)re.substitute(templ);
      ++matches;
    }
  } catch (const kestrix::RegExprError&) {
  } catch (const kestrix::RegExprAborted&) {
  }
  return 0;
}
