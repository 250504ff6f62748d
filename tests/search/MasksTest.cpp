// Masks: the wildcard dialect, the masks field, and the ignore lists.
#include <gtest/gtest.h>

#include "search/Masks.h"
#include "search/SearchError.h"

namespace kestrix::search {
namespace {

TEST(Masks, WildcardDialect) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"*.txt", "a.txt", true},
      {"*.txt", "a.TXT", true},
      {"*.txt", "a.txt.bak", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"[a-c]x", "Bx", true},
      {"[a-c]x", "dx", false},
      {"[!a-c]x", "dx", true},
      {"[!a-c]x", "ax", false},
      {"*", "", true},
      {"", "", true},
      {"", "a", false},
      {"*a*b*c", "xaybzc", true},
      {"*a*b*c", "xaybz", false},
      {"[abc", "a", false},
      {"\xc3\xa9.txt", "\xc3\x89.txt", false},  // accented letters compare exactly
      {"[]]", "]", true},
      {"a*", "a", true},
      {"**x", "yx", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " vs " + c.name);
    EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.match);
  }
}

TEST(Masks, UnclosedSetsMakeAMaskUnparsable) {
  struct Case {
    const char* pattern;
    bool parsable;
  };
  const Case cases[] = {
      {"*.txt", true}, {"[a-c]*.", true}, {"[]]x.", true},  {"[!]]x.", true},
      {"[abc", false}, {"x[", false},     {"[!", false},    {"[]", false},
      {"[a-]]", true}, {"a]b", true},     {"[a][b", false}, {"", true},
  };
  for (const Case& c : cases) EXPECT_EQ(maskIsParsable(c.pattern), c.parsable) << c.pattern;
}

TEST(Masks, MaskListRules) {
  struct Case {
    const char* masks;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"*.", "Makefile", true},
      {"*.", "a.b", false},
      {"data", "data", true},
      {"file?", "file1", true},
      {"file?", "file", false},
      {"*.tx?", "a.txt", true},
      {"*.tx?", "a.tx", false},
      {"*.txt; *.log", "b.log", true},
      {";", "x", false},
      {"*.*", "noext", true},
      {" *.c ;*.h", "a.h", true},
      // Masks that take every name, and near misses.
      {"*", "noext", true},
      {"**", ".hidden", false},
      {"*.*", "a.b.c", true},
      {"x; *.*", "a", true},
      {".*", "noext", false},
      {"*.**", "trail.", true},
      {"*?", "a", true},
      {"", "a", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.masks) + " vs " + c.name);
    EXPECT_EQ(MaskList::parse(c.masks).matches(c.name), c.match);
  }
  EXPECT_EQ(MaskList::parse(" *.c ;*.h;; x ").shownText(), "*.c; *.h; ; x");
}

TEST(Masks, AtMost99MasksAndEmptyOnesCount) {
  std::string masks = "*.a";
  for (int i = 1; i < 99; ++i) masks += ";";
  EXPECT_EQ(MaskList::parse(masks).masks().size(), 99u);
  try {
    MaskList::parse(masks + ";");
    ADD_FAILURE() << "100 masks accepted";
  } catch (const SearchError& e) {
    EXPECT_EQ(e.text(), "Too many masks");
    EXPECT_EQ(e.caption(), kProgramCaption);
  }
}

TEST(Masks, IgnoreLists) {
  const std::vector<std::string> lines = {"  /tmp/skip ", "", "/x/*/cache/"};
  EXPECT_EQ(ignoredFolderPatterns(lines, false),
            (std::vector<std::string>{"/tmp/skip/", "/x/*/cache/"}));
  const auto deep = ignoredFolderPatterns(lines, true);
  EXPECT_EQ(deep[0], "/tmp/skip/*");
  EXPECT_TRUE(folderIgnored(ignoredFolderPatterns(lines, false), "/tmp/skip"));
  EXPECT_FALSE(folderIgnored(ignoredFolderPatterns(lines, false), "/tmp/skip/sub"));
  EXPECT_TRUE(folderIgnored(deep, "/tmp/skip/sub"));
  EXPECT_TRUE(folderIgnored(deep, "/x/y/cache"));

  const MaskList files = MaskList::fromLines({" *.o", "", "README"});
  EXPECT_TRUE(files.matches("a.o"));
  EXPECT_TRUE(files.matches("readme"));
  EXPECT_FALSE(files.matches("a.c"));
}

}  // namespace
}  // namespace kestrix::search
