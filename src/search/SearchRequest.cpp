// Small helpers of the search request.
#include "search/SearchRequest.h"

namespace kestrix::search {

const char* originCaption(Origin origin) {
  return origin == Origin::Find ? "Find" : "Search";
}

bool usesQueryLines(QueryType type) {
  return queryTypeInfo(type).takesLines;
}

bool hasEmptyQuery(const SearchRequest& request) {
  return usesQueryLines(request.queryType) ? request.queryLines.empty() : request.queryText.empty();
}

}  // namespace kestrix::search
