// The hits of one file as a run counts them: the same test a Find run makes of each file it
// walks, for rows that must show what a fresh search would list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/SearchRequest.h"

namespace kestrix::search {

// The hits of the file `fullName` (per term, or one count: a row's Found cell) as runFind
// counts them for each file it walks, masks and filters aside; all 0 when runFind would not
// list the file, and none for a query without a content test (every file is listed). The
// term table is parsed from the request when it is empty.
// Throws SearchError for the failures that end a run (query limits, parse and
// regular-expression errors) and for a file too large to be searched (the run's warning);
// platform::PlatformError when the file cannot be opened or read.
std::vector<std::int64_t> fileHits(const SearchRequest& request, const std::string& fullName);

// The same over `bytes`, the file's content in memory as it is on disk (nothing is read;
// `fullName` names the file in messages).
std::vector<std::int64_t> fileHitsOf(const SearchRequest& request, std::string_view bytes,
                                     const std::string& fullName);

}  // namespace kestrix::search
