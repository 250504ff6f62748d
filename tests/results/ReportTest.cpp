// The report page: conditions, totals, the anchored table and the sections.
#include <cctype>
#include <fstream>
#include <optional>
#include <set>

#include "../search/TempTree.h"
#include "PageTestUtil.h"
#include "results/Pages.h"
#include "results/Report.h"
#include "search/FilterValues.h"

namespace kestrix::results {
namespace {

using testing::expectLines;

const std::vector<std::string> kHead = {
    "<html>",
    "<head>",
    "<Title>Report</Title>",
    "</head>",
    "<style type=\"text/css\">",
    "code {color: blue; background-color: #C0C0C0}",
    "</style>",
    "<body>",
    "<pre>",
    "<div align=center>Search Report: <font color=\"#0000FF\">1/2/26 "
    "10:00:00</font>",
    "</div>",
    "<strong>Search Conditions</strong>"};

struct ReportRun {
  std::vector<search::ResultItem> items;
  search::SearchRequest request;
  std::string page;
};

ReportRun report(const search::SearchRequest& request, bool stopAtSecond = false) {
  ReportRun run;
  run.request = request;
  testing::Rows rows;
  const search::FindOutcome outcome = search::runFind(request, rows);
  run.items = rows.items;
  ReportInput input;
  input.conditions = conditionsOf(request, "1/2/26 10:00:00");
  input.table = tableOfItems(rows.items, !outcome.nameOnlyListing, false, true);
  input.words = queryWords(request);
  ReportSections sections;
  sections.beforeSection = [stopAtSecond](std::size_t r, std::size_t) {
    return stopAtSecond && r == 1;
  };
  sections.foundLines = [&](std::size_t r) {
    return search::fillFoundLines(request, rows.items[r].path, rows.items[r].name).lines;
  };
  run.page = reportPage(input, sections);
  return run;
}

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(Report, EscapedQueryTotalsAnchoredTableAndSections) {
  testing::TempTree tree;
  tree.write("a&b.txt", "say \"<x>\" twice \"<x>\"\n");
  const ReportRun run = report(testing::phraseRequest(tree.path(), "\"<x>\""));
  ASSERT_EQ(run.items.size(), 1u);
  const search::ResultItem& i = run.items[0];
  const std::string blue = "<font color=\"#0000FF\">";
  const std::size_t pathW = std::max<std::size_t>(4, i.path.size());
  const std::size_t timeW = std::max<std::size_t>(4, i.time.size());
  const std::size_t sizeW = std::max<std::size_t>(4, i.size.size());
  const std::size_t typeW = std::max<std::size_t>(4, i.type.size());
  auto pad = [](const std::string& s, std::size_t w) {
    return s + std::string(w + 2 - s.size(), ' ');
  };
  auto right = [](const std::string& s, std::size_t w) {
    return std::string(w - s.size(), ' ') + s + "  ";
  };
  expectLines(
      run.page,
      with(kHead,
           {"Path: " + blue + tree.path() + "</font>", "Include Subfolders:" + blue + " ON </font>",
            "Masks: " + blue + "*.*</font>", "Tab:" + blue + " Find</font>",
            "Query Type:" + blue + " Phrase</font>", "Query: <code>&quot;&lt;x&gt;&quot;</code>",
            "", "<strong>Files in List: </strong>" + blue + "1</font>",
            "<strong>Found Occurrences: </strong>" + blue + "2</font>", "",
            pad("Name", 7) + pad("Path", pathW) + "Found  Attributes  " + pad("Time", timeW) +
                pad("Size", sizeW) + pad("Type", typeW),
            "<a name=\"1-List\"></a><a href=\"#1\">a&amp;b.txt</a>  " + pad(i.path, pathW) +
                right("2", 5) + pad("", 10) + pad(i.time, timeW) + right(i.size, sizeW) +
                pad(i.type, typeW),
            "",
            "<a name=\"1\"></a><a href=\"#1-List\"><strong>File:  a&amp;b.txt      Path:  " +
                tree.path() + "</strong></a>",
            " line 1: say " + blue + "&quot;&lt;x&gt;&quot;</font> twice " + blue +
                "&quot;&lt;x&gt;&quot;</font>",
            "</body>", "</html>"}));
}

TEST(Report, WithoutFoundColumnThereAreNoAnchorsAndNoSections) {
  testing::TempTree tree;
  tree.write("a.txt", "x\n");
  const ReportRun run = report(testing::phraseRequest(tree.path(), ""));
  const auto lines = testing::crlfLines(run.page);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[lines.size() - 6],
            "<strong>Files in List: </strong><font color=\"#0000FF\">1</font>");
  EXPECT_EQ(lines[lines.size() - 5], "");
  EXPECT_TRUE(lines[lines.size() - 4].starts_with("Name   Path"));
  EXPECT_TRUE(lines[lines.size() - 3].starts_with("a.txt  " + tree.path()));
  EXPECT_EQ(lines[lines.size() - 2], "</body>");
  EXPECT_EQ(lines.back(), "</html>");
}

TEST(Report, SeveralWordsGetPerWordTotalsAndStoppingKeepsTheEnd) {
  testing::TempTree tree;
  tree.write("1.txt", "Alpha beta beta\n");
  tree.write("2.txt", "alpha alpha\n");
  search::SearchRequest request = testing::phraseRequest(tree.path(), "Alpha beta");
  request.queryType = search::QueryType::WordsOr;
  request.includeSubfolders = false;
  request.sizeFilter = search::sizeFilterOf(true, 5, true);
  const ReportRun run = report(request, true);
  const auto lines = testing::crlfLines(run.page);
  const std::string blue = "<font color=\"#0000FF\">";
  auto at = [&](const std::string& s) {
    return std::find(lines.begin(), lines.end(), s) != lines.end();
  };
  EXPECT_TRUE(at("Include Subfolders:" + blue + " OFF </font>"));
  EXPECT_TRUE(at("Query Type:" + blue + " Words: or</font>"));
  EXPECT_TRUE(at("File Size: " + blue + "ON</font> (Maximum " + blue + "5 MB</font>)"));
  EXPECT_TRUE(at("<strong>Found Occurrences</strong>"));
  EXPECT_TRUE(at("Alpha: " + blue + "3</font>"));
  EXPECT_TRUE(at("beta: " + blue + "2</font>"));
  // Stopped before the second section: one section, and the page still ends properly.
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) {
                            return l.starts_with("<a name=\"") &&
                                   l.find("-List\"><strong>") != std::string::npos;
                          }),
            1);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "</body>");
  EXPECT_EQ(lines.back(), "</html>");
}

