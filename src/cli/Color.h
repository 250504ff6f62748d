// Terminal colours of `ksr find --lines`: hits in bold red, line numbers in green and file
// headers in magenta, as grep users know them.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "search/FoundLines.h"

namespace kestrix::cli {

enum class ColorMode { Auto, Always, Never };

// The escape sequences: hits (and removed text) bold red, put-in text bold green, line
// numbers green, file headers magenta, and back to normal.
inline constexpr const char* kHit = "\033[01;31m";
inline constexpr const char* kAdded = "\033[01;32m";
inline constexpr const char* kLineNumber = "\033[32m";
inline constexpr const char* kHeader = "\033[35m";
inline constexpr const char* kReset = "\033[m";

// "auto", "always" or "never" (also "yes"/"no"/"tty"/"force"/"none" as grep takes them).
// Throws UsageError for anything else.
ColorMode parseColorMode(const std::string& value);

// Whether to colour output written to `out`: always, never, or (auto) when it is a terminal
// other than "dumb" and NO_COLOR is not set.
bool colorWanted(ColorMode mode, std::FILE* out);

// Entry `index` of `lines` with its hits, its line number or its header coloured.
std::string coloredEntry(const search::FoundLines& lines, std::size_t index);

}  // namespace kestrix::cli
