// The engine's error texts by code and the helpers that raise compile and run-time errors.
// Covered by RegexDialectTest.cpp (ErrorTextsAndRunTimeErrors, CompileErrors).
#include <utility>

#include "regex/RegExpr.h"
#include "regex/RegexErrors.h"

namespace kestrix {

std::string RegExpr::errorMessage(int code) {
  static const std::pair<int, const char*> kTexts[] = {
      {0, "No errors"},
      {100, "KsrRegex(comp): Null Argument"},
      {101, "KsrRegex(comp): Regexp Too Big"},
      {102, "KsrRegex(comp): ParseReg Too Many ()"},
      {103, "KsrRegex(comp): ParseReg Unmatched ()"},
      {104, "KsrRegex(comp): ParseReg Unmatched ()"},
      {105, "KsrRegex(comp): ParseReg Junk On End"},
      {106, "KsrRegex(comp): *+ Operand Could Be Empty"},
      {107, "KsrRegex(comp): Nested *?+"},
      {108, "KsrRegex(comp): Bad Hex Digit"},
      {109, "KsrRegex(comp): Invalid [] Range"},
      {110, "KsrRegex(comp): Parse Atom Trailing \\"},
      {111, "KsrRegex(comp): No Hex Code After \\x"},
      {112, "KsrRegex(comp): Hex Code After \\x Is Too Big"},
      {113, "KsrRegex(comp): Unmatched []"},
      {114, "KsrRegex(comp): Internal Urp"},
      {115, "KsrRegex(comp): ?+*{ Follows Nothing"},
      {116, "KsrRegex(comp): Trailing \\"},
      {119, "KsrRegex(comp): RarseAtom Internal Disaster"},
      {122, "KsrRegex(comp): BRACES Argument Too Big"},
      {124, "KsrRegex(comp): BRACE Min Param Greater then Max"},
      {125, "KsrRegex(comp): Unclosed (?#Comment)"},
      {127, "KsrRegex(comp): Urecognized Modifier"},
      {128,
       "KsrRegex(comp): LinePairedSeparator must countain two different chars or no chars at "
       "all"},
      {1000, "KsrRegex(exec): RegRepeat Called Inappropriately"},
      {1001, "KsrRegex(exec): MatchPrim Memory Corruption"},
      {1002, "KsrRegex(exec): MatchPrim Corrupted Pointers"},
      {1003, "KsrRegex(exec): Not Assigned Expression Property"},
      {1004, "KsrRegex(exec): Corrupted Program"},
      {1005, "KsrRegex(exec): No Inpit String Specified"},
      {1006, "KsrRegex(exec): Offset Must Be Greater Then 0"},
      {1007, "KsrRegex(exec): ExecNext Without Exec[Pos]"},
      {1008, "KsrRegex(exec): GetInputString Without InputString"},
      {1011, "KsrRegex(dump): Corrupted Opcode"},
      {1014, "KsrRegex(exec): Loop Stack Exceeded"},
      {1015, "KsrRegex(exec): Loop Without LoopEntry !"},
      {1016, "KsrRegex(exec): Input Too Long"},
      {1017, "KsrRegex(exec): The expression is too complex for this text"},
  };
  for (const auto& [known, text] : kTexts) {
    if (known == code) return text;
  }
  return "Unknown error";
}

namespace regex {

void throwCompileError(int code, int position) {
  throw RegExprError(code, position,
                     RegExpr::errorMessage(code) + " (pos " + std::to_string(position) + ")");
}

void throwRunError(int code) {
  throw RegExprError(code, 0, RegExpr::errorMessage(code));
}

}  // namespace regex
}  // namespace kestrix
