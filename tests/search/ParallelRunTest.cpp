// Runs on several threads give the observer the same calls in the same order as one
// thread, stop when asked, leave no thread behind, and survive files that vanish or turn
// into FIFOs while the workers read.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "TempTree.h"
#include "search/FileMatcher.h"
#include "search/FileTester.h"
#include "search/Find.h"

namespace kestrix::search {
namespace {

using kestrix::testing::TempTree;

// Every observer call, as one line each, in the order they came.
class EventLog : public SearchObserver {
 public:
  void folderEntered(const std::string& path) override { events.push_back("D " + path); }
  void fileTested(const std::string& full) override {
    events.push_back("T " + full);
    if (onTested) onTested(full);
  }
  void resultAdded(const ResultItem& item) override {
    events.push_back("R " + item.fullName() + " " + search::foundCellText(item) + " " + item.size);
    listed.push_back(item.fullName());
  }
  void warning(const std::string& caption, const std::string& text) override {
    events.push_back("W " + caption + " " + text);
  }
  bool poll() override { return stopWhen && stopWhen(*this); }

  std::vector<std::string> events;
  std::vector<std::string> listed;
  std::function<bool(const EventLog&)> stopWhen;
  std::function<void(const std::string&)> onTested;
};

// A few thousand small files in nested folders, with texts drawn from a few words.
class ParallelRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tree_ = new TempTree;
    std::mt19937 rng(7);
    const char* words[] = {"alpha", "beta", "gamma", "Alpha", "x_beta", "\r\n", "\n", " ", "\r"};
    for (int i = 0; i < 2400; ++i) {
      std::string text;
      const int pieces = static_cast<int>(rng() % 60);
      for (int k = 0; k < pieces; ++k) text += words[rng() % 9];
      if (i % 97 == 0) text += std::string("\0alpha", 6);
      const std::string folder = "d" + std::to_string(i % 7) + "/e" + std::to_string(i % 13);
      tree_->write(folder + "/f" + std::to_string(i) + (i % 5 ? ".txt" : ".log"), text);
    }
  }
  static void TearDownTestSuite() {
    delete tree_;
    tree_ = nullptr;
  }

  static SearchRequest request(QueryType type, std::vector<std::string> lines) {
    SearchRequest r;
    r.folder = tree_->path();
    r.queryType = type;
    if (usesQueryLines(type)) {
      r.queryLines = std::move(lines);
    } else {
      r.queryText = lines.empty() ? std::string() : lines.front();
    }
    return r;
  }

  static TempTree* tree_;
};

TempTree* ParallelRun::tree_ = nullptr;

int threadsOfProcess() {
  int count = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
    ++count;
  return count;
}

// The threads of this process once every joined thread is gone: a joined thread may stay
// listed for a moment while the kernel finishes its exit, so wait up to five seconds for the
// count to come down to `expected`.
int threadsOfProcessSettled(int expected) {
  int count = threadsOfProcess();
  for (int i = 0; i < 500 && count > expected; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    count = threadsOfProcess();
  }
  return count;
}

// The threads of this process once a parallel run has been made (a sanitizer may start
// a thread of its own with the first one).
int threadsAfterARun(const SearchRequest& r) {
  EventLog log;
  runFind(r, log, nullptr, 2);
  return threadsOfProcess();
}