TEST(Report, FiltersKeepTheUnitAndShowShortDatesAndDays) {
  struct Case {
    std::optional<search::SizeFilter> size;
    std::optional<search::DateFilter> date;
    std::string sizeValue, sizeUnit, first, second, days;
  };
  // The tests run in the C locale: short dates are MM/DD/YYYY.
  const Case cases[] = {
      {search::sizeFilterOf(true, 1000, false), search::betweenDates({2024, 2, 29}, {2025, 1, 9}),
       "1000", "KB", "02/29/2024", "01/09/2025", ""},
      {search::sizeFilterOf(false, 2000, true), search::newerThan(1.5), "2000", "MB", "", "",
       "1.5"},
      {search::sizeFilterOf(false, 0, true), search::newerThan(100000), "0", "MB", "", "",
       "100000"},
      {search::sizeFilterOf(true, 2147483647, true), std::nullopt, "2147483647", "MB", "", "", ""},
  };
  for (const Case& k : cases) {
    search::SearchRequest request;
    request.sizeFilter = k.size;
    request.dateFilter = k.date;
    const ReportConditions c = conditionsOf(request, "s");
    SCOPED_TRACE(k.sizeValue + " " + k.sizeUnit);
    ASSERT_TRUE(c.size.has_value());
    EXPECT_EQ(c.size->maximum, k.size->kind == search::SizeFilter::Kind::Maximum);
    EXPECT_EQ(c.size->value, k.sizeValue);
    EXPECT_EQ(c.size->unit, k.sizeUnit);
    ASSERT_EQ(c.date.has_value(), k.date.has_value());
    if (!c.date) continue;
    EXPECT_EQ(c.date->between, !k.first.empty());
    if (c.date->between) {
      EXPECT_EQ(c.date->first, k.first);
      EXPECT_EQ(c.date->second, k.second);
    } else {
      EXPECT_EQ(c.date->days, k.days);
    }
  }
}

TEST(Report, MultilineQueryAndSearchAndReplaceConditions) {
  ReportConditions c;
  c.stamp = "s";
  c.folderText = "/p";
  c.masksText = "*.c";
  c.origin = search::Origin::SearchAndReplace;
  c.createBackups = true;
  c.queryType = search::QueryType::RegExpr;
  c.dotMatchesLineSeparators = true;
  c.searchEachLine = true;
  c.multiLineQuery = true;
  c.queryLines = {"a<", "b"};
  c.ignoredFiles = std::vector<std::string>{" *.o ", "  "};
  ReportInput input{c, {}, {}};
  const auto lines = testing::crlfLines(reportPage(input, {}));
  const std::string blue = "<font color=\"#0000FF\">";
  const std::vector<std::string> conditions(lines.begin() + 12, lines.begin() + 24);
  const std::vector<std::string> expected = {
      "Path: " + blue + "/p</font>",
      "Include Subfolders:" + blue + " ON </font>",
      "Masks: " + blue + "*.c</font>",
      "Ignore Files:" + blue + " ON </font>",
      "File Ignore List:",
      blue + "*.o</font>",
      "Tab: " + blue + "Search and Replace </font>(Search Backup Files: " + blue + "Cannot</font>)",
      "Query Type:" + blue + " Reg Expr</font>",
      "\".\" Matches Line Separators Too: " + blue + "ON</font>",
      "Search within Each Single Line: " + blue + " ON</font>",
      "To Search: <code>",
      "a&lt;"};
  EXPECT_EQ(conditions, expected);
  EXPECT_EQ(lines[24], "b</code>");
  EXPECT_EQ(lines[25], "<strong>Files in List: </strong>" + blue + "0</font>");
}

}  // namespace
}  // namespace kestrix::results

