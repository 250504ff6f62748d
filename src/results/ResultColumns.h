// The columns of the results list: what each shows, its caption and default width, its
// cell texts and the row order a header click on it gives.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "results/ResultTable.h"
#include "search/ResultItem.h"

namespace kestrix::results {

enum class ResultColumn { Name, Path, Found, Attributes, Time, Size, Type, Result };

// The caption of `column`; the Result column's is kResultCaption (the list may show the
// interval caption instead).
std::string columnCaption(ResultColumn column);

// Width of a column in pixels at 96 dots per inch when nothing else is known.
int defaultColumnWidth(ResultColumn column);

// The text a cell of `item` shows: names and paths escaped for display, the Type cell as
// the core made it (the window may put the desktop's type name in its place), the Result
// cell with the row's interval when `intervalFormat`.
std::string cellText(const search::ResultItem& item, ResultColumn column, bool intervalFormat);

// Gives the text the Type column shows for a row.
using TypeText = std::function<std::string(const search::ResultItem& item)>;

// The order of `items` after a header click on `column` (see RowOrder.h): Found by the
// first count, Size and Time by value; Name, Path and Attributes by their raw text, Type by
// `typeText`, Result by its cell text.
std::vector<std::size_t> columnOrder(const std::vector<search::ResultItem>& items,
                                     ResultColumn column, bool descending, bool intervalFormat,
                                     const TypeText& typeText);

// The table of the list as the window shows it (see tableOfItems), with the Type cells
// from `typeText`.
ResultTable shownTable(std::vector<search::ResultItem> items, bool withFound, bool withResult,
                       bool fullFound, bool intervalFormat, const TypeText& typeText);

}  // namespace kestrix::results
