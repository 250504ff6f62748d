// `ksr find --json`: one JSON object per listed file, one per line, for editors and scripts.
#pragma once

#include <string>
#include <vector>

#include "search/ResultItem.h"

namespace kestrix::cli {

// {"path": FULLPATH, "found": [N, ...], "result": TEXT or null} + LF. "found" holds the hit
// count per term (one count for multiline and regex queries) and is left out of a listing
// without a query. A path that is not valid UTF-8 has each bad byte replaced by U+FFFD in
// "path" and its exact bytes as numbers in "path_bytes". With `lines` (from --lines) the
// found lines come as "lines": [TEXT, ...], bad bytes replaced the same way.
std::string jsonRecord(const search::ResultItem& item, bool withFound,
                       const std::vector<std::string>* lines = nullptr);

}  // namespace kestrix::cli
