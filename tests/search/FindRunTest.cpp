// The Find run over real folders: filters, walk order, matchers, rows, errors and stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include <sys/mman.h>
#include <unistd.h>

#include "TempTree.h"
#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/Find.h"

namespace kestrix::search {
namespace {

using kestrix::testing::TempTree;

class Recorder : public SearchObserver {
 public:
  void resultAdded(const ResultItem& item) override { items.push_back(item); }
  void fileTested(const std::string& full) override {
    tested.push_back(full);
    if (slowFiles) ::usleep(20000);
  }
  void warning(const std::string& c, const std::string& t) override { warnings.push_back(c + t); }
  bool poll() override { return ++polls > stopAfterPolls; }

  // Names (relative to `root`) of the listed files, sorted, with their Found cells.
  std::vector<std::string> listed(const std::string& root) const {
    std::vector<std::string> out;
    for (const ResultItem& i : items) {
      std::string rel = i.fullName().substr(root.size() + 1);
      out.push_back(search::foundCellText(i).empty() ? rel : rel + "=" + search::foundCellText(i));
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  std::vector<ResultItem> items;
  std::vector<std::string> tested;
  std::vector<std::string> warnings;
  int polls = 0;
  int stopAfterPolls = 1 << 30;
  bool slowFiles = false;  // each file takes 20 ms, so a poll is due after it
};

using Names = std::vector<std::string>;

SearchRequest requestFor(const TempTree& tree, QueryType type, std::string query) {
  SearchRequest r;
  r.folder = tree.path();
  r.queryType = type;
  if (type == QueryType::Multiline || type == QueryType::RegExpr) {
    std::size_t start = 0;
    while (start <= query.size()) {
      std::size_t lf = std::min(query.find('\n', start), query.size());
      r.queryLines.push_back(query.substr(start, lf - start));
      start = lf + 1;
    }
  } else {
    r.queryText = std::move(query);
  }
  return r;
}

Names run(const TempTree& tree, const SearchRequest& request, Recorder* out = nullptr) {
  Recorder local;
  Recorder& rec = out ? *out : local;
  FindOutcome outcome = runFind(request, rec);
  if (outcome.error) ADD_FAILURE() << outcome.error->text();
  return rec.listed(tree.path());
}

TEST(FindRun, LineMatcherQueryTypes) {
  TempTree tree;
  tree.write("a.txt", "apple pie\nbig tree\n");
  tree.write("b.txt", "apple\n");
  tree.write("c.txt", "x only\n");
  tree.write("bin.txt", std::string("\0apple", 6));
  tree.write("sub/d.txt", "Apple APPLE apple\n");
  struct Case {
    QueryType type;
    const char* query;
    bool wholeWords;
    Names listed;
  };
  const Case cases[] = {
      {QueryType::Phrase, "apple", false, {"a.txt=1", "b.txt=1", "sub/d.txt=3"}},
      {QueryType::WordsOr, "pie tree", false, {"a.txt=1, 1"}},
      {QueryType::WordsAnd, "apple tree", false, {"a.txt=1, 1"}},
      {QueryType::SearchEngine,
       "+apple -pie \"big tree\"",
       false,
       {"b.txt=1, 0, 0", "sub/d.txt=3, 0, 0"}},
      {QueryType::SearchEngine, "-x", false, {"a.txt=0", "b.txt=0", "bin.txt=0", "sub/d.txt=0"}},
      {QueryType::Phrase, "app", true, {}},
      {QueryType::Phrase, "e\nb", false, {}},  // a line never holds a break
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    SearchRequest r = requestFor(tree, c.type, c.query);
    r.wholeWords = c.wholeWords;
    EXPECT_EQ(run(tree, r), c.listed);
  }
}

TEST(FindRun, BlockAndExpressionMatchers) {
  TempTree tree;
  tree.write("abab.txt", "a\nb\na\nb\n");
  tree.write("aab.txt", "a\r\na\rb");
  tree.write("trim.txt", "  x\t\nY\n");
  struct Case {
    QueryType type;
    const char* query;
    Names listed;
  };
  const Case cases[] = {
      {QueryType::Multiline, "a\nb", {"aab.txt=1", "abab.txt=2"}},
      {QueryType::Multiline, "  X\ny", {"trim.txt=1"}},
      {QueryType::RegExpr, "^a", {"aab.txt=2", "abab.txt=2"}},
      {QueryType::RegExpr, "a\\r\\nb", {"aab.txt=1", "abab.txt=2"}},
      {QueryType::RegExpr, ".*x", {"trim.txt=1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    EXPECT_EQ(run(tree, requestFor(tree, c.type, c.query)), c.listed);
  }
}

TEST(FindRun, FiltersInTheirOrder) {
  TempTree tree;
  tree.write("small.txt", std::string(100000, 'x'));
  tree.write("large.txt", std::string(100001, 'x'));
  tree.write("Makefile", "x");
  tree.write("x.bak", "x");
  tree.write("x.BAK", "x");
  tree.write("old.txt", "x");
  tree.touch("old.txt", 86400 * 365);  // 1971-01-01
  struct Case {
    const char* name;
    std::function<void(SearchRequest&)> set;
    Names listed;
  };
  const Case cases[] = {
      {"max 100 KB",
       [](SearchRequest& r) {
         r.sizeFilter = SizeFilter{SizeFilter::Kind::Maximum, 100000};
       },
       {"Makefile", "old.txt", "small.txt", "x.BAK", "x.bak"}},
      {"min 100001",
       [](SearchRequest& r) {
         r.sizeFilter = SizeFilter{SizeFilter::Kind::Minimum, 100001};
       },
       {"large.txt"}},
      {"dotless", [](SearchRequest& r) { r.masksText = "*."; }, {"Makefile"}},
      {"backups from replace tab",
       [](SearchRequest& r) {
         r.createBackups = true;
         r.origin = Origin::SearchAndReplace;
       },
       {"Makefile", "large.txt", "old.txt", "small.txt", "x.BAK"}},
      {"backups from find tab",
       [](SearchRequest& r) { r.createBackups = true; },
       {"Makefile", "large.txt", "old.txt", "small.txt", "x.BAK", "x.bak"}},
      {"newer than 1 day",
       [](SearchRequest& r) {
         r.dateFilter = DateFilter{DateFilter::Kind::NewerThan, {}, {}, 1.0};
       },
       {"Makefile", "large.txt", "small.txt", "x.BAK", "x.bak"}},
      {"newer than 0 days",
       [](SearchRequest& r) {
         r.dateFilter = DateFilter{DateFilter::Kind::NewerThan, {}, {}, 0.0};
       },
       {}},
      {"between 1970 and 1971",
       [](SearchRequest& r) {
         r.dateFilter = DateFilter{DateFilter::Kind::Between, {1970, 12, 31}, {1971, 1, 2}, 0};
       },
       {"old.txt"}},
      {"ignored files",
       [](SearchRequest& r) {
         r.ignoredFiles = std::vector<std::string>{"*.txt", "*."};
       },
       {"x.BAK", "x.bak"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SearchRequest r = requestFor(tree, QueryType::Phrase, "");
    c.set(r);
    EXPECT_EQ(run(tree, r), c.listed);
  }
}

TEST(FindRun, MasksTestEachFileOnceAndWalkIsPreOrder) {
  TempTree tree;
  tree.write("a.txt", "x");
  tree.write("s/b.txt", "x");
  tree.write("s/t/c.txt", "x");
  tree.write("s/z.txt", "x");
  std::filesystem::create_directory_symlink(tree.path(), tree.at("s/loop"));
  SearchRequest r = requestFor(tree, QueryType::Phrase, "x");
  r.masksText = "*.txt;*.*";
  Recorder rec;
  EXPECT_EQ(run(tree, r, &rec), (Names{"a.txt=1", "s/b.txt=1", "s/t/c.txt=1", "s/z.txt=1"}));
  EXPECT_EQ(rec.tested.size(), 4u);
  // Pre-order: everything under s/ is contiguous in the walk.
  std::vector<std::string> order;
  for (const auto& i : rec.items) order.push_back(i.path.substr(tree.path().size()));
  auto firstS = std::find(order.begin(), order.end(), "/s");
  auto lastS = std::find(order.rbegin(), order.rend(), "/s").base();
  for (auto it = firstS; it != lastS; ++it) EXPECT_NE(*it, "") << "root file inside s/ run";

  r.includeSubfolders = false;
  EXPECT_EQ(run(tree, r), (Names{"a.txt=1"}));
}

TEST(FindRun, IgnoredFolders) {
  TempTree tree;
  tree.write("tmp/a.txt", "x");
  tree.write("tmp/sub/b.txt", "x");
  tree.write("c.txt", "x");
  SearchRequest r = requestFor(tree, QueryType::Phrase, "");
  r.ignoredFolders = IgnoredFolders{{tree.at("tmp")}, false};
  EXPECT_EQ(run(tree, r), (Names{"c.txt", "tmp/sub/b.txt"}));
  r.ignoredFolders->ignoreSubfolders = true;
  EXPECT_EQ(run(tree, r), (Names{"c.txt"}));
}

TEST(FindRun, RowCellsAndOutcome) {
  TempTree tree;
  tree.write("f.txt", std::string(50, 'q'));
  SearchRequest r = requestFor(tree, QueryType::Phrase, "Q");
  r.folder = tree.path() + "/  ";
  r.folder = "  " + tree.path() + "/";
  r.resultColumnShown = true;
  Recorder rec;
  FindOutcome out = runFind(r, rec);
  ASSERT_EQ(rec.items.size(), 1u);
  const ResultItem& item = rec.items[0];
  EXPECT_EQ(item.name, "f.txt");
  EXPECT_EQ(item.path, tree.path());
  EXPECT_EQ(search::foundCellText(item), "50");
  EXPECT_EQ(item.size, "0.050 KB");
  EXPECT_EQ(item.type, "TXT File");
  EXPECT_EQ(search::resultWord(item.outcome.result), "Found");
  EXPECT_EQ(item.sizeBytes, 50);
  EXPECT_EQ(item.hits, (std::vector<std::int64_t>{50}));
  EXPECT_EQ(item.intervalFrom, 0);
  EXPECT_EQ(out.folder, tree.path());
  EXPECT_EQ(out.statusText, "Found File:    1");
  EXPECT_FALSE(out.nameOnlyListing);

  r.queryText.clear();
  out = runFind(r, rec);
  EXPECT_TRUE(out.nameOnlyListing);
  EXPECT_EQ(search::foundCellText(rec.items.back()), "");
  r.queryText = "absent";
  out = runFind(r, rec);
  EXPECT_EQ(out.statusText, "Not Found");
}

TEST(FindRun, ValidationAndRunEndingErrors) {
  TempTree tree;
  tree.write("a.txt", "x");
  struct Case {
    const char* name;
    std::function<void(SearchRequest&)> set;
    const char* caption;
    const char* text;
    bool thrown;  // before the run began
  };
  const Case cases[] = {
      {"no path", [](SearchRequest& r) { r.folder = "  "; }, "Find", "Please specify the Path",
       true},
      {"no mask",
       [](SearchRequest& r) {
         r.masksText = " ";
         r.origin = Origin::SearchAndReplace;
       },
       "Search", "Please specify the Mask", true},
      {"masks", [](SearchRequest& r) { r.masksText = std::string(99, ';'); }, kProgramCaption,
       "Too many masks", false},
      {"long query", [](SearchRequest& r) { r.queryText = std::string(4001, 'x'); },
       kProgramCaption, "The query is too long", false},
      {"missing quote",
       [](SearchRequest& r) {
         r.queryType = QueryType::SearchEngine;
         r.queryText = "\"x";
       },
       "Find", "Missing   \"", false},
      {"bad expression",
       [](SearchRequest& r) {
         r.queryType = QueryType::RegExpr;
         r.queryLines = {"a("};
       },
       kRegexCaption, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SearchRequest r = requestFor(tree, QueryType::Phrase, "x");
    c.set(r);
    Recorder rec;
    try {
      FindOutcome out = runFind(r, rec);
      EXPECT_FALSE(c.thrown);
      ASSERT_TRUE(out.error.has_value());
      EXPECT_EQ(out.error->caption(), c.caption);
      const std::string expected = c.text ? c.text : "Error: ";
      EXPECT_EQ(out.error->text().substr(0, c.text ? std::string::npos : 7), expected);
      EXPECT_TRUE(rec.items.empty());
    } catch (const SearchError& e) {
      EXPECT_TRUE(c.thrown);
      EXPECT_EQ(e.caption(), c.caption);
      EXPECT_EQ(e.text(), c.text);
    }
  }
  SearchRequest inResults = requestFor(tree, QueryType::Phrase, "x");
  inResults.folder.clear();
  inResults.searchInResults = true;
  inResults.ignoredFiles = std::vector<std::string>{"a.txt"};  // not used on the list
  const std::vector<std::string> snapshot = {tree.at("a.txt"), tree.at("gone.txt")};
  Recorder rec;
  FindOutcome out = runFind(inResults, rec, &snapshot);
  EXPECT_FALSE(out.error.has_value());
  EXPECT_EQ(rec.listed(tree.path()), (Names{"a.txt=1"}));
}

TEST(FindRun, StopKeepsWhatWasFoundAndUnreadableFilesAreSkipped) {
  TempTree tree;
  for (int i = 0; i < 50; ++i) tree.write("f" + std::to_string(i) + ".txt", "x");
  std::filesystem::create_symlink(tree.at("nowhere"), tree.at("dangling.txt"));
  SearchRequest r = requestFor(tree, QueryType::Phrase, "x");
  Recorder rec;
  rec.stopAfterPolls = 0;  // the first poll asks to stop
  rec.slowFiles = true;
  FindOutcome out = runFind(r, rec);
  EXPECT_TRUE(out.stopped);
  EXPECT_LT(rec.items.size(), 50u);
  EXPECT_EQ(out.foundCount, rec.items.size());

  Recorder all;
  EXPECT_EQ(runFind(r, all).foundCount, 50u);
}

}  // namespace
}  // namespace kestrix::search

namespace kestrix::search {
namespace {

// The streaming term scan of a run agrees with the line-by-line scan of FillFoundLines on
// files much larger than the scan window, with hits across window borders.
TEST(FindRun, StreamedScanAgreesWithLineScan) {
  TempTree tree;
  std::mt19937 rng(11);
  const std::vector<std::string> pieces = {"ab",   "AB",  "abab", " ",  "\n", "\r\n",
                                           "x_ab", "ab1", "-",    "ba", "\r"};
  for (int file = 0; file < 4; ++file) {
    std::string text;
    while (text.size() < 300000) text += pieces[rng() % pieces.size()];
    if (file == 3) text[200000] = '\0';  // the text ends at the NUL, past the first window
    tree.write("f" + std::to_string(file) + ".txt", text);
  }
  for (const char* query : {"ab", "abab b ab"}) {
    for (bool whole : {false, true}) {
      SCOPED_TRACE(std::string(query) + (whole ? " whole" : ""));
      SearchRequest r = requestFor(tree, QueryType::WordsOr, query);
      r.wholeWords = whole;
      Recorder rec;
      runFind(r, rec);
      ASSERT_EQ(rec.items.size(), 4u);
      for (const ResultItem& item : rec.items) {
        SCOPED_TRACE(item.name);
        EXPECT_EQ(search::foundCellText(item),
                  search::foundText(fillFoundLines(r, item.path, item.name).hits));
      }
    }
  }
}

}  // namespace
}  // namespace kestrix::search

namespace kestrix::search {
namespace {

// The one-pass rejection of files for line-by-line expressions never loses a file: the run
// lists exactly the files whose found lines hold matches.
TEST(FindRun, ExpressionRunAgreesWithFoundLines) {
  TempTree tree;
  tree.write("a.txt", "int x;\r\nstruct s {\rend\n\nstruct t{\n");
  tree.write("b.txt", "no struct here\nx\r");
  tree.write("c.txt", "");
  tree.write("d.txt", "abc\r\nxyz");
  for (const char* expression :
       {"^struct", "t$", "c$", "^x", "[a-z]+ [{]", "x;?$", "^$", "\\bx", "[^a]x", "z$", "e.d"}) {
    SCOPED_TRACE(expression);
    SearchRequest r = requestFor(tree, QueryType::RegExpr, expression);
    Recorder rec;
    FindOutcome out = runFind(r, rec);
    ASSERT_FALSE(out.error.has_value()) << out.error->text();
    Names expected;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) {
      const FillOutcome fill = fillFoundLines(r, tree.path(), name);
      if (fill.hits[0] > 0)
        expected.push_back(std::string(name) + "=" + search::foundText(fill.hits));
    }
    EXPECT_EQ(rec.listed(tree.path()), expected);
  }
}

}  // namespace
}  // namespace kestrix::search

namespace kestrix::search {
namespace {

// Lowers the read cap for one test.
struct ReadCapFor {
  explicit ReadCapFor(std::int64_t bytes) : saved(platform::readCap()) {
    platform::setReadCap(bytes);
  }
  ~ReadCapFor() { platform::setReadCap(saved); }
  std::int64_t saved;
};

// Splits one mapping of this process into `count` alternately readable and inaccessible
// pages, so that /proc/self/maps (size 0, no NUL) is long.
struct ManyMappings {
  explicit ManyMappings(std::size_t count) : size(count * 4096) {
    base = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    for (std::size_t page = 1; page < count; page += 2) {
      ::mprotect(static_cast<char*>(base) + page * 4096, 4096, PROT_NONE);
    }
  }
  ~ManyMappings() { ::munmap(base, size); }
  std::size_t size;
  void* base;
};

// A file larger than the read cap is skipped with the "too large" warning when it is read
// whole; a kernel file that reports size 0 (here one that holds more than the cap) is
// skipped with it under every query type; the run goes on to list the small files after
// them.
TEST(FindRun, OversizedAndEndlessFilesAreSkippedAndTheRunGoesOn) {
  TempTree tree;
  tree.write("a.txt", "x\n");
  tree.write("big.txt", std::string(300000, 'x'));
  std::filesystem::create_symlink("/proc/self/maps", tree.at("endless.txt"));
  tree.write("z.txt", "x\n");
  const ManyMappings mappings(4000);
  const ReadCapFor cap(100000);
  struct Case {
    QueryType type;
    const char* query;
    bool dotAll;
    Names listed;
  };
  const Case cases[] = {
      {QueryType::Phrase, "x", false, {"a.txt=1", "big.txt=300000", "z.txt=1"}},
      {QueryType::Multiline, "x", false, {"a.txt=1", "z.txt=1"}},
      {QueryType::RegExpr, "x", false, {"a.txt=1", "big.txt=300000", "z.txt=1"}},
      {QueryType::RegExpr, "x.", true, {"a.txt=1", "z.txt=1"}},  // whole text
  };
  for (const Case& c : cases) {
    SearchRequest r = requestFor(tree, c.type, c.query);
    r.dotMatchesLineSeparators = c.dotAll;
    Recorder rec;
    const FindOutcome out = runFind(r, rec);
    const std::string shown = std::string(c.query) + (c.dotAll ? " (whole text)" : "");
    EXPECT_FALSE(out.error) << shown << ": " << out.error->text();
    EXPECT_EQ(rec.listed(tree.path()), c.listed) << shown;
    std::vector<const char*> skipped{"endless.txt"};
    if (c.dotAll) skipped.push_back("big.txt");
    EXPECT_EQ(rec.warnings.size(), skipped.size()) << shown;
    for (const char* name : skipped) {
      const bool warned = std::any_of(rec.warnings.begin(), rec.warnings.end(), [&](auto& w) {
        return w.find("Search Error: File " + tree.at(name) + " is too large") != std::string::npos;
      });
      EXPECT_TRUE(warned) << shown << ": " << name;
    }
  }
}

}  // namespace
}  // namespace kestrix::search
