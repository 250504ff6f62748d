// The search request: every setting of one run (where, which files, what, how to compare)
// and the term table that query parsing derives from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "search/QueryType.h"

namespace kestrix::search {

// The tab whose button started the run.
enum class Origin { Find, SearchAndReplace };

// "Find" or "Search": the caption of validation messages for the origin tab.
const char* originCaption(Origin origin);

// The size units the user chooses from: "KB" and "MB".
inline constexpr std::int64_t kKilobyte = 1000;
inline constexpr std::int64_t kMegabyte = 1000000;

// Size filter: Minimum passes size >= limitBytes, Maximum passes size <= limitBytes.
struct SizeFilter {
  enum class Kind { Minimum, Maximum };
  Kind kind = Kind::Minimum;
  std::int64_t limitBytes = 0;         // the value the user gave x unitBytes
  std::int64_t unitBytes = kKilobyte;  // the unit it was given in (kKilobyte or kMegabyte)
};

// A civil date (local calendar), for the Between filter.
struct Date {
  int year = 1970;
  int month = 1;
  int day = 1;
};

// Date filter: Between compares whole local days, both ends included; NewerThan passes
// files written at or after (now - days), days counted with fractions.
struct DateFilter {
  enum class Kind { Between, NewerThan };
  Kind kind = Kind::Between;
  Date minDate;
  Date maxDate;
  double days = 0;
};

// The ignored-folders list of the settings: raw lines (trimmed, blank lines skipped when
// the patterns are built) and its "ignore subfolders too" switch.
struct IgnoredFolders {
  std::vector<std::string> lines;
  bool ignoreSubfolders = false;
};

// One term of the term table.
struct Term {
  std::string text;  // upper-cased by the active code page when the search ignores case
  char sign = 0;     // 0 optional, '+' required, '-' excluded
};

// The terms of Phrase / Words / Search Engine queries. Multiline and Reg Expr runs leave it
// empty (their single hit count travels in the result).
struct TermTable {
  std::vector<Term> terms;   // at most 499
  bool allNegative = false;  // Search Engine: every term is "-" (also true for no terms)
};

struct SearchRequest {
  Origin origin = Origin::Find;
  std::string folder;  // trimmed, one trailing "/" removed (a root stays "/")
  std::string masksText = "*.*";
  QueryType queryType = QueryType::Phrase;
  std::string queryText;                // Phrase / Words / Search Engine, as typed
  std::vector<std::string> queryLines;  // Multiline / Reg Expr, the memo's lines
  bool caseSensitive = false;
  bool wholeWords = false;                // Phrase, Words, Search Engine only
  bool ignoreLeadingSpaces = true;        // Multiline only
  bool ignoreTrailingSpaces = true;       // Multiline only
  bool dotMatchesLineSeparators = false;  // Reg Expr only
  bool ignoreRegexWhitespace = false;     // Reg Expr only
  bool searchEachLine = false;            // Reg Expr only
  bool includeSubfolders = true;
  bool searchInResults = false;
  std::optional<SizeFilter> sizeFilter;
  std::optional<DateFilter> dateFilter;
  bool createBackups = false;  // with origin SearchAndReplace: skip names ending ".bak"
  std::optional<IgnoredFolders> ignoredFolders;          // when the switch is on
  std::optional<std::vector<std::string>> ignoredFiles;  // mask lines, when the switch is on
  // The code page of files that are neither UTF-16 (by their byte-order mark) nor UTF-8.
  std::string legacyCodePage = "Windows-1252";

  // Window state the rows depend on: the Result column is shown ("Found"), and the
  // modification intervals are in use ("Found       All file" on Search and Replace runs).
  bool resultColumnShown = false;
  bool intervalsInUse = false;

  // Filled by query parsing (buildTermTable) at the start of a run.
  TermTable termTable;
};

// True when the request's query type reads queryLines (Multiline, Reg Expr).
bool usesQueryLines(QueryType type);
// True when the request has no query: empty queryText, or a memo without lines.
bool hasEmptyQuery(const SearchRequest& request);

}  // namespace kestrix::search
