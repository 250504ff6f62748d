// The list table: column widths, padding, and the ".lst" file text.
#include "results/ResultTable.h"

#include <algorithm>

#include "results/PageText.h"
#include "text/DisplayWidth.h"

namespace kestrix::results {

int ResultTable::columnOf(std::string_view caption) const {
  for (std::size_t c = 0; c < captions.size(); ++c) {
    if (captions[c] == caption) return static_cast<int>(c);
  }
  return -1;
}

bool ResultTable::hasFound() const {
  return captions.size() > 2 && captions[2] == "Found";
}

bool ResultTable::singleCountFound() const {
  const int c = columnOf("Found");
  if (c < 0) return false;
  return std::none_of(rows.begin(), rows.end(), [c](const std::vector<std::string>& row) {
    return row[static_cast<std::size_t>(c)].find(',') != std::string::npos;
  });
}

ResultTable tableOfItems(const std::vector<search::ResultItem>& items, bool withFound,
                         bool withResult, bool fullFound, bool intervalFormat) {
  ResultTable table;
  table.captions = {
      "Name", "Path", "Found", "Attributes",
      "Time", "Size", "Type",  intervalFormat ? kResultIntervalCaption : kResultCaption};
  for (const search::ResultItem& i : items) {
    table.rows.push_back({i.name, i.path, search::foundCellText(i, !fullFound), i.attributes,
                          i.time, i.size, i.type, search::resultCellText(i, intervalFormat)});
  }
  auto drop = [&table](std::size_t column) {
    table.captions.erase(table.captions.begin() + static_cast<std::ptrdiff_t>(column));
    for (auto& row : table.rows) row.erase(row.begin() + static_cast<std::ptrdiff_t>(column));
  };
  if (!withResult) drop(7);
  if (!withFound) drop(2);
  return table;
}

std::vector<std::size_t> columnWidths(const ResultTable& table) {
  std::vector<std::size_t> widths;
  for (const std::string& caption : table.captions) widths.push_back(text::displayWidth(caption));
  for (const auto& row : table.rows) {
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      widths[c] = std::max(widths[c], text::displayWidth(row[c]));
    }
  }
  return widths;
}

std::string padShown(std::string_view shown, std::size_t plainLength, std::size_t width,
                     bool rightAligned) {
  const std::size_t pad = width > plainLength ? width - plainLength : 0;
  if (rightAligned) return std::string(pad, ' ') + std::string(shown) + "  ";
  return std::string(shown) + std::string(pad + 2, ' ');
}

std::string padCell(std::string_view text, std::size_t width, bool rightAligned) {
  return padShown(text, text::displayWidth(text), width, rightAligned);
}

std::string headerLine(const ResultTable& table, const std::vector<std::size_t>& widths) {
  std::string line;
  for (std::size_t c = 0; c < table.captions.size(); ++c) {
    std::string caption = table.captions[c];
    // The last caption, when longer than six characters, first loses its seventh.
    if (c + 1 == table.captions.size() && caption.size() > 6) caption.erase(6, 1);
    line += padCell(caption, widths[c], false);
  }
  return line;
}

bool rightAlignedColumn(const ResultTable& table, std::size_t column) {
  const std::string& caption = table.captions[column];
  return caption == "Size" || (caption == "Found" && table.singleCountFound());
}

namespace {

// The last cell of a list-file row: a text longer than ten characters that begins with
// "Undid" loses its sixth character and takes one more padding space in its place.
std::string lastListCell(std::string text, std::size_t width) {
  if (text.size() > 10 && text.starts_with("Undid")) text.erase(5, 1);
  return padCell(text, width, false);
}

std::string listRow(const ResultTable& table, const std::vector<std::string>& row,
                    const std::vector<std::size_t>& widths) {
  std::string line;
  const std::size_t last = table.captions.size() - 1;
  for (std::size_t c = 0; c < table.captions.size(); ++c) {
    const std::string& cell = c < row.size() ? row[c] : std::string();
    if (c == last && c > 0) {
      line += lastListCell(cell, widths[c]);
    } else {
      line += padCell(cell, widths[c], c > 0 && rightAlignedColumn(table, c));
    }
  }
  return line;
}

}  // namespace

std::string listFileText(const ResultTable& table, const std::optional<std::string>& commandLine) {
  PageText page;
  if (commandLine) {
    page.line("Command Line: " + *commandLine);
    page.line("");
  }
  if (table.captions.empty()) return page.text();
  const std::vector<std::size_t> widths = columnWidths(table);
  page.line(headerLine(table, widths));
  for (const auto& row : table.rows) page.line(listRow(table, row, widths));
  return page.text();
}

}  // namespace kestrix::results
