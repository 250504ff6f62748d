// The find options of the console commands (`ksr find`, and `ksr replace`, which searches
// the same way first): parsing them into a SearchRequest, and their help text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/Color.h"
#include "search/SearchRequest.h"

namespace kestrix::cli {

// A malformed command line (unknown option, missing or bad value). what() is the message
// without a prefix; commands print it as "ksr: " + what() and exit with kExitError.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The largest query, list or replacement file the commands read (they refuse anything but
// a regular file, so a device or a FIFO can neither hang them nor fill the memory).
inline constexpr std::int64_t kMaxTextFileBytes = 16 << 20;

// What the find options collect besides the request.
struct FindOptions {
  search::SearchRequest request;  // origin Find, folder ".", masks "*.*", Phrase by default
  std::string queryFile;          // --query-file: the query is read from this file
  bool showLines = false;         // --lines
  bool listTable = false;         // --list
  bool nullEnded = false;         // -0, --null: each name ended by NUL, nothing else
  bool json = false;              // --json: one JSON object per listed file
  ColorMode color{};              // --color: hits of --lines coloured (Auto)
  std::string reportFile;         // --report FILE: the report page is written there
  unsigned threads = 0;           // --threads (ksr find only): 0 = one per processor core
  bool help = false;              // --help
  bool version = false;           // --version
};

// When args[i] is a find option, applies it (taking its values from the following
// arguments), advances i past it and returns true; returns false for anything else.
// Throws UsageError for a missing or bad value, or an unreadable list file.
bool consumeFindOption(const std::vector<std::string>& args, std::size_t& i, FindOptions& options);

// Sets the query of the request: from options.queryFile when given, else from `query`.
// Single-line types take the text (a query file gives its first line); Multiline and Reg
// Expr take its lines, split at LF (a CR before the LF is dropped). Throws UsageError when
// the query file cannot be read.
void setQuery(FindOptions& options, const std::string& query);

// Parses `ksr find` arguments (without the command name): options anywhere, then QUERY
// (unless --query-file) and an optional FOLDER (default "."). Throws UsageError.
FindOptions parseFindArguments(const std::vector<std::string>& args);

// The lines of `ksr --help` that document the find options.
const char* findOptionsHelp();

}  // namespace kestrix::cli
