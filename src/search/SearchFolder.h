// The folder a search from the window starts in: the typed text with "~" made the home
// folder, and the check that it is a folder at all.
#pragma once

#include <string>
#include <string_view>

#include "search/SearchRequest.h"

namespace kestrix::search {

// `folder` with a leading "~" (alone or before "/") made `home`; other texts unchanged.
std::string expandHome(std::string_view folder, std::string_view home);

// Throws SearchError with the origin's caption and "Folder \"<folder>\" does not exist"
// when the request's folder is not a folder (links to folders count as folders): it would
// list nothing and look like "Not Found". A Search in Results and an empty folder (which
// validateRequest reports) pass.
void requireSearchFolder(const SearchRequest& request);

}  // namespace kestrix::search
