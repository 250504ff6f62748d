// The FOLDER argument of the console commands: a name that is not an existing folder is an
// error, never an empty result.
#pragma once

#include <string>

namespace kestrix::cli {

// Throws search::SearchError with caption `folder` and text "No such folder" (printed as
// "FOLDER: No such folder") when `folder`, blanks trimmed, names nothing or something that
// is not a folder (links to folders count as folders). An empty name passes, so that the
// search core reports its own "Please specify the Path".
void requireFolder(const std::string& folder);

}  // namespace kestrix::cli
