// The cell texts of a results row and the status-bar texts of a run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "search/ResultItem.h"
#include "search/SearchRequest.h"

namespace kestrix::search {

inline constexpr std::size_t kFoundTextLimit = 240;

// Hits joined by ", "; with `cut`, numbers are appended while the text is at most 240
// characters long, and ",..." is appended when hits remain.
std::string foundText(const std::vector<std::int64_t>& hits, bool cut = true);
// bytes / 1000 with 3 decimals up to 0.1, else 1 decimal, the locale's separator, " KB".
std::string sizeText(std::int64_t bytes);
// Short date + " " + long time in local time; the date alone at exactly midnight.
std::string timeText(std::int64_t epochSec);
// The extension without its dot, ASCII upper-cased, + " File"; empty without extension.
std::string typeFallback(std::string_view name);

// Builds the row of a listed file: "Found" when the request shows a Result column, its hits
// only with a Found column. `typeName` is the desktop's type name or empty.
ResultItem makeResultItem(const SearchRequest& request, std::string_view folder,
                          const platform::FileInfo& info, std::vector<std::int64_t> hits,
                          bool hasFoundColumn, const std::string& typeName);

// Status bar panel 0 after a file was added: "Found File:    1" / "Found Files:   N"
// (Find tab), "File in List:    1" / "Files in List:    N" (Search and Replace tab).
std::string foundStatusText(Origin origin, std::size_t foundCount);
// Panel 0 when a run starts: "Found Files:   " / "Files in List:   ".
std::string startStatusText(Origin origin);
// Panel 0 when a run found nothing: "Not Found".
std::string notFoundStatusText();

}  // namespace kestrix::search
