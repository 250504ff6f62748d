// Error codes of the engine and helpers that raise them with their user-facing texts.
// Texts: ErrorMessages.cpp; covered by RegexDialectTest.cpp (ErrorTextsAndRunTimeErrors,
// CompileErrors).
#pragma once

#include <string>

#include "regex/RegExpr.h"

namespace kestrix::regex {

enum ErrorCode : int {
  kNullArgument = 100,
  kTooBig = 101,
  kTooManyGroups = 102,
  kUnmatchedOpen = 103,
  kUnmatchedClose = 104,
  kOperandCouldBeEmpty = 106,
  kNestedQuantifier = 107,
  kBadHexDigit = 108,
  kInvalidRange = 109,
  kAtomTrailingBackslash = 110,
  kNoHexCode = 111,
  kHexTooBig = 112,
  kUnmatchedBracket = 113,
  kFollowsNothing = 115,
  kTrailingBackslash = 116,
  kBracesTooBig = 122,
  kBraceMinGreater = 124,
  kUnclosedComment = 125,
  kUnknownModifier = 127,
  kCorruptedProgram = 1004,
  kNoInput = 1005,
  kBadOffset = 1006,
  kExecNextWithoutExec = 1007,
  kBadModifierIndex = 1013,
  kLoopStackExceeded = 1014,
  kInputTooLong = 1016,
  kTooComplex = 1017,
};

// Throws RegExprError `code` stopped at 1-based `position` of the expression, with the
// message text followed by " (pos N)".
[[noreturn]] void throwCompileError(int code, int position);
// Throws RegExprError `code` (a run-time error) whose message is the text alone.
[[noreturn]] void throwRunError(int code);

}  // namespace kestrix::regex
