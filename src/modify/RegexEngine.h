// The Reg Expr engine of the modify pass: matches of the search memo's expression replaced
// by (or surrounded with) the expanded template, over the whole text or line by line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "modify/FileBytes.h"
#include "modify/Interval.h"
#include "modify/ModifyRequest.h"
#include "modify/StopPoll.h"
#include "regex/RegExpr.h"

namespace kestrix::modify {

class ChangeRecorder;

enum class RegexMode { WholeText, PerLine };

// PerLine when searchEachLine is on, or when the expression (a single memo line) can never
// match across a line end: no "\x0A", "\n", "\r", "\x0D", "\s", raw LF or CR; no "." with
// "(?s)" or dotMatchesLineSeparators; no "\Z" or "\A"; no "^" or "$" with "(?-m)".
// WholeText otherwise.
RegexMode chooseRegexMode(const ModifyRequest& request);

// An engine failure inside one file: the file is left untouched and marked failed, and
// message() is reported to the user once.
class RegexFileFailure : public FileFailure {
 public:
  explicit RegexFileFailure(UserMessage message)
      : FileFailure(message.text), message_(std::move(message)) {}
  const UserMessage& message() const { return message_; }

 private:
  UserMessage message_;
};

// The message of an engine error inside the file `fullName`: the compile error's text, or
// "Modification Error: " + fullName + " is too large for these search conditions".
UserMessage regexFailureMessage(const RegExprError& e, const std::string& fullName);

// The new bytes of a file for a RegExpr request, as rewriteLines returns them (nothing
// under Keep when no match changed anything). Per line, each line is a subject of its own
// (and `interval`, when given, limits the lines changed, clipped at the last line). Over
// the whole text the subject is the file with its own breaks under Keep, so that only the
// matches change; with another separator it is the file with CR LF breaks, and the result
// has every break made that separator (`bytes` is released once that subject is built).
// `fullName` names the file in messages. Throws RegexFileFailure for a compile or matcher
// error, StopRequested when `poll` asks to stop, and whatever releasing `bytes` throws.
// With `recorder`, each match's change is recorded there, over the subject matched.
std::optional<std::string> rewriteRegex(FileBytes& bytes, const ModifyRequest& request,
                                        const std::string& fullName,
                                        const std::optional<Interval>& interval, StopPoll& poll,
                                        ChangeRecorder* recorder = nullptr);

}  // namespace kestrix::modify
