// The hits of one file as a run counts them: the same test a Find run makes of each file it
// walks, for rows that must show what a fresh search would list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/SearchRequest.h"

namespace kestrix::search {

struct FileHits {
  bool listed = false;  // a run would list the file
  // Per term, or one count (the row's Found cell); all 0 when the file is not listed, and
  // empty for a query without a content test (every file is listed).
  std::vector<std::int64_t> hits;
};

// Tests the file `fullName` with the request's query as runFind tests each file it walks
// (masks and filters aside). The term table is parsed from the request when it is empty.
// Throws SearchError for the failures that end a run (query limits, parse and
// regular-expression errors) and for a file too large to be searched (the run's warning);
// platform::PlatformError when the file cannot be opened or read.
FileHits fileHits(const SearchRequest& request, const std::string& fullName);

// The same over `bytes`, the file's content in memory as it is on disk (nothing is read;
// `fullName` names the file in messages).
FileHits fileHitsOf(const SearchRequest& request, std::string_view bytes,
                    const std::string& fullName);

}  // namespace kestrix::search
