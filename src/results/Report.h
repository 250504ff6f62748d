// The report page of Create Report: the search conditions, the totals, the table of the
// listed files with its anchors, and one section of marked hit lines per file.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "results/ResultTable.h"
#include "search/FoundLines.h"
#include "search/SearchRequest.h"

namespace kestrix::results {

// The conditions block, as texts the window (or the console) shows for them. Texts from the
// user are given raw; the report escapes them.
struct ReportConditions {
  std::string stamp;  // today's short date + " " + the long time
  bool searchInResults = false;
  std::string folderText;
  bool includeSubfolders = true;
  std::optional<search::IgnoredFolders> ignoredFolders;  // when "Ignore Directories" is on
  std::string masksText;
  std::optional<std::vector<std::string>> ignoredFiles;  // when "Ignore Files" is on
  search::Origin origin = search::Origin::Find;
  bool createBackups = false;
  search::QueryType queryType = search::QueryType::Phrase;
  bool ignoreLeadingSpaces = false;
  bool ignoreTrailingSpaces = false;
  bool dotMatchesLineSeparators = false;
  bool ignoreRegexWhitespace = false;
  bool searchEachLine = false;
  bool caseSensitive = false;
  bool wholeWords = false;  // the Whole Words box is shown and checked
  struct Size {
    bool maximum = false;
    std::string value;  // the size in its unit
    std::string unit;   // "KB" or "MB"
  };
  std::optional<Size> size;
  struct Dates {
    bool between = true;
    std::string first, second;  // short dates (Between)
    std::string days;           // Newer than
  };
  std::optional<Dates> date;
  bool multiLineQuery = false;  // the query comes from the multi-line box
  std::string queryText;
  std::vector<std::string> queryLines;
};

// The conditions of `request` with the texts the user gave: the size in the unit chosen,
// dates in the short date format, the days as a number. `stamp` is the time of the report.
ReportConditions conditionsOf(const search::SearchRequest& request, const std::string& stamp);

// Today's short date, a blank and the present long time: the stamp of a report made now.
std::string nowStamp();

struct ReportInput {
  ReportConditions conditions;
  // The list with uncut Found cells (several words: each row's whole count list).
  ResultTable table;
  // The query words in term order, for the per-word totals of a several-word query.
  std::vector<std::string> words;
};

// Calls of the per-file sections. `beforeSection(r, count)` runs before row r (0-based) and
// returns true to stop writing sections; `foundLines(r)` gives the row's found lines.
struct ReportSections {
  std::function<bool(std::size_t row, std::size_t count)> beforeSection;
  std::function<search::FoundLines(std::size_t row)> foundLines;
};

// The whole page, lines ended by CR LF; "</body>" and "</html>" end it even when the
// sections were stopped. The pre-formatted block is left open.
std::string reportPage(const ReportInput& input, const ReportSections& sections);

// The query words of `request` as typed (not upper-cased), in term order.
std::vector<std::string> queryWords(const search::SearchRequest& request);

}  // namespace kestrix::results
