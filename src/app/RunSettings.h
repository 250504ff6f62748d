// What the runs take from the stored settings: the line separator, the permissions for
// read-only and hidden files and the legacy code page of the Settings dialog, and the
// ignore lists whose switches are on.
#pragma once

#include <string>
#include <vector>

#include "app/WindowSettings.h"
#include "modify/ModifyRequest.h"
#include "search/SearchRequest.h"

namespace kestrix::app {

// The line break that rewritten files get for `choice`.
modify::LineSeparator lineSeparatorOf(SeparatorChoice choice);

// The lines of an ignore list's text as the search reads them: the text split at every
// "\n", blank lines kept (the search skips them); no lines for an empty text.
std::vector<std::string> ignoreListLines(const std::string& text);

// Sets the folder and file ignore lists of `settings` whose switches are on (the folder
// list with its "Ignore Subfolders Too"), and the legacy code page. Uses only the dialog
// values and the ignore lists of `settings`.
void applyTo(search::SearchRequest& request, const WindowSettings& settings);

// Sets the line separator, the read-only and hidden permissions and the legacy code page.
void applyTo(modify::ModifyRequest& request, const DialogSettings& settings);

}  // namespace kestrix::app
