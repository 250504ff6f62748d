// Terminal colours of `ksr find --lines`: hits in bold red, line numbers in green and file
// headers in magenta, as grep users know them.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "search/FoundLines.h"

namespace kestrix::cli {

enum class ColorMode { Auto, Always, Never };

// "auto", "always" or "never" (also "yes"/"no"/"tty"/"force"/"none" as grep takes them).
// Throws UsageError for anything else.
ColorMode parseColorMode(const std::string& value);

// Whether to colour output written to `out`: always, never, or (auto) when it is a terminal
// other than "dumb" and NO_COLOR is not set.
bool colorWanted(ColorMode mode, std::FILE* out);

// Entry `index` of `lines` with its hits, its line number or its header coloured.
std::string coloredEntry(const search::FoundLines& lines, std::size_t index);

}  // namespace kestrix::cli
