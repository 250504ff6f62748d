// The streamed block count against the count over the whole text split into lines, for any
// window size: breaks of every kind cut by the window, NUL bytes, folding and trims.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "search/BlockScan.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

std::int64_t reference(std::string_view text, const std::vector<std::string>& prepared,
                       const BlockOptions& options) {
  const std::vector<std::string_view> lines = text::splitLines(text::textUntilNul(text));
  const std::size_t n = prepared.size();
  std::int64_t count = 0;
  for (std::size_t s = 0; s + n <= lines.size();) {
    std::size_t j = 0;
    while (j < n && blockLineEquals(lines[s + j], prepared[j], options)) ++j;
    if (j == n) {
      ++count;
      s += n;
    } else {
      ++s;
    }
  }
  return count;
}

std::int64_t streamed(const std::string& text, const std::vector<std::string>& prepared,
                      const BlockOptions& options, std::size_t window) {
  std::string buffer;
  const auto count = countBlocks(
      [&](std::uint64_t offset, char* out, std::size_t size) -> std::size_t {
        if (offset >= text.size()) return 0;
        const std::size_t n = std::min<std::size_t>(size, text.size() - offset);
        std::memcpy(out, text.data() + offset, n);
        return n;
      },
      prepared, options, buffer, nullptr, window);
  EXPECT_TRUE(count.has_value());
  return count.value_or(-1);
}

TEST(BlockScan, StreamedCountEqualsWholeTextCount) {
  const BlockOptions exact{true, false, false};
  EXPECT_EQ(streamed("a\nb\na\nb", {"a", "b"}, exact, 1), 2);
  EXPECT_EQ(streamed("a\r\na\r\nb\r\n", {"a", "b"}, exact, 1), 1);
  EXPECT_EQ(streamed("a\r\rb", {"a", "", "b"}, exact, 1), 1);
  EXPECT_EQ(streamed("a\nb\0a\nb", {"a", "b"}, exact, 2), 1);
  EXPECT_EQ(streamed("", {"a"}, exact, 4), 0);

  std::mt19937 rng(5);
  const char* pieces[] = {"a", "b", "A", " ", "\t", "\n", "\r", "\r\n", "ab", "x"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int count = static_cast<int>(rng() % 200);
    for (int k = 0; k < count; ++k) text += pieces[rng() % 10];
    if (round % 9 == 4 && !text.empty()) text[rng() % text.size()] = '\0';
    const BlockOptions options{round % 2 == 0, round % 3 != 0, round % 4 != 0};
    std::vector<std::string> query;
    for (std::size_t k = 0, n = 1 + rng() % 3; k < n; ++k) {
      query.push_back(prepareBlockLine(k % 2 ? "b " : "\ta", options));
    }
    if (round % 5 == 0) query.insert(query.begin() + 1, "");
    const std::int64_t expected = reference(text, query, options);
    for (std::size_t window : {1, 2, 3, 16, 1 << 17}) {
      ASSERT_EQ(streamed(text, query, options, window), expected)
          << "round " << round << " window " << window;
    }
  }
}

}  // namespace
}  // namespace kestrix::search
