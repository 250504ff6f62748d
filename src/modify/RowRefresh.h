// Recounting a listed file after the program changed it (a modification or an undo).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "search/ResultItem.h"
#include "search/SearchRequest.h"

namespace kestrix::modify {

// Rewrites the row's hits, Found, Size and Time cells from the file as it is now, counted
// by the test a fresh search with `request` makes of each file (all 0 when that search
// would not list it). The recount is cosmetic: when the file cannot be read or searched the
// row keeps its old cells. Throws nothing.
void refreshRow(search::ResultItem& row, const search::SearchRequest& request);

// The same from the file's new content already in memory, with its size and modification
// time (no file is read). Throws nothing.
void refreshRowFrom(search::ResultItem& row, const search::SearchRequest& request,
                    std::string_view bytes, std::int64_t lastWriteSec);

// The same from the new content staged as `name` in `folder` (read in pieces by the same
// test: a large file is never held whole), with the modification time it will have.
// Throws nothing.
void refreshRowFromFile(search::ResultItem& row, const search::SearchRequest& request,
                        const std::string& folder, const std::string& name,
                        std::int64_t lastWriteSec);

}  // namespace kestrix::modify
