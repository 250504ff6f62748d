// The lines of a file split into ranges count exactly what one pass over the whole text
// counts, wherever the ranges cut: CR LF pairs, lone CRs, a last line without a break, a
// NUL that ends the text, lines longer than a range.
#include <gtest/gtest.h>

#include "MemoryReader.h"

#include <cstring>
#include <random>
#include <thread>

#include "search/LineSplit.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

// A count that depends on where every line starts and ends: its length and first byte.
bool countLines(std::string_view lines, std::int64_t& count) {
  text::forEachLine(lines, [&](const text::Line& line) {
    count += 1000 * static_cast<std::int64_t>(line.text.size()) + 1 +
             (line.text.empty() ? 0 : static_cast<unsigned char>(line.text[0]));
  });
  return true;
}

std::int64_t countWhole(const std::string& text) {
  std::int64_t count = 0;
  countLines(text::textUntilNul(text), count);
  return count;
}

std::optional<std::int64_t> countSplit(const std::string& text, std::uint64_t rangeBytes) {
  LineSplit job(testing::memoryReader(text), text.size(), rangeBytes);
  std::thread helper([&] {
    std::string buffer;
    while (job.runOne(buffer, countLines)) {
    }
  });
  std::string buffer;
  while (job.runOne(buffer, countLines)) {
  }
  job.wait();
  helper.join();
  return job.combine();
}

TEST(LineSplit, EverySplitCountsLikeOnePass) {
  using namespace std::string_literals;
  const std::string alphabets[] = {"ab\n", "ab\r\n", "a\r", "\r\n\r\na", "abc\n\r\0"s};
  std::mt19937 rng(7);
  for (const std::string& alphabet : alphabets) {
    for (int round = 0; round < 20; ++round) {
      std::string text(std::uniform_int_distribution<std::size_t>(0, 80)(rng), ' ');
      for (char& c : text) c = alphabet[rng() % alphabet.size()];
      for (std::uint64_t rangeBytes = 1; rangeBytes <= text.size() + 1; ++rangeBytes) {
        ASSERT_EQ(countSplit(text, rangeBytes), countWhole(text))
            << ::testing::PrintToString(text) << " in ranges of " << rangeBytes;
      }
    }
  }
}

TEST(LineSplit, AStopLeavesNoCount) {
  const std::string text(1000, '\n');
  LineSplit job(testing::memoryReader(text), text.size(), 10);
  std::string buffer;
  const LineSplit::CountLines stop = [](std::string_view, std::int64_t&) { return false; };
  while (job.runOne(buffer, stop)) {
  }
  job.wait();
  EXPECT_EQ(job.combine(), std::nullopt);
}

}  // namespace
}  // namespace kestrix::search
