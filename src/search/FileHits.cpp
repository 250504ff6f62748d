// The verdict of one file through the run's own per-file matcher.
#include "search/FileHits.h"

#include <algorithm>

#include "platform/ReadOnlyFile.h"
#include "search/FileMatcher.h"
#include "search/Poller.h"
#include "search/QueryParser.h"

namespace kestrix::search {
namespace {

// Runs `match` with a matcher of the request (its term table parsed when empty) and turns
// its answer into FileHits.
template <class Match>
FileHits matchOne(const SearchRequest& original, Match&& match) {
  std::optional<SearchRequest> parsed;
  const SearchRequest& request = withTermTable(original, parsed);
  FileHits out;
  if (hasEmptyQuery(request)) {
    out.listed = true;
    return out;
  }
  Poller never({});
  FileMatcher matcher(request, never);
  std::optional<std::vector<std::int64_t>> hits = match(matcher);
  if (std::optional<SearchError> warning = matcher.takeWarning()) throw *warning;
  out.listed = hits.has_value();
  out.hits =
      hits ? std::move(*hits)
           : std::vector<std::int64_t>(std::max<std::size_t>(request.termTable.terms.size(), 1));
  return out;
}

}  // namespace

FileHits fileHits(const SearchRequest& request, const std::string& fullName) {
  return matchOne(request, [&fullName](FileMatcher& matcher) {
    platform::ReadOnlyFile file(fullName);
    return matcher.match(file, fullName);
  });
}

FileHits fileHitsOf(const SearchRequest& request, std::string_view bytes,
                    const std::string& fullName) {
  return matchOne(request, [&](FileMatcher& matcher) { return matcher.match(bytes, fullName); });
}

}  // namespace kestrix::search
