// The byte scans of the search loop against plain loops: every position of random buffers
// of a small alphabet, offsets and ends, in buffers sized exactly so that a read past the
// readable bytes is caught by the address sanitizer.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <string_view>

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

// Texts of one to six bytes in exactly sized buffers: the first occurrence that lies wholly
// in [from, end) is found, one that runs past the end is not.
TEST(ByteScan, TextScanFindsTheFirstWholeOccurrence) {
  std::mt19937 rng(11);
  for (int round = 0; round < 3000; ++round) {
    const int n = static_cast<int>(rng() % 70);
    std::unique_ptr<char[]> bytes(new char[n + 1]);
    for (int i = 0; i < n; ++i) bytes[i] = "ab_t "[rng() % 5];
    std::string text;
    for (int i = 1 + static_cast<int>(rng() % 6); i > 0; --i) text += "ab_t "[rng() % 5];
    const TextScan scan(text);
    const int from = n ? static_cast<int>(rng() % n) : 0;
    const std::string_view view(bytes.get(), n);
    const size_t expected = view.find(text, from);
    const char* hit = scan.find(bytes.get() + from, bytes.get() + n);
    ASSERT_EQ(hit ? static_cast<size_t>(hit - bytes.get()) : std::string_view::npos, expected)
        << "round " << round << " text '" << text << "' in '" << view << "'";
  }
}

}  // namespace
}  // namespace kestrix::regex
