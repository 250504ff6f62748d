// The results list as plain text cells, and the aligned table that Save List and the
// report write from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/ResultItem.h"

namespace kestrix::results {

// The Result column's caption in the plain and in the interval format.
inline constexpr const char* kResultCaption = "Result";
inline constexpr const char* kResultIntervalCaption = "Result    |  Modification Interval";

// The columns of the list (captions in order) and one row of cell texts per listed file,
// each row holding exactly one cell per caption.
struct ResultTable {
  std::vector<std::string> captions;
  std::vector<std::vector<std::string>> rows;

  // Index of the column captioned `caption`, or -1.
  int columnOf(std::string_view caption) const;
  // True when the third column is "Found" (the list was built with a query).
  bool hasFound() const;
  // True when the Found cells hold single counts (no cell has a comma): one query word.
  bool singleCountFound() const;
};

// The table of `items`: Name, Path, [Found,] Attributes, Time, Size, Type[, Result].
// `fullFound` takes each row's uncut count list (reports) instead of the cell text;
// `intervalFormat` writes the Result cells with their intervals under the interval caption.
ResultTable tableOfItems(const std::vector<search::ResultItem>& items, bool withFound,
                         bool withResult, bool fullFound = false, bool intervalFormat = false);

// The ".lst" text: with `commandLine`, the line "Command Line: " + it and an empty line;
// then the header and one line per row, every cell padded to its column's width + 2 (Size,
// and single-count Found, right-aligned), lines ended by CR LF.
std::string listFileText(const ResultTable& table,
                         const std::optional<std::string>& commandLine = std::nullopt);

// Column widths: the widest cell text or caption of each column, in display columns (a
// character takes its width, not its bytes, so that names beyond ASCII stay aligned).
std::vector<std::size_t> columnWidths(const ResultTable& table);
// The header line shared by the list file and the report (without its line break).
std::string headerLine(const ResultTable& table, const std::vector<std::size_t>& widths);
// `text` padded with spaces on the right, or (rightAligned) followed by two spaces and
// padded on the left, to `width` + 2 display columns.
std::string padCell(std::string_view text, std::size_t width, bool rightAligned);
// Like padCell, but the cell shows `shown` (the escaped text) padded by the length of the
// plain text, `plainLength` (its display width), so that the columns stay aligned where the page is
// read.
std::string padShown(std::string_view shown, std::size_t plainLength, std::size_t width,
                     bool rightAligned);
// True for a column whose cells are right-aligned: "Size", and "Found" with single counts.
bool rightAlignedColumn(const ResultTable& table, std::size_t column);

}  // namespace kestrix::results
