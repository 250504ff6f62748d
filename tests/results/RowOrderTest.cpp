// The list's row order: stable in both directions, texts without ASCII case.
#include <gtest/gtest.h>

#include "results/RowOrder.h"

namespace kestrix::results {
namespace {

TEST(RowOrder, TextsIgnoreAsciiCaseAndStayStable) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  };
  const Case cases[] = {{"abc", "ABD", -1}, {"B", "a", 1},        {"same", "SAME", 0},
                        {"ab", "abc", -1},  {"\xC3\xA9", "z", 1}, {"", "", 0}};
  for (const Case& c : cases) {
    const int got = compareAsciiNoCase(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " vs " << c.b;
  }
  const std::vector<std::string> names = {"b", "A", "a", "C"};
  EXPECT_EQ(orderByTexts(names, false), (std::vector<std::size_t>{1, 2, 0, 3}));
  EXPECT_EQ(orderByTexts(names, true), (std::vector<std::size_t>{3, 0, 1, 2}));
}

TEST(RowOrder, NumbersKeepTiesInListOrder) {
  const std::vector<double> sizes = {5, 1, 5, 0.5};
  EXPECT_EQ(orderByNumbers(sizes, false), (std::vector<std::size_t>{3, 1, 0, 2}));
  EXPECT_EQ(orderByNumbers(sizes, true), (std::vector<std::size_t>{0, 2, 1, 3}));
  EXPECT_TRUE(orderByNumbers({}, true).empty());
}

}  // namespace
}  // namespace kestrix::results
