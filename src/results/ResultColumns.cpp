// Captions, widths, cell texts and sort keys of the results list's columns.
#include "results/ResultColumns.h"

#include <iterator>

#include "results/RowOrder.h"
#include "search/RowOutcome.h"
#include "text/DisplayWidth.h"

namespace kestrix::results {
namespace {

struct ColumnFacts {
  const char* caption;
  int width;  // pixels at 96 dots per inch
};
// In the order of ResultColumn.
constexpr ColumnFacts kColumns[] = {{"Name", 122},      {"Path", 212},        {"Found", 52},
                                    {"Attributes", 55}, {"Time", 103},        {"Size", 69},
                                    {"Type", 75},       {kResultCaption, 100}};
static_assert(std::size(kColumns) == static_cast<std::size_t>(ResultColumn::Result) + 1);

bool sortsByNumber(ResultColumn column) {
  return column == ResultColumn::Found || column == ResultColumn::Size ||
         column == ResultColumn::Time;
}

double numericKey(const search::ResultItem& item, ResultColumn column) {
  switch (column) {
    case ResultColumn::Found:
      return item.hits.empty() ? 0 : static_cast<double>(item.hits[0]);
    case ResultColumn::Size:
      return static_cast<double>(item.sizeBytes);
    default:
      return static_cast<double>(item.lastWriteSec);
  }
}

std::string textKey(const search::ResultItem& item, ResultColumn column, bool intervalFormat,
                    const TypeText& typeText) {
  switch (column) {
    case ResultColumn::Name:
      return item.name;
    case ResultColumn::Path:
      return item.path;
    case ResultColumn::Attributes:
      return item.attributes;
    case ResultColumn::Type:
      return typeText(item);
    default:
      return cellText(item, column, intervalFormat);
  }
}

}  // namespace

std::string columnCaption(ResultColumn column) {
  return kColumns[static_cast<std::size_t>(column)].caption;
}

int defaultColumnWidth(ResultColumn column) {
  return kColumns[static_cast<std::size_t>(column)].width;
}

std::string cellText(const search::ResultItem& item, ResultColumn column, bool intervalFormat) {
  switch (column) {
    case ResultColumn::Name:
      return text::escapeForDisplay(item.name);
    case ResultColumn::Path:
      return text::escapeForDisplay(item.path);
    case ResultColumn::Found:
      return search::foundCellText(item);
    case ResultColumn::Attributes:
      return item.attributes;
    case ResultColumn::Time:
      return item.time;
    case ResultColumn::Size:
      return item.size;
    case ResultColumn::Type:
      return item.type;
    case ResultColumn::Result:
      return search::resultCellText(item, intervalFormat);
  }
  return {};
}

std::vector<std::size_t> columnOrder(const std::vector<search::ResultItem>& items,
                                     ResultColumn column, bool descending, bool intervalFormat,
                                     const TypeText& typeText) {
  if (sortsByNumber(column)) {
    std::vector<double> keys;
    keys.reserve(items.size());
    for (const search::ResultItem& item : items) keys.push_back(numericKey(item, column));
    return orderByNumbers(keys, descending);
  }
  std::vector<std::string> keys;
  keys.reserve(items.size());
  for (const search::ResultItem& item : items)
    keys.push_back(textKey(item, column, intervalFormat, typeText));
  return orderByTexts(keys, descending);
}

ResultTable shownTable(std::vector<search::ResultItem> items, bool withFound, bool withResult,
                       bool fullFound, bool intervalFormat, const TypeText& typeText) {
  for (search::ResultItem& item : items) item.type = typeText(item);
  return tableOfItems(items, withFound, withResult, fullFound, intervalFormat);
}

}  // namespace kestrix::results
