// The undo history: its record format (round trip, cut and damaged frames, unknown
// versions), runs undone one by one to the identical tree, a user's own ".bak", files
// changed since their run, damaged copies, faults injected into every write and rename of
// an undo, and the size cap.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "FileFacts.h"
#include "PassFixture.h"
#include "modify/HistoryUndo.h"
#include "modify/ModifyPass.h"
#include "platform/FaultInjection.h"

namespace kestrix::modify {
namespace {

using ::kestrix::testing::Facts;
using ::kestrix::testing::factsOf;
using ::kestrix::testing::nsOf;
using ::kestrix::testing::readQuietly;
using testing::readBytes;
using testing::RecordingObserver;
using testing::replacePhrase;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

HistoryEntry sampleEntry(const std::string& name) {
  HistoryEntry e;
  e.original = "f000001";
  e.file.fullName = name;
  e.file.before = {12, 0xfedcba9876543210ull};
  e.file.after = {0, 7};
  e.file.afterMtimeNs = 1700000000123456789;
  e.file.mode = 04755;
  e.file.uid = 1000;
  e.file.gid = 4294967294u;
  e.accessNs = -5;
  e.modificationNs = 1600000000000000001;
  e.extendedAttributes = {{"user.a", std::string("v\0\xff\n", 4)}, {"user.empty", ""}};
  e.backupDevice = 2049;
  e.backupInode = 123456789;
  e.backupModificationNs = 1700000000000000000;
  return e;
}

TEST(HistoryFormat, RoundTripCutAndDamagedFramesAndUnknownVersions) {
  const RunHeader header{1765000000, "ksr replace", "/a b", "Replace \"x\" with \"y\""};
  const std::vector<HistoryEntry> entries{sampleEntry("/a b/c.txt"), sampleEntry("/odd\nname\r"),
                                          sampleEntry("/three")};
  std::string bytes = encodeRunHeader(header);
  for (const auto& e : entries) bytes += encodeRunEntry(e);
  const RunRecord back = parseRunRecord(bytes, "000007");
  EXPECT_EQ(back.header, header);
  EXPECT_EQ(back.entries, entries);
  EXPECT_TRUE(back.damaged.empty());

  // A last frame cut short by a crash is ignored, silently.
  for (std::size_t cut : {1u, 10u, 40u}) {
    const RunRecord short_ = parseRunRecord(bytes.substr(0, bytes.size() - cut), "000007");
    EXPECT_EQ(short_.entries.size(), 2u) << cut;
    EXPECT_TRUE(short_.damaged.empty()) << cut;
  }
  // A changed byte inside an entry skips that entry with its reason; the others stay.
  std::string damaged = bytes;
  damaged[damaged.find("/odd") + 2] = 'X';
  const RunRecord skipped = parseRunRecord(damaged, "000007");
  ASSERT_EQ(skipped.entries.size(), 2u);
  EXPECT_EQ(skipped.entries[1].file.fullName, "/three");
  ASSERT_EQ(skipped.damaged.size(), 1u);
  EXPECT_NE(skipped.damaged[0].find("entry 2"), std::string::npos) << skipped.damaged[0];

  // Another version, a damaged first line or header: refused, never read another way.
  struct Refused {
    std::string bytes;
    const char* message;
  };
  std::string badHeader = bytes;
  badHeader[badHeader.find("ksr replace")] = 'K';
  const Refused refused[] = {
      {"KSR-HISTORY 2\n" + bytes.substr(14), "has the format \"2\""},
      {"KSR-HISTORY 1\r" + bytes.substr(14), "damaged header"},
      {"KSR-HISTORX 1\n" + bytes.substr(14), "damaged header"},
      {std::string(), "damaged header"},
      {badHeader, "damaged header"},
  };
  for (const auto& r : refused) {
    try {
      parseRunRecord(r.bytes, "000007");
      ADD_FAILURE() << "accepted: " << r.bytes.substr(0, 16);
    } catch (const HistoryError& e) {
      EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << e.what();
    }
  }
}

std::map<std::string, Facts> snapshot(const std::string& folder) {
  std::map<std::string, Facts> facts;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    struct ::stat st {};
    ::lstat(e.path().c_str(), &st);
    facts[e.path().filename().string()] = factsOf(e.path(), st);
  }
  for (auto& [name, f] : facts) f.bytes = readQuietly(folder + "/" + name);
  return facts;
}

// A tree of five files with their own modes, times and, where the file system has them, an
// attribute.
void makeFiles(const TempFolder& dir, std::vector<search::ResultItem>& rows) {
  const unsigned modes[] = {0644, 0600, 0755, 0444, 0664};
  for (int i = 0; i < 5; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    writeBytes(dir.file(name), "A line " + std::to_string(i) + "\r\nA\n");
    ::setxattr(dir.file(name).c_str(), "user.kept", "v", 1, 0);
    ::chmod(dir.file(name).c_str(), modes[i]);
    const timespec times[2] = {{1600000000 + i, 123456789}, {1500000000 + i, 987654321}};
    ::utimensat(AT_FDCWD, dir.file(name).c_str(), times, 0);
    rows.push_back(rowFor(dir, name));
  }
}

// Parameter: the files are streamed (in pieces of four bytes) instead of rewritten whole.
class HistoryRuns : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    makeFiles(tree_, rows_);
    history_ = data_.file("History");
  }

  // A pass with backups recorded in the history; protected files are changed too.
  PassSummary run(const std::string& from, const std::string& to) {
    ModifyRequest request = replacePhrase(from, to);
    request.modifyReadOnly = true;
    PassOptions options;
    options.refreshHits = false;
    options.historyFolder = history_;
    options.historyHeader.origin = "test";
    options.searchedFolder = tree_.path();
    if (GetParam()) {
      options.streamFromBytes = 1;
      options.streamPieceBytes = 4;
    }
    UndoJournal journal;
    std::vector<search::ResultItem> rows = rows_;
    return runModifyPass(request, rows, {}, journal, observer_, options);
  }

  UndoSummary undoLatest(const HistoryUndoOptions& options = {}) {
    const auto id = latestUndoableRun(history_, tree_.path());
    EXPECT_TRUE(id.has_value());
    std::vector<search::ResultItem> rows = rows_;
    return undoRun(history_, id.value_or(""), rows, observer_, options);
  }

  TempFolder tree_, data_;
  std::string history_;
  std::vector<search::ResultItem> rows_;
  RecordingObserver observer_;
};