TEST_F(ParallelRun, SameCallsInTheSameOrderForAnyNumberOfThreads) {
  struct Case {
    const char* name;
    QueryType type;
    std::vector<std::string> query;
    bool wholeWords = false;
    bool caseSensitive = false;
    const char* masks = "*.*";
  };
  const Case cases[] = {
      {"phrase", QueryType::Phrase, {"alpha"}},
      {"phrase case", QueryType::Phrase, {"Alpha"}, false, true},
      {"whole words", QueryType::WordsOr, {"beta gamma"}, true},
      {"and", QueryType::WordsAnd, {"alpha gamma"}},
      {"engine", QueryType::SearchEngine, {"+alpha -gamma \"beta alpha\""}},
      {"engine negative", QueryType::SearchEngine, {"-beta"}},
      {"empty query", QueryType::Phrase, {}, false, false, "*.log"},
      {"multiline", QueryType::Multiline, {"alpha", "beta"}},
      {"regex lines", QueryType::RegExpr, {"^a[a-z]+a"}},
      {"regex whole text", QueryType::RegExpr, {"a\\r\\nb"}},
      {"regex error", QueryType::RegExpr, {"a("}},
  };
  const int threadsBefore = threadsAfterARun(request(QueryType::Phrase, {"beta"}));
  for (const Case& c : cases) {
    SearchRequest r = request(c.type, c.query);
    r.wholeWords = c.wholeWords;
    r.caseSensitive = c.caseSensitive;
    r.masksText = c.masks;
    EventLog one;
    const FindOutcome first = runFind(r, one, nullptr, 1);
    for (unsigned threads : {2u, 8u}) {
      SCOPED_TRACE(std::string(c.name) + ", threads " + std::to_string(threads));
      EventLog many;
      const FindOutcome outcome = runFind(r, many, nullptr, threads);
      EXPECT_EQ(many.events, one.events);
      EXPECT_EQ(outcome.foundCount, first.foundCount);
      EXPECT_EQ(outcome.nameOnlyListing, first.nameOnlyListing);
      EXPECT_EQ(outcome.error.has_value(), first.error.has_value());
      EXPECT_EQ(threadsOfProcessSettled(threadsBefore),
                threadsBefore);  // no worker outlives its run
    }
    if (std::string(c.name) != "regex error") {
      EXPECT_GT(first.foundCount, 0u) << c.name;
    }
  }
}

TEST_F(ParallelRun, StopEndsTheRunWithWhatWasListedInOrder) {
  SearchRequest r = request(QueryType::Phrase, {"a"});
  EventLog all;
  runFind(r, all, nullptr, 1);
  ASSERT_GT(all.listed.size(), 100u);
  for (unsigned threads : {2u, 8u}) {
    SCOPED_TRACE(threads);
    EventLog log;
    log.stopWhen = [](const EventLog& l) { return l.listed.size() >= 20; };
    const int threadsBefore = threadsAfterARun(r);
    const FindOutcome outcome = runFind(r, log, nullptr, threads);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_GE(log.listed.size(), 20u);
    EXPECT_LT(log.listed.size(), all.listed.size());
    EXPECT_EQ(outcome.foundCount, log.listed.size());
    // What was listed is the start of the full list.
    EXPECT_TRUE(std::equal(log.listed.begin(), log.listed.end(), all.listed.begin()));
    EXPECT_EQ(threadsOfProcessSettled(threadsBefore), threadsBefore);
  }
}

// While the workers run, the files not yet reported are deleted or replaced by FIFOs
// (opening a FIFO for reading would block without O_NONBLOCK). The run ends normally, the
// files left alone are all listed, and the order stays the walk order.
TEST(ParallelRunChanges, FilesDeletedOrTurnedIntoFifosWhileWorkersRun) {
  TempTree tree;
  for (int i = 0; i < 600; ++i) {
    tree.write("s" + std::to_string(i % 4) + "/f" + std::to_string(i) + ".txt", "needle\n");
  }
  SearchRequest r;
  r.folder = tree.path();
  r.queryText = "needle";
  EventLog before;
  runFind(r, before, nullptr, 1);
  ASSERT_EQ(before.listed.size(), 600u);

  EventLog log;
  std::vector<std::string> kept;
  log.onTested = [&](const std::string& first) {
    if (!kept.empty()) return;
    const auto at = std::find(before.listed.begin(), before.listed.end(), first);
    kept.assign(before.listed.begin(), at + 1);
    for (auto it = at + 1; it != before.listed.end(); ++it) {
      const long n = it - at;
      if (n % 3 == 0) {
        kept.push_back(*it);
      } else {
        ::unlink(it->c_str());
        if (n % 3 == 1) {
          ASSERT_EQ(::mkfifo(it->c_str(), 0644), 0);
        }
      }
    }
  };
  const FindOutcome outcome = runFind(r, log, nullptr, 8);
  EXPECT_FALSE(outcome.error.has_value());
  EXPECT_FALSE(outcome.stopped);
  // Every file left alone is listed; the rest may have been read before they changed.
  std::vector<std::string> sortedKept = kept, sortedListed = log.listed;
  std::sort(sortedKept.begin(), sortedKept.end());
  std::sort(sortedListed.begin(), sortedListed.end());
  EXPECT_TRUE(std::includes(sortedListed.begin(), sortedListed.end(), sortedKept.begin(),
                            sortedKept.end()));
  // The listed files come in the walk order of the run before.
  auto next = before.listed.begin();
  for (const std::string& name : log.listed) {
    next = std::find(next, before.listed.end(), name);
    ASSERT_NE(next, before.listed.end()) << name << " out of order";
  }
}

