// Aligned text table of listed files.
#include "cli/ListTable.h"

#include <algorithm>

namespace kestrix::cli {

std::string listTable(const std::vector<search::ResultItem>& items, bool withFound) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> header = {"Name", "Path", "Found", "Attributes", "Time", "Size", "Type"};
  rows.push_back(header);
  for (const search::ResultItem& i : items) {
    rows.push_back({i.name, i.path, i.found, i.attributes, i.time, i.size, i.type});
  }
  if (!withFound) {
    for (auto& row : rows) row.erase(row.begin() + 2);
  }
  std::vector<std::size_t> widths(rows[0].size(), 0);
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::string table;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line += std::string(widths[c] - row[c].size() + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    table += line + '\n';
  }
  return table;
}

void printListTable(const std::vector<search::ResultItem>& items, bool withFound, std::FILE* out) {
  const std::string table = listTable(items, withFound);
  std::fwrite(table.data(), 1, table.size(), out);
}

}  // namespace kestrix::cli
