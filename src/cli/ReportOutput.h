// What `ksr find` writes from its rows: the ".lst" table and the report page.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "search/Find.h"

namespace kestrix::cli {

// Writes the ".lst" table of `items` (CR LF lines) to `out`.
void printListFile(const std::vector<search::ResultItem>& items, bool withFound, std::FILE* out);

// Writes the report page of the run to `path`; on failure prints "Create Report: Cannot
// open file " + path to standard error and returns false.
bool writeReportFile(const std::string& path, const search::SearchRequest& request,
                     const search::FindOutcome& outcome,
                     const std::vector<search::ResultItem>& items);

}  // namespace kestrix::cli
