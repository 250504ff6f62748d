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

// Calls `f` with each setting that a search request and a modification request share, as a
// pair of member pointers (search request's, modification request's).
template <typename F>
void forSharedFields(F f) {
  using S = search::SearchRequest;
  using M = ModifyRequest;
  f(&S::queryType, &M::searchType);
  f(&S::queryText, &M::searchText);
  f(&S::queryLines, &M::searchLines);
  f(&S::caseSensitive, &M::caseSensitive);
  f(&S::wholeWords, &M::wholeWords);
  f(&S::ignoreLeadingSpaces, &M::ignoreLeadingSpaces);
  f(&S::ignoreTrailingSpaces, &M::ignoreTrailingSpaces);
  f(&S::dotMatchesLineSeparators, &M::dotMatchesLineSeparators);
  f(&S::ignoreRegexWhitespace, &M::ignoreRegexWhitespace);
  f(&S::searchEachLine, &M::searchEachLine);
  f(&S::createBackups, &M::createBackups);
  f(&S::legacyCodePage, &M::legacyCodePage);
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
  forSharedFields(
      [&](auto searchField, auto modifyField) { s.*searchField = request.*modifyField; });
  return s;
}

ModifyRequest fromSearchRequest(const search::SearchRequest& search) {
  ModifyRequest m;
  forSharedFields(
      [&](auto searchField, auto modifyField) { m.*modifyField = search.*searchField; });
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