TEST_P(HistoryRuns, ThreeRunsAreUndoneOneByOneToTheIdenticalTree) {
  std::vector<std::map<std::string, Facts>> states{snapshot(tree_.path())};
  const char* steps[][2] = {{"A", "B"}, {"B", "CC"}, {"CC", "D"}};
  for (const auto& step : steps) {
    EXPECT_FALSE(run(step[0], step[1]).historyRun.empty());
    states.push_back(snapshot(tree_.path()));
  }
  EXPECT_EQ(readBytes(tree_.file("f1.txt")), "D line 1\r\nD\n");
  // Each undo gives back the state before its run, times and attributes included; the
  // ".bak" of the latest run goes with it.
  for (int back = 2; back >= 0; --back) {
    const UndoSummary summary = undoLatest();
    EXPECT_EQ(summary.outcomes.size(), 5u);
    for (const auto& o : summary.outcomes) EXPECT_TRUE(o.undone) << o.fullName << o.reason;
    auto now = snapshot(tree_.path());
    std::erase_if(now, [](const auto& kv) { return kv.first.ends_with(".bak"); });
    auto expected = states[static_cast<std::size_t>(back)];
    std::erase_if(expected, [](const auto& kv) { return kv.first.ends_with(".bak"); });
    EXPECT_EQ(now, expected) << "after undoing run " << back + 1;
  }
  EXPECT_EQ(snapshot(tree_.path()), states[0]) << "no .bak is left";
  EXPECT_FALSE(latestUndoableRun(history_, tree_.path()));
  for (const RunInfo& info : listRuns(history_)) EXPECT_EQ(info.state, RunState::Undone);
}

TEST_P(HistoryRuns, UsersOwnBackupIsKeptAndTheOriginalLivesInTheHistory) {
  writeBytes(tree_.file("f2.txt.bak"), "my only old copy");
  const auto before = snapshot(tree_.path());
  run("A", "B");
  run("B", "C");  // the ".bak" files of the first run are replaced, the user's is not
  EXPECT_EQ(readQuietly(tree_.file("f2.txt.bak")), "my only old copy");
  EXPECT_EQ(readQuietly(tree_.file("f1.txt.bak")), "B line 1\r\nB\n");
  ASSERT_FALSE(observer_.warnings.empty());
  EXPECT_EQ(observer_.warnings[0].text, kUsersBackupKept);
  undoLatest();
  undoLatest();
  EXPECT_EQ(snapshot(tree_.path()), before);
}

