// Validation and limits of a modification request, and the texts derived from it.
#include "modify/ModifyRequest.h"

#include <algorithm>

#include "text/Encoding.h"

namespace kestrix::modify {
namespace {

std::string joinCrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += lines[i];
  }
  return out;
}

}  // namespace

std::optional<UserMessage> validateModifyRequest(const ModifyRequest& request) {
  if (request.searchType == QueryType::Phrase) {
    if (request.searchText.empty()) return UserMessage{kModifyCaption, kNoStringToSearch};
  } else if (request.searchLines.empty()) {
    return UserMessage{kModifyCaption, kNoTextToSearch};
  }
  return std::nullopt;
}

std::optional<UserMessage> checkReplacementLimits(const ModifyRequest& request) {
  if (!usesReplacement(request.modificationType)) return std::nullopt;
  if (request.searchType == QueryType::Phrase) {
    if (request.replacementText.size() > kMaxReplacementText) {
      return UserMessage{kProgramCaption, kStringTooLong};
    }
    return std::nullopt;
  }
  bool tooLong = std::any_of(request.replacementLines.begin(), request.replacementLines.end(),
                             [](const std::string& l) { return l.size() > kMaxReplacementLine; });
  if (tooLong) return UserMessage{kProgramCaption, kLinesTooLong};
  return std::nullopt;
}

bool intervalsInForce(const ModifyRequest& request) {
  if (request.searchType == QueryType::Phrase) return request.useIntervalsPhrase;
  if (request.searchType == QueryType::RegExpr) {
    return request.searchEachLine && request.useIntervalsRegex;
  }
  return false;
}

search::SearchRequest toSearchRequest(const ModifyRequest& request) {
  search::SearchRequest s;
  s.origin = search::Origin::SearchAndReplace;
  s.queryType = request.searchType;
  s.queryText = request.searchText;
  s.queryLines = request.searchLines;
  s.caseSensitive = request.caseSensitive;
  s.wholeWords = request.wholeWords;
  s.ignoreLeadingSpaces = request.ignoreLeadingSpaces;
  s.ignoreTrailingSpaces = request.ignoreTrailingSpaces;
  s.dotMatchesLineSeparators = request.dotMatchesLineSeparators;
  s.ignoreRegexWhitespace = request.ignoreRegexWhitespace;
  s.searchEachLine = request.searchEachLine;
  s.createBackups = request.createBackups;
  s.legacyCodePage = request.legacyCodePage;
  return s;
}

ModifyRequest fromSearchRequest(const search::SearchRequest& search) {
  ModifyRequest m;
  m.searchType = search.queryType;
  m.searchText = search.queryText;
  m.searchLines = search.queryLines;
  m.caseSensitive = search.caseSensitive;
  m.wholeWords = search.wholeWords;
  m.ignoreLeadingSpaces = search.ignoreLeadingSpaces;
  m.ignoreTrailingSpaces = search.ignoreTrailingSpaces;
  m.dotMatchesLineSeparators = search.dotMatchesLineSeparators;
  m.ignoreRegexWhitespace = search.ignoreRegexWhitespace;
  m.searchEachLine = search.searchEachLine;
  m.createBackups = search.createBackups;
  m.legacyCodePage = search.legacyCodePage;
  return m;
}

bool textsAreAscii(const ModifyRequest& request) {
  auto allAscii = [](const std::vector<std::string>& lines) {
    return std::all_of(lines.begin(), lines.end(),
                       [](const std::string& s) { return text::isAscii(s); });
  };
  return text::isAscii(request.searchText) && text::isAscii(request.replacementText) &&
         allAscii(request.searchLines) && allAscii(request.replacementLines);
}

std::string regexTemplate(const ModifyRequest& request) {
  if (request.modificationType == ModificationType::Delete) return {};
  return joinCrLf(request.replacementLines);
}

}  // namespace kestrix::modify
