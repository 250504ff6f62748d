// The Reg Expr engine of the modify pass: matches of the search memo's expression replaced
// by (or surrounded with) the expanded template, over the whole text or line by line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "modify/Interval.h"
#include "modify/LineList.h"
#include "modify/ModifyRequest.h"
#include "modify/StopPoll.h"

namespace kestrix::modify {

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

// Rewrites `lines` for a RegExpr request. `fullName` names the file in messages;
// `lastByteIsBreak` tells whether the file ended with CR or LF (the whole-text subject then
// ends with CR LF); `interval`, when given, limits PerLine mode (clipped at the last line).
// Throws RegexFileFailure for a compile or matcher error, StopRequested when `poll` asks to
// stop. `lines` is unchanged when it throws.
void transformRegex(LineList& lines, const ModifyRequest& request, const std::string& fullName,
                    bool lastByteIsBreak, const std::optional<Interval>& interval, StopPoll& poll);

// The new bytes of a file for a RegExpr request, as rewriteLines returns them (nothing
// under Keep when no match changed anything). Per line as transformRegex, without a list
// of lines; over the whole text under Keep the subject is the file's bytes with their own
// breaks, so that only the matches change. Throws like transformRegex.
std::optional<std::string> rewriteRegex(std::string_view bytes, const ModifyRequest& request,
                                        const std::string& fullName,
                                        const std::optional<Interval>& interval, StopPoll& poll);

}  // namespace kestrix::modify
