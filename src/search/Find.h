// The Find run: validation, masks, term table, the walk with the matchers, and the rows
// it lists; and FillFoundLines, the found lines of one file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/FoundLines.h"
#include "search/SearchError.h"
#include "search/SearchObserver.h"
#include "search/SearchRequest.h"

namespace kestrix::search {

// The folder as the run uses it: blanks trimmed, one trailing "/" removed (a root "/"
// stays "/").
std::string normalizeFolder(std::string_view typed);

// The checks made before anything changes: "Please specify the Path" (unless searching in
// results) and "Please specify the Mask", caption "Find"/"Search" by origin. Throws
// SearchError.
void validateRequest(const SearchRequest& request);

struct FindOutcome {
  std::size_t foundCount = 0;
  bool nameOnlyListing = false;  // listed without a content test: no Found column
  bool stopped = false;          // poll() asked to stop
  // The failure that ended the run after it began (too many masks/words, missing quote,
  // query or lines too long, a regular-expression error); the rows listed so far stay.
  std::optional<SearchError> error;
  std::string folder;      // the normalized folder
  std::string masksShown;  // the masks as shown ("a; b"), to write back into the field
  TermTable termTable;     // the parsed query, for FillFoundLines and the modification
  std::string statusText;  // panel 0 at the end: the last counter text or "Not Found"
};

// Runs a search. Throws SearchError only for the checks of validateRequest (nothing has
// happened then); every later failure ends the run and is returned in `error`.
// `snapshot` (full names, list order) is walked instead of the folder when
// request.searchInResults is on; it may be null otherwise. Each listed row goes to
// observer.resultAdded; folders, files, warnings and polls as described in SearchObserver.
// `threads` workers open, read and match the files (0: one per processor core; 1: all on
// the calling thread); the observer is called on the calling thread only, with the same
// calls in the same order whatever the number of threads, and no thread outlives the run.
FindOutcome runFind(const SearchRequest& request, SearchObserver& observer,
                    const std::vector<std::string>* snapshot = nullptr, unsigned threads = 0);

struct FillOutcome {
  FoundLines lines;
  std::vector<std::int64_t> hits;  // recomputed: per term, or one count
  bool completed = true;           // false when `poll` asked to abandon the fill
};

// The found lines of folder/name with the request (all query types; the term table is
// parsed from the request when it is empty). `poll` is called about every 20 ms of work;
// returning true abandons the fill (completed = false). Throws SearchError: "File " + full
// name + " not found" (program caption) when the file cannot be read, "Search Error: File "
// + full name + " is too large for these search conditions" past the read cap; the
// query-limit and regular-expression errors of a run; parse errors of the query.
FillOutcome fillFoundLines(const SearchRequest& request, std::string_view folder,
                           std::string_view name, const std::function<bool()>& poll = {});

}  // namespace kestrix::search
