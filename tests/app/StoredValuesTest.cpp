// The value encodings, the stored dates and the MemoFile side files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/DialogSettings.h"
#include "app/KeyValueStore.h"
#include "app/SideFiles.h"
#include "app/StoredDate.h"

namespace kestrix::app {
namespace {

TEST(StoredValues, IntegersAndBooleansFallBackOnMalformedText) {
  MemoryStore store;
  const struct {
    const char* text;
    int asInt;    // read with default 42
    bool asBool;  // read with default false
  } cases[] = {{"17", 17, true},    {"0", 0, false},
               {"-3", -3, true},    {"1", 1, true},
               {"", 42, false},     {"12a", 42, false},
               {" 5", 42, false},   {"+5", 42, false},
               {"0x10", 42, false}, {"99999999999", 42, false},
               {"yes", 42, false}};
  for (const auto& c : cases) {
    store.write(Key::Options, "V", c.text);
    EXPECT_EQ(readInt(store, Key::Options, "V", 42), c.asInt) << '"' << c.text << '"';
    EXPECT_EQ(readBool(store, Key::Options, "V", false), c.asBool) << '"' << c.text << '"';
  }
  EXPECT_EQ(readInt(store, Key::Options, "Missing", 7), 7);
  EXPECT_TRUE(readBool(store, Key::Options, "Missing", true));
  EXPECT_EQ(readString(store, Key::Main, "V", "x"), "x");  // the keys are separate
  writeBool(store, Key::Main, "B", true);
  writeInt(store, Key::Main, "I", -12);
  EXPECT_EQ(*store.read(Key::Main, "B"), "1");
  EXPECT_EQ(*store.read(Key::Main, "I"), "-12");
}

TEST(StoredValues, HistoryCapOutsideItsRangeGivesTheDefault) {
  const struct {
    const char* megabytes;
    const char* runs;
    HistoryCap expected;
  } cases[] = {{"512", "10", {512, 10}},
               {"0", "0", {1024, 50}},
               {"1048576", "10000", {1048576, 10000}},
               {"1048577", "10001", {1024, 50}},
               {"-5", "x", {1024, 50}},
               {"1", "1", {1, 1}}};
  for (const auto& c : cases) {
    MemoryStore store;
    store.write(Key::Options, "HistoryMaxSize", c.megabytes);
    store.write(Key::Options, "HistoryMaxRuns", c.runs);
    EXPECT_EQ(readHistoryCap(store), c.expected) << c.megabytes << " " << c.runs;
  }
  MemoryStore store;
  EXPECT_EQ(readHistoryCap(store), HistoryCap{});
  writeHistoryCap(store, {3, 4});
  EXPECT_EQ(readHistoryCap(store), (HistoryCap{3, 4}));
}

TEST(StoredValues, DatesAreDayNumbersTimesSevenAndNine) {
  EXPECT_EQ(dayNumber({2000, 1, 1}), 36526);
  EXPECT_EQ(encodeLowerDate(36526), 255682);
  EXPECT_EQ(encodeUpperDate(36526), 328734);
  EXPECT_EQ(decodeLowerDate(255682), 36526);
  EXPECT_EQ(decodeUpperDate(328734), 36526);
  EXPECT_EQ(decodeLowerDate(255688), 36526);       // truncating division
  EXPECT_EQ(encodeLowerDate(36526.6), 36527 * 7);  // the time of day rounds
  EXPECT_EQ(dayNumber({1899, 12, 30}), 0);
  EXPECT_EQ(dateOfDayNumber(36526), (CivilDate{2000, 1, 1}));
  EXPECT_EQ(dateOfDayNumber(-1), (CivilDate{1899, 12, 29}));
  for (int day : {kFirstDayNumber, -1, 0, 59, 60, 61, 36526, 45000, kLastDayNumber})
    EXPECT_EQ(dayNumber(dateOfDayNumber(day)), day) << day;
  EXPECT_EQ(dateOfDayNumber(kLastDayNumber), (CivilDate{9999, 12, 31}));
  EXPECT_FALSE(decodeLowerDate(2000000000));
  EXPECT_FALSE(decodeUpperDate(-2000000000));
  EXPECT_EQ(addMonths({2024, 3, 31}, -1), (CivilDate{2024, 2, 29}));
  EXPECT_EQ(addMonths({2024, 2, 29}, -12), (CivilDate{2023, 2, 28}));
  EXPECT_EQ(addMonths({2024, 1, 15}, -12), (CivilDate{2023, 1, 15}));
}

TEST(StoredValues, MemoFilesAreTheTextPlusOneLineBreak) {
  EXPECT_EQ(encodeMemo("a\nb"), "a\r\nb\r\n");
  EXPECT_EQ(encodeMemo(""), "\r\n");
  EXPECT_EQ(encodeMemo("a\n"), "a\r\n\r\n");
  for (const std::string text : {"", "a", "a\nb", "ends with a break\n", "\n\n", "x\n\ny"})
    EXPECT_EQ(decodeMemo(encodeMemo(text)), text) << text;
  // Files edited by hand: other breaks, no final break.
  EXPECT_EQ(decodeMemo("a\nb\n"), "a\nb");
  EXPECT_EQ(decodeMemo("a\rb"), "a\nb");
  EXPECT_EQ(decodeMemo("no break"), "no break");

  MemorySideFiles files;
  writeMemo(files, "M.tmp", "");
  EXPECT_FALSE(files.exists("M.tmp"));  // an empty text never creates a file
  EXPECT_FALSE(readMemo(files, "M.tmp"));
  writeMemo(files, "M.tmp", "two\nlines\n");
  EXPECT_EQ(readMemo(files, "M.tmp"), "two\nlines\n");
  writeMemo(files, "M.tmp", "");  // emptied: the existing file becomes a lone CR LF
  EXPECT_EQ(files.files["M.tmp"], "\r\n");
  EXPECT_EQ(readMemo(files, "M.tmp"), "");
}

TEST(StoredValues, FolderSideFilesAreCreatedReplacedAndKeptWhenTooLarge) {
  const std::filesystem::path base =
      std::filesystem::path(std::getenv("KESTRIX_TEST_TMP") ? std::getenv("KESTRIX_TEST_TMP")
                                                            : "/tmp") /
      "sidefiles-test";
  std::filesystem::remove_all(base);
  const std::string folder = (base / "Kestrix Search & Replace").string();
  FolderSideFiles files(folder);
  EXPECT_FALSE(readMemo(files, "A.tmp"));
  writeMemo(files, "A.tmp", "first\nsecond");  // the folder is made on the first write
  EXPECT_EQ(readMemo(files, "A.tmp"), "first\nsecond");
  std::ifstream in(folder + "/A.tmp", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "first\r\nsecond\r\n");

  const std::string big(kMaxSideFileBytes + 1, 'x');
  std::ofstream(folder + "/Big.tmp", std::ios::binary) << big;
  EXPECT_FALSE(readMemo(files, "Big.tmp"));
  writeMemo(files, "Big.tmp", "");  // never loaded, so never overwritten
  EXPECT_EQ(std::filesystem::file_size(folder + "/Big.tmp"), big.size());

  std::filesystem::create_directories(folder + "/Dir.tmp");
  EXPECT_FALSE(readMemo(files, "Dir.tmp"));
  writeMemo(files, "Dir.tmp", "text");  // cannot replace a folder: silently dropped
  EXPECT_TRUE(std::filesystem::is_directory(folder + "/Dir.tmp"));
  std::filesystem::remove_all(base);
}

}  // namespace
}  // namespace kestrix::app
