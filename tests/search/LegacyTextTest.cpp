// Legacy files decoded piece by piece as they stream give the converter's text of the
// whole file, in every code page offered that decodes byte by byte.
#include <gtest/gtest.h>

#include "MemoryReader.h"

#include <cstring>
#include <random>

#include "search/LegacyText.h"
#include "text/Encoding.h"

namespace kestrix::search {
namespace {

TEST(LegacyText, StreamedDecodingEqualsTheWholeFiles) {
  std::mt19937 rng(5);
  std::string bytes(3u << 20, ' ');
  for (char& c : bytes) c = static_cast<char>(rng() % 7 == 0 ? rng() % 256 : 'a' + rng() % 26);
  const ReadAt raw = testing::memoryReader(bytes);
  int streamed = 0;
  for (const text::CodePageChoice& page : text::legacyCodePages()) {
    SCOPED_TRACE(page.name);
    const std::optional<LegacyTable> table = LegacyTable::of(page.name);
    if (!table) continue;
    ++streamed;
    const std::string whole = text::decodeToUtf8(bytes, text::Encoding::Legacy, page.name);
    LegacyStream stream(raw, *table);
    std::string read(whole.size() + 10, '?');
    // Forward in uneven steps, then again from the start, as a second pass reads.
    for (int pass = 0; pass < 2; ++pass) {
      std::size_t at = 0;
      for (std::size_t got; (got = stream.read(at, read.data() + at, 100000 + at % 7)) > 0;) {
        at += got;
      }
      ASSERT_EQ(at, whole.size());
      ASSERT_TRUE(read.compare(0, at, whole) == 0);
    }
    // Reads of a few bytes cut characters of two to three bytes; a read past the last
    // one skips ahead.
    std::string small;
    for (std::size_t at = 0, got; at < 20000; at += got) {
      char part[5];
      got = stream.read(at, part, 1 + at % 5);
      ASSERT_GT(got, 0u);
      small.append(part, got);
    }
    ASSERT_EQ(small, whole.substr(0, small.size()));
    const std::size_t ahead = whole.size() / 2 + 1;
    char part[64];
    const std::size_t got = stream.read(ahead, part, sizeof part);
    ASSERT_EQ(std::string_view(part, got), whole.substr(ahead, sizeof part));
  }
  EXPECT_GE(streamed, 20);
  EXPECT_FALSE(LegacyTable::of("no such page"));
}

}  // namespace
}  // namespace kestrix::search
