// The verdict of one file through the run's own per-file matcher.
#include "search/FileHits.h"

#include <algorithm>

#include "platform/ReadOnlyFile.h"
#include "search/FileMatcher.h"
#include "search/Poller.h"
#include "search/QueryParser.h"

namespace kestrix::search {
namespace {

// Runs `match` with a matcher of the request (its term table parsed when empty); zeros
// when the file is not listed.
template <class Match>
std::vector<std::int64_t> matchOne(const SearchRequest& original, Match&& match) {
  std::optional<SearchRequest> parsed;
  const SearchRequest& request = withTermTable(original, parsed);
  if (hasEmptyQuery(request)) return {};
  Poller never({});
  FileMatcher matcher(request, never);
  std::optional<std::vector<std::int64_t>> hits = match(matcher);
  if (std::optional<SearchError> warning = matcher.takeWarning()) throw *warning;
  if (hits) return std::move(*hits);
  return std::vector<std::int64_t>(std::max<std::size_t>(request.termTable.terms.size(), 1));
}

}  // namespace

std::vector<std::int64_t> fileHits(const SearchRequest& request, const std::string& fullName) {
  return matchOne(request, [&fullName](FileMatcher& matcher) {
    platform::ReadOnlyFile file(fullName);
    return matcher.match(file, fullName);
  });
}

std::vector<std::int64_t> fileHitsOf(const SearchRequest& request, std::string_view bytes,
                                     const std::string& fullName) {
  return matchOne(request, [&](FileMatcher& matcher) { return matcher.match(bytes, fullName); });
}

}  // namespace kestrix::search