TEST_P(HistoryRuns, ChangedFilesAndDamagedCopiesAreSkippedWithTheirReasons) {
  run("A", "B");
  writeBytes(tree_.file("f0.txt"), "edited after the run");
  const RunRecord record = loadRun(history_, *latestUndoableRun(history_));
  for (const HistoryEntry& e : record.entries) {
    if (e.file.fullName.ends_with("f1.txt")) {  // the copy (and so its backup) damaged
      writeBytes(data_.file("History/" + record.id + "/" + e.original), "X line 1\r\nA\n");
    }
  }
  const UndoSummary summary = undoLatest();
  std::map<std::string, std::string> reasons;
  for (const auto& o : summary.outcomes)
    reasons[std::filesystem::path(o.fullName).filename()] = o.reason;
  EXPECT_EQ(reasons["f0.txt"], "changed since the run");
  EXPECT_EQ(reasons["f1.txt"], "the undo history's copy of the original fails its check");
  EXPECT_EQ(reasons["f2.txt"], "");
  EXPECT_EQ(readBytes(tree_.file("f0.txt")), "edited after the run");
  EXPECT_EQ(readBytes(tree_.file("f1.txt")), "B line 1\r\nB\n");
  EXPECT_EQ(readBytes(tree_.file("f2.txt")), "A line 2\r\nA\n");
  // The run was walked to its end: it counts as undone; undone again, it changes nothing.
  EXPECT_FALSE(latestUndoableRun(history_));
  undoRun(history_, record.id, rows_, observer_);
  EXPECT_EQ(readBytes(tree_.file("f0.txt")), "edited after the run");
  EXPECT_EQ(readBytes(tree_.file("f2.txt")), "A line 2\r\nA\n");
}

TEST_P(HistoryRuns, FaultAtAnyWriteOrRenameLeavesEachFileWholeAndTheNextUndoFinishes) {
  const auto original = snapshot(tree_.path());
  for (std::size_t failAt = 1; failAt <= 40; ++failAt) {
    SCOPED_TRACE("fault at call " + std::to_string(failAt));
    const std::string id = run("A", "B").historyRun;
    const auto modified = snapshot(tree_.path());
    HistoryUndoOptions faulty;
    faulty.groupFiles = 2;
    platform::FaultInjector injector(failAt);
    faulty.rows.writeOps = injector.ops();
    try {
      undoLatest(faulty);
    } catch (const HistoryError&) {  // the undo log itself could not be written
    }
    for (const auto& [name, facts] : snapshot(tree_.path())) {
      if (name.ends_with(".bak") || name.starts_with(".ksr")) continue;
      EXPECT_TRUE(facts == original.at(name) || facts.bytes == modified.at(name).bytes) << name;
    }
    // Undoing the run again finishes what the fault left, whether or not it counts as
    // undone already.
    undoRun(history_, id, rows_, observer_);
    auto now = snapshot(tree_.path());
    std::erase_if(now, [](const auto& kv) { return kv.first.ends_with(".bak"); });
    EXPECT_EQ(now, original);
    if (!injector.fired()) break;
  }
}

TEST_P(HistoryRuns, OldestRunsAreDroppedFirstAndTheNewestAlwaysStays) {
  const char* steps[][2] = {{"A", "B"}, {"B", "C"}, {"C", "D"}, {"D", "E"}};
  std::vector<std::string> ids;
  for (const auto& step : steps) ids.push_back(run(step[0], step[1]).historyRun);
  EXPECT_EQ(listRuns(history_).size(), 4u);
  EXPECT_EQ(enforceHistoryLimits(history_, {std::int64_t{1} << 30, 2}), 2u);
  auto runs = listRuns(history_);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].id, ids[2]);
  EXPECT_EQ(enforceHistoryLimits(history_, {1, 50}), 1u);
  runs = listRuns(history_);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].id, ids[3]);
  // Limits are stored beside the runs and applied after each run.
  writeHistoryLimits(history_, {std::int64_t{1} << 30, 1});
  EXPECT_EQ(readHistoryLimits(history_).maxRuns, 1u);
  run("E", "F");
  EXPECT_EQ(listRuns(history_).size(), 1u);
  EXPECT_EQ(clearHistory(history_, data_.path()), 0u) << "another folder's runs stay";
  EXPECT_EQ(clearHistory(history_, tree_.path()), 1u);
  EXPECT_TRUE(listRuns(history_).empty());
}

INSTANTIATE_TEST_SUITE_P(WholeAndStreamed, HistoryRuns, ::testing::Bool());

}  // namespace
}  // namespace kestrix::modify