// A slow file at the front of a full window while the workers finish many small files
// behind it: the calling thread waits for the batch, then for the slow file, and the
// order stays the walk order.
TEST(ParallelRunWindow, SlowFileAheadOfManySmallOnes) {
  TempTree tree;
  std::string big;
  while (big.size() < (std::size_t{3} << 20)) big += "alpha beta gamma delta\n";
  tree.write("a/0big.txt", big);
  std::size_t withAlpha = 2;
  for (int i = 0; i < 2 * static_cast<int>(FileTester::kWindow); ++i) {
    tree.write("a/f" + std::to_string(i) + ".txt", i % 3 ? "beta\n" : "alpha\n");
    withAlpha += i % 3 == 0;
  }
  tree.write("b/big.txt", big);
  SearchRequest r;
  r.folder = tree.path();
  r.queryText = "alpha";
  EventLog one;
  runFind(r, one, nullptr, 1);
  ASSERT_EQ(one.listed.size(), withAlpha);
  for (unsigned threads : {2u, 8u}) {
    EventLog many;
    runFind(r, many, nullptr, threads);
    EXPECT_EQ(many.events, one.events) << "threads " << threads;
  }
}

// Files big enough to be split across the workers give the counts of one thread: words
// across range borders, a NUL in the middle of a file, an excluded word far into a file.
TEST(ParallelRunBigFiles, SplitFilesCountAsOneThread) {
  TempTree tree;
  const std::size_t size = 2 * FileMatcher::kSplitThreshold + 12345;
  std::string text;
  text.reserve(size);
  while (text.size() < size) text += "alpha beta\nalphalpha ";
  for (std::uint64_t border = FileMatcher::kSplitRange; border < size;
       border += FileMatcher::kSplitRange) {
    text.replace(border - 3, 6, "gamma_");
  }
  tree.write("a/plain.txt", text);
  std::string withNul = text;
  withNul[size / 2 + 1] = '\0';
  tree.write("b/nul.txt", withNul);
  std::string withZeta = text;
  withZeta.replace(size - 100, 4, "zeta");
  tree.write("c/zeta.txt", withZeta);
  tree.write("c/small.txt", "alpha zeta gamma\n");

  struct Query {
    QueryType type;
    std::string text;
    bool wholeWords;
  };
  const std::vector<Query> queries = {
      {QueryType::Phrase, "alpha", false},
      {QueryType::Phrase, "alphalpha", true},
      {QueryType::WordsOr, "gamma beta", true},
      {QueryType::SearchEngine, "+alpha -zeta", false},
  };
  for (const auto& [type, query, wholeWords] : queries) {
    {
      SearchRequest r;
      r.folder = tree.path();
      r.queryType = type;
      r.queryText = query;
      r.wholeWords = wholeWords;
      EventLog one;
      runFind(r, one, nullptr, 1);
      EXPECT_FALSE(one.listed.empty()) << query;
      for (unsigned threads : {2u, 4u}) {
        EventLog many;
        runFind(r, many, nullptr, threads);
        EXPECT_EQ(many.events, one.events) << query << " threads " << threads;
      }
    }
  }
}

}  // namespace
}  // namespace kestrix::search
