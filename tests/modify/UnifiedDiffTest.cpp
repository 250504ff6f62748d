// Unified diff previews: hunks, context, separators and missing final breaks.
#include <gtest/gtest.h>

#include "modify/UnifiedDiff.h"

namespace kestrix::modify {
namespace {

TEST(UnifiedDiff, Hunks) {
  struct Case {
    const char* before;
    const char* after;
    const char* expected;
  };
  const Case cases[] = {
      {"same\n", "same\n", ""},
      {"a\nb\nc\n", "a\nB\nc\n", "@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n"},
      {"1\n2\n3\n4\n5\n6\n7\n8\n9\n", "1\n2\n3\n4\nV\n6\n7\n8\n9\n",
       "@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+V\n 6\n 7\n 8\n"},
      {"x\n", "x", "@@ -1,1 +1,1 @@\n-x\n+x\n\\ No newline at end of file\n"},
      {"a\r\n", "a\n", "@@ -1,1 +1,1 @@\n-a\r\n+a\n"},
      {"", "new\n", "@@ -0,0 +1,1 @@\n+new\n"},
      {"1\nx\n3\n4\n5\n6\n7\n8\n9\n10\nx\n", "1\ny\n3\n4\n5\n6\n7\n8\n9\n10\ny\n",
       "@@ -1,5 +1,5 @@\n 1\n-x\n+y\n 3\n 4\n 5\n@@ -8,4 +8,4 @@\n 8\n 9\n 10\n-x\n+y\n"},
  };
  for (const auto& c : cases) {
    std::string diff = unifiedDiff("f", c.before, c.after);
    std::string expected = *c.expected ? std::string("--- a/f\n+++ b/f\n") + c.expected : "";
    EXPECT_EQ(diff, expected) << "before " << ::testing::PrintToString(std::string(c.before));
  }
  EXPECT_EQ(unifiedDiff("/tmp/f", "x\n", "y\n"),
            "--- a/tmp/f\n+++ b/tmp/f\n@@ -1,1 +1,1 @@\n-x\n+y\n");
}

}  // namespace
}  // namespace kestrix::modify
