// ModifyRequest: everything a modification run reads, with the checks made before a run
// (validation) and before the first file is changed (replacement limits).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "modify/ModificationType.h"
#include "modify/ModifyMessages.h"
#include "search/SearchRequest.h"

namespace kestrix::modify {

using search::QueryType;

inline constexpr std::size_t kMaxReplacementText = 4000;
inline constexpr std::size_t kMaxReplacementLine = 1000;

struct ModifyRequest {
  // Phrase, Multiline or RegExpr; picks the engine. Default: Phrase.
  QueryType searchType = QueryType::Phrase;
  std::string searchText;                // the phrase (Phrase)
  std::vector<std::string> searchLines;  // the block (Multiline) or expression lines (RegExpr)
  ModificationType modificationType = ModificationType::Replace;
  std::string replacementText;                // Phrase
  std::vector<std::string> replacementLines;  // Multiline lines or the RegExpr template lines
  bool createBackups = true;
  bool caseSensitive = false;
  bool wholeWords = false;  // Phrase only
  bool ignoreLeadingSpaces = true;
  bool ignoreTrailingSpaces = true;
  bool dotMatchesLineSeparators = false;
  bool ignoreRegexWhitespace = false;
  bool searchEachLine = false;
  bool useIntervalsRegex = false;  // honoured only together with searchEachLine
  bool useIntervalsPhrase = false;
  bool modifyReadOnly = false;
  bool modifyHidden = false;
  LineSeparator lineSeparator = LineSeparator::Keep;
  ModifyScope scope = ModifyScope::All;
  // The code page of files that are neither UTF-16 (by their byte-order mark) nor UTF-8.
  std::string legacyCodePage = "Windows-1252";
};

// The checks made before a run, in order: an empty phrase, or a memo without lines.
// Returns the "Modify" message of the first failure, or nothing when the request may run.
std::optional<UserMessage> validateModifyRequest(const ModifyRequest& request);

// The replacement limits checked before the first file is changed: a phrase replacement
// over 4000 characters, or a replacement line over 1000 characters (only for Replace,
// Insert Before and Insert After). Returns the message (program caption) or nothing.
std::optional<UserMessage> checkReplacementLimits(const ModifyRequest& request);

// True when the row intervals limit this request: Phrase with useIntervalsPhrase, or
// RegExpr with both searchEachLine and useIntervalsRegex.
bool intervalsInForce(const ModifyRequest& request);

// The search settings of the request (origin Search and Replace; no folder or masks), as
// the search core needs them to recount a modified file's hits or run a batch pair.
search::SearchRequest toSearchRequest(const ModifyRequest& request);

// The search half of a modification that follows `search`: its query type, text or lines,
// comparison and regular-expression switches, backups and legacy code page. The
// modification type, replacement, permissions, line separator and intervals keep their
// defaults; the caller sets them.
ModifyRequest fromSearchRequest(const search::SearchRequest& search);

// True when the search and replacement texts are all ASCII: they find and write the same
// bytes in UTF-8 and in every legacy code page offered.
bool textsAreAscii(const ModifyRequest& request);

// The RegExpr template: the replacement lines joined by CR LF; empty for Delete.
std::string regexTemplate(const ModifyRequest& request);

}  // namespace kestrix::modify
