// The report page: head, conditions, totals, the table with its anchors, the sections.
#include "results/Report.h"

#include <charconv>

#include "results/PageText.h"
#include "results/ReportConditions.h"
#include "results/ViewerEntries.h"
#include "search/QueryParser.h"
#include "search/SearchError.h"
#include "text/DisplayWidth.h"
#include "text/Html.h"

namespace kestrix::results {
namespace {

const std::string kBlueS(kBlue);
const std::string kEnd(kFontEnd);

void head(PageText& page, const std::string& stamp) {
  for (const char* l :
       {"<html>", "<head>", "<Title>Report</Title>", "</head>", "<style type=\"text/css\">",
        "code {color: blue; background-color: #C0C0C0}", "</style>", "<body>", "<pre>"}) {
    page.line(l);
  }
  page.line("<div align=center>Search Report: " + kBlueS + stamp + kEnd);
  page.line("</div>");
}

// The counts of a Found cell ("3, 7, 0" or "3, 7,..."); `cut` tells the ",..." ending.
std::vector<long long> countsOf(const std::string& cell, bool& cut) {
  std::vector<long long> counts;
  cut = cell.ends_with(",...");
  const char* p = cell.data();
  const char* end = cell.data() + cell.size();
  while (p < end) {
    while (p < end && (*p == ' ' || *p == ',')) ++p;
    long long value = 0;
    const auto [next, error] = std::from_chars(p, end, value);
    if (error != std::errc()) break;
    counts.push_back(value);
    p = next;
  }
  return counts;
}

void totals(PageText& page, const ReportInput& in) {
  const ResultTable& t = in.table;
  page.line("<strong>Files in List: </strong>" + kBlueS + std::to_string(t.rows.size()) + kEnd);
  if (t.rows.empty() || !t.hasFound()) return;
  std::vector<long long> sums;
  bool anyCut = false;
  for (const auto& row : t.rows) {
    bool cut = false;
    const std::vector<long long> counts = countsOf(row[2], cut);
    anyCut = anyCut || cut;
    if (sums.size() < counts.size()) sums.resize(counts.size(), 0);
    for (std::size_t k = 0; k < counts.size(); ++k) sums[k] += counts[k];
  }
  if (t.rows[0][2].find(',') == std::string::npos) {
    page.line("<strong>Found Occurrences: </strong>" + kBlueS +
              std::to_string(sums.empty() ? 0 : sums[0]) + kEnd);
    return;
  }
  page.line("<strong>Found Occurrences</strong>");
  for (std::size_t k = 0; k < in.words.size(); ++k) {
    const long long sum = k < sums.size() ? sums[k] : 0;
    page.line(text::htmlEscape(in.words[k]) + ": " + kBlueS + std::to_string(sum) + kEnd);
  }
  if (anyCut) page.line("<strong>...</strong>");
}

void table(PageText& page, const ResultTable& t) {
  const std::vector<std::size_t> widths = columnWidths(t);
  page.line(headerLine(t, widths));
  const bool anchors = t.hasFound();
  for (std::size_t r = 0; r < t.rows.size(); ++r) {
    const std::vector<std::string>& row = t.rows[r];
    const std::string n = std::to_string(r + 1);
    std::string line;
    if (anchors) {
      line = "<a name=\"" + n + "-List\"></a><a href=\"#" + n + "\">" + text::htmlEscape(row[0]) +
             "</a>";
    } else {
      line = text::htmlEscape(row[0]);
    }
    line = padShown(line, text::displayWidth(row[0]), widths[0], false);
    for (std::size_t c = 1; c < t.captions.size(); ++c) {
      // Every cell: a type name or any other text may come from a file's name.
      line += padShown(text::htmlEscape(row[c]), text::displayWidth(row[c]), widths[c],
                       rightAlignedColumn(t, c));
    }
    page.line(line);
  }
}

void section(PageText& page, const search::FoundLines& lines, std::size_t r) {
  const std::string n = std::to_string(r + 1);
  for (std::size_t i = 0; i < lines.entries.size(); ++i) {
    const std::string& entry = lines.entries[i];
    switch (entryKind(lines, i)) {
      case EntryKind::Header:
        page.line("<a name=\"" + n + "\"></a><a href=\"#" + n + "-List\"><strong>" +
                  text::htmlEscape(entry.size() > 5 ? entry.substr(5) : std::string()) +
                  "</strong></a>");
        break;
      case EntryKind::Etc:
        page.line("<strong>" + text::htmlEscape(entry) + "</strong>");
        break;
      case EntryKind::Block:
        page.line(kBlueS + text::htmlEscape(entry) + kEnd);
        break;
      case EntryKind::Line:
        page.line(markedEntry(lines, i));
        break;
    }
  }
}

}  // namespace

std::string reportPage(const ReportInput& input, const ReportSections& sections) {
  PageText page;
  head(page, input.conditions.stamp);
  writeConditions(page, input.conditions);
  totals(page, input);
  page.line("");
  table(page, input.table);
  if (input.table.hasFound() && sections.foundLines) {
    const std::size_t count = input.table.rows.size();
    for (std::size_t r = 0; r < count; ++r) {
      if (sections.beforeSection && sections.beforeSection(r, count)) break;
      page.line("");
      section(page, sections.foundLines(r), r);
    }
  }
  page.line("</body>");
  page.line("</html>");
  return page.text();
}

std::vector<std::string> queryWords(const search::SearchRequest& request) {
  search::SearchRequest copy = request;
  copy.caseSensitive = true;  // keeps the words as typed
  try {
    search::buildTermTable(copy);
  } catch (const search::SearchError&) {
    return {};
  }
  std::vector<std::string> words;
  for (const search::Term& term : copy.termTable.terms) words.push_back(term.text);
  return words;
}

}  // namespace kestrix::results
