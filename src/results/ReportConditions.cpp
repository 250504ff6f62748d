// The conditions block of the report, in its fixed order.
#include "results/ReportConditions.h"

#include <cstdio>
#include <ctime>

#include "platform/Platform.h"
#include "results/PageText.h"
#include "text/Html.h"

namespace kestrix::results {
namespace {

using search::QueryType;

const std::string kBlueS(kBlue);
const std::string kEnd(kFontEnd);
const std::string kOn = kBlueS + " ON " + kEnd;
const std::string kOff = kBlueS + " OFF " + kEnd;

std::string trimmed(const std::string& s) {
  const std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

void listLines(PageText& page, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const std::string t = trimmed(line);
    if (!t.empty()) page.line(kBlueS + text::htmlEscape(t) + kEnd);
  }
}

void whereLines(PageText& page, const ReportConditions& c) {
  page.line("Path: " + kBlueS + text::htmlEscape(c.folderText) + kEnd);
  page.line("Include Subfolders:" + (c.includeSubfolders ? kOn : kOff));
  if (c.ignoredFolders) {
    page.line("Ignore Directories:" + kOn);
    page.line("Directory Ignore List:");
    listLines(page, c.ignoredFolders->lines);
    page.line("Ignore Subfolders Too:" + (c.ignoredFolders->ignoreSubfolders ? kOn : kOff));
  }
  page.line("Masks: " + kBlueS + text::htmlEscape(c.masksText) + kEnd);
  if (c.ignoredFiles) {
    page.line("Ignore Files:" + kOn);
    page.line("File Ignore List:");
    listLines(page, *c.ignoredFiles);
  }
}

std::string typeName(QueryType type) {
  return std::string(search::queryTypeInfo(type).caption);
}

void typeLines(PageText& page, const ReportConditions& c) {
  page.line("Query Type:" + kBlueS + " " + typeName(c.queryType) + kEnd);
  if (c.queryType == QueryType::Multiline) {
    if (c.ignoreLeadingSpaces) page.line("Ignore Leading Spaces: " + kBlueS + "ON" + kEnd);
    if (c.ignoreTrailingSpaces) page.line("Ignore Trailing Spaces: " + kBlueS + "ON" + kEnd);
  } else if (c.queryType == QueryType::RegExpr) {
    // The Search and Replace tab writes its first two regex options without the space.
    const std::string on = kBlueS + (c.origin == search::Origin::Find ? " ON" : "ON") + kEnd;
    if (c.dotMatchesLineSeparators) page.line("\".\" Matches Line Separators Too: " + on);
    if (c.ignoreRegexWhitespace) page.line("Ignore Whitespaces in Reg Expr: " + on);
    if (c.searchEachLine) page.line("Search within Each Single Line: " + kBlueS + " ON" + kEnd);
  }
}

void filterLines(PageText& page, const ReportConditions& c) {
  if (c.caseSensitive) page.line("Case Sensitive:" + kOn);
  if (c.wholeWords) page.line("Whole Words: " + kBlueS + "ON" + kEnd);
  if (c.size) {
    page.line("File Size: " + kBlueS + "ON" + kEnd + (c.size->maximum ? " (Maximum" : " (Minimum") +
              " " + kBlueS + text::htmlEscape(c.size->value + " " + c.size->unit) + kEnd + ")");
  }
  if (c.date) {
    std::string line = "File Date: " + kBlueS + "ON" + kEnd;
    if (c.date->between) {
      line += " (Between " + kBlueS + text::htmlEscape(c.date->first) + kEnd + " and " + kBlueS +
              text::htmlEscape(c.date->second) + kEnd + ")";
    } else {
      line += " (Newer than " + kBlueS + text::htmlEscape(c.date->days) + kEnd + " days ago)";
    }
    page.line(line);
  }
}

void queryLines(PageText& page, const ReportConditions& c) {
  const bool find = c.origin == search::Origin::Find;
  if (!c.multiLineQuery) {
    if (find) {
      page.line("Query: <code>" + text::htmlEscape(c.queryText) + "</code>");
    } else {
      page.line("To Search: <code>" + text::htmlEscape(c.queryText) + "</code> ");
    }
    page.line("");
    return;
  }
  std::vector<std::string> lines;
  for (const std::string& l : c.queryLines) lines.push_back(text::htmlEscape(l));
  if (lines.empty()) lines.emplace_back();
  lines.back() += "</code>";
  page.line(find ? "Query:<code>" : "To Search: <code>");
  for (const std::string& l : lines) page.line(l);
}

}  // namespace

void writeConditions(PageText& page, const ReportConditions& c) {
  page.line("<strong>Search Conditions</strong>");
  if (c.searchInResults) {
    page.line("Search in Results:" + kOn);
  } else {
    whereLines(page, c);
  }
  if (c.origin == search::Origin::Find) {
    page.line("Tab:" + kBlueS + " Find" + kEnd);
  } else {
    page.line("Tab: " + kBlueS + "Search and Replace " + kEnd + "(Search Backup Files: " + kBlueS +
              (c.createBackups ? "Cannot" : "Can") + kEnd + ")");
  }
  typeLines(page, c);
  filterLines(page, c);
  queryLines(page, c);
}

namespace {

std::string shortDate(const search::Date& d) {
  platform::LocalTime t;
  t.year = d.year;
  t.month = d.month;
  t.day = d.day;
  return platform::formatShortDate(t);
}

ReportConditions::Size sizeOf(const search::SizeFilter& filter) {
  const bool mb = filter.unitBytes == search::kMegabyte;
  const std::int64_t unit = mb ? search::kMegabyte : search::kKilobyte;
  return {filter.kind == search::SizeFilter::Kind::Maximum,
          std::to_string(filter.limitBytes / unit), mb ? "MB" : "KB"};
}

ReportConditions::Dates datesOf(const search::DateFilter& filter) {
  ReportConditions::Dates d;
  d.between = filter.kind == search::DateFilter::Kind::Between;
  d.first = shortDate(filter.minDate);
  d.second = shortDate(filter.maxDate);
  char days[32];
  std::snprintf(days, sizeof days, "%g", filter.days);
  d.days = days;
  return d;
}

}  // namespace

std::string nowStamp() {
  const platform::LocalTime t =
      platform::toLocalTime(static_cast<std::int64_t>(std::time(nullptr)));
  return platform::formatShortDate(t) + " " + platform::formatLongTime(t);
}

ReportConditions conditionsOf(const search::SearchRequest& r, const std::string& stamp) {
  ReportConditions c;
  c.stamp = stamp;
  c.searchInResults = r.searchInResults;
  c.folderText = r.folder;
  c.includeSubfolders = r.includeSubfolders;
  c.ignoredFolders = r.ignoredFolders;
  c.masksText = r.masksText;
  c.ignoredFiles = r.ignoredFiles;
  c.origin = r.origin;
  c.createBackups = r.createBackups;
  c.queryType = r.queryType;
  c.ignoreLeadingSpaces = r.ignoreLeadingSpaces;
  c.ignoreTrailingSpaces = r.ignoreTrailingSpaces;
  c.dotMatchesLineSeparators = r.dotMatchesLineSeparators;
  c.ignoreRegexWhitespace = r.ignoreRegexWhitespace;
  c.searchEachLine = r.searchEachLine;
  c.caseSensitive = r.caseSensitive;
  const bool wordTypes = search::queryTypeInfo(r.queryType).wholeWordsApply;
  c.wholeWords = r.wholeWords && wordTypes;
  if (r.sizeFilter) c.size = sizeOf(*r.sizeFilter);
  if (r.dateFilter) c.date = datesOf(*r.dateFilter);
  c.multiLineQuery = search::usesQueryLines(r.queryType);
  c.queryText = r.queryText;
  c.queryLines = r.queryLines;
  return c;
}

}  // namespace kestrix::results