namespace kestrix::results {
namespace {

// A digit run made "N", so that anchors of any row compare equal.
std::string withNumbersAsN(const std::string& tag) {
  std::string out;
  for (std::size_t i = 0; i < tag.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(tag[i]))) {
      if (out.empty() || out.back() != 'N') out += 'N';
      continue;
    }
    out += tag[i];
  }
  return out;
}

// Parses `page` into tags and text: every tag must be one the pages write themselves, and the
// text between tags holds no ">" or quote and no "&" but those of the four escapes.
void expectOnlyOwnMarkup(const std::string& page, const std::string& shown) {
  static const std::set<std::string> kOwnTags = {"<html>",
                                                 "</html>",
                                                 "<head>",
                                                 "</head>",
                                                 "<Title>",
                                                 "</Title>",
                                                 "<body>",
                                                 "</body>",
                                                 "<pre>",
                                                 "</pre>",
                                                 "</div>",
                                                 "<div align=center>",
                                                 "<style type=\"text/css\">",
                                                 "</style>",
                                                 "<strong>",
                                                 "</strong>",
                                                 "<code>",
                                                 "</code>",
                                                 "</font>",
                                                 "<font color=\"#NFF\">",
                                                 "</a>",
                                                 "<a name=\"N\">",
                                                 "<a name=\"N-List\">",
                                                 "<a href=\"#N\">",
                                                 "<a href=\"#N-List\">"};
  std::size_t pos = 0;
  while (pos < page.size()) {
    const std::size_t open = page.find('<', pos);
    const std::string text = page.substr(pos, open == std::string::npos ? open : open - pos);
    EXPECT_EQ(text.find_first_of(">\""), std::string::npos) << shown << ": text " << text;
    for (std::size_t amp = text.find('&'); amp != std::string::npos;
         amp = text.find('&', amp + 1)) {
      const std::string_view rest = std::string_view(text).substr(amp);
      const bool entity = rest.starts_with("&amp;") || rest.starts_with("&lt;") ||
                          rest.starts_with("&gt;") || rest.starts_with("&quot;");
      EXPECT_TRUE(entity) << shown << ": text " << text;
    }
    if (open == std::string::npos) break;
    const std::size_t close = page.find('>', open);
    ASSERT_NE(close, std::string::npos) << shown << ": unclosed tag at " << page.substr(open);
    const std::string tag = page.substr(open, close - open + 1);
    EXPECT_TRUE(kOwnTags.count(withNumbersAsN(tag))) << shown << ": tag " << tag;
    pos = close + 1;
  }
}

// A tree whose folder names, file names, extensions (shown as type names) and contents hold
// markup: the report, the lines page and the context page of each file show all of it as
// text, never as elements.
TEST(Report, HostileNamesAndContentsNeverBecomeMarkup) {
  testing::TempTree tree;
  const std::string hostile = "<IMG SRC=X ONERROR=alert(1)>";
  const std::string content = "<script>alert(\"hit\")</script> & hit &amp; '<b>\n";
  tree.write("a." + hostile, content);
  tree.write("<b dir=\"x\">&/\"q\" & <i>.txt", "<a href=javascript:x>hit</a>\n" + content);
  tree.write("plain.<x&y>", "hit\n");
  search::SearchRequest request = testing::phraseRequest(tree.path(), "hit");
  const ReportRun run = report(request);
  ASSERT_EQ(run.items.size(), 3u);
  expectOnlyOwnMarkup(run.page, "report");
  EXPECT_NE(run.page.find("&lt;IMG SRC=X ONERROR=alert(1)&gt;"), std::string::npos);
  for (const search::ResultItem& item : run.items) {
    const search::FoundLines lines = search::fillFoundLines(request, item.path, item.name).lines;
    expectOnlyOwnMarkup(linesPage(lines), "lines page of " + item.name);
    std::vector<std::string> fileLines;
    std::ifstream in(item.path + "/" + item.name, std::ios::binary);
    for (std::string line; std::getline(in, line);) fileLines.push_back(line);
    expectOnlyOwnMarkup(contextPage(lines, fileLines, 3), "context page of " + item.name);
  }
}

}  // namespace
}  // namespace kestrix::results
