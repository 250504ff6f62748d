// The status bar when a search has ended: the counter panel's and the folder panel's
// texts, with a hint when the masks look separated by commas or blanks instead of ";".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "search/SearchRequest.h"

namespace kestrix::search {

// The folder panel's text after a search that listed nothing when masksLookMisseparated.
inline constexpr const char* kMaskSeparatorHint =
    "Masks are separated by \";\" (for example \"*.txt; *.md\")";

// True when a mask of `masks` (split at ";", blanks around it trimmed) holds a comma or an
// inner blank: likely a slip that makes the masks match nothing.
bool masksLookMisseparated(std::string_view masks);

struct RunEndStatus {
  // Panel 0: nothing when the running count stays.
  std::optional<std::string> counter;
  // Panel 1 (the folder searched during the run).
  std::string folder;
};

// The status after a run from `origin` that listed `rowCount` rows: a stopped run says
// "Stopped" beside the count reached (it is no "Not Found"); a run that listed nothing says
// "Not Found", with kMaskSeparatorHint when the masks `masksText` look misseparated.
RunEndStatus runEndStatus(Origin origin, std::size_t rowCount, bool stopped,
                          std::string_view masksText);

}  // namespace kestrix::search
