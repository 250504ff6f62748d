// The byte scans of the search loop against plain loops: every position of random buffers
// of a small alphabet, offsets and ends, in buffers sized exactly so that a read past the
// readable bytes is caught by the address sanitizer.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "regex/ByteScan.h"

namespace kestrix::regex {
namespace {

TEST(ByteScan, PairScanFindsTheFirstPositionWithBothBytes) {
  std::mt19937 rng(3);
  for (int round = 0; round < 3000; ++round) {
    const int n = 1 + static_cast<int>(rng() % 90);
    std::unique_ptr<char[]> bytes(new char[n]);
    for (int i = 0; i < n; ++i) bytes[i] = "ab_t"[rng() % 4];
    const int o1 = static_cast<int>(rng() % std::min(n, 5));
    const int o2 = static_cast<int>(rng() % std::min(n, 5));
    const char c1 = "ab_t"[rng() % 4], c2 = "ab_t"[rng() % 4];
    // Every start p < limit may read p + max(o1, o2).
    const int limit = n - std::max(o1, o2);
    const int from = static_cast<int>(rng() % (limit + 1));
    int expected = from;
    while (expected < limit && !(bytes[expected + o1] == c1 && bytes[expected + o2] == c2)) {
      ++expected;
    }
    const char* hit = findPair(bytes.get() + from, bytes.get() + limit, o1, c1, o2, c2);
    ASSERT_EQ(hit - bytes.get(), expected) << "round " << round;
  }
}

TEST(ByteScan, TwoByteScanKeepsItsPlaceAcrossCalls) {
  const std::string text = "xxaxxbxxaxxxxb";
  TwoByteScan scan;
  const char* end = text.data() + text.size();
  std::string found;
  for (const char* at = text.data(); (at = scan.next(at, end, 'a', 'b')) != end; ++at) {
    found += std::to_string(at - text.data()) + " ";
  }
  EXPECT_EQ(found, "2 5 8 13 ");
  // A byte that never occurs.
  EXPECT_EQ(scan.next(text.data(), end, 'q', 'z'), end);
}

}  // namespace
}  // namespace kestrix::regex
