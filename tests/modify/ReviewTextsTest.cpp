// The checks of a review's changes and the texts the review is shown with: counts as
// changes are checked by file and one by one, failures, captions and cut excerpts of long
// lines that never split a character.
#include <gtest/gtest.h>

#include "modify/ReviewChecks.h"
#include "modify/ReviewTexts.h"

namespace kestrix::modify {
namespace {

Review reviewOf(std::vector<std::size_t> changesPerFile) {
  Review review;
  for (std::size_t count : changesPerFile) {
    FileChanges file;
    file.fullName = "/t/f" + std::to_string(review.files.size());
    file.changes.resize(count);
    review.files.push_back(std::move(file));
  }
  return review;
}

TEST(ReviewChecks, CountsFollowEveryWayOfChecking) {
  ReviewChecks checks;
  checks.reset(reviewOf({2, 1, 0}));
  EXPECT_EQ(reviewCounts(checks), "3 of 3 changes in 2 files");
  EXPECT_EQ(checks.fileCheck(0), FileCheck::All);
  EXPECT_EQ(checks.fileCheck(2), FileCheck::None);
  EXPECT_TRUE(checks.setChange(0, 1, false));
  EXPECT_FALSE(checks.setChange(0, 1, false));
  EXPECT_EQ(checks.fileCheck(0), FileCheck::Some);
  EXPECT_EQ(reviewCounts(checks), "2 of 3 changes in 2 files");
  checks.setFile(1, false);
  EXPECT_EQ(reviewCounts(checks), "1 of 3 changes in 1 files");
  checks.setFile(0, true);
  EXPECT_EQ(checks.checkedIn(0), 2u);
  EXPECT_EQ(reviewCounts(checks), "2 of 3 changes in 1 files");
  checks.setAll(false);
  EXPECT_EQ(reviewCounts(checks), "0 of 3 changes in 0 files");
  EXPECT_EQ(checks.accepted(), (std::vector<Accepted>{{false, false}, {false}, {}}));
  checks.setAll(true);
  EXPECT_EQ(reviewSummary(checks, false),
            "3 of 3 changes in 2 files. Nothing has been written yet.");
  checks.reset(reviewOf({}));
  EXPECT_EQ(reviewSummary(checks, true),
            "Nothing would change. Nothing has been written yet. (Stopped: the preview is "
            "incomplete.)");
}

TEST(ReviewTexts, FailuresCaptionsAndLines) {
  EXPECT_EQ(reviewFailures({}), "");
  EXPECT_EQ(reviewFailures({{"/t/a", "read-only"}}), "Would fail (1 file):\n  ! /t/a: read-only\n");
  EXPECT_EQ(reviewFailures({{"/t/a", "x"}, {"/t/b", "y"}}),
            "Would fail (2 files):\n  ! /t/a: x\n  ! /t/b: y\n");
  EXPECT_EQ(fileCaption("/t/a.txt", 3, 4), "/t/a.txt  (3 of 4)");
  Change change;
  change.firstLine = change.lastLine = 12;
  EXPECT_EQ(changeLineLabel(change), "12");
  change.lastLine = 15;
  EXPECT_EQ(changeLineLabel(change), "12-15");
}

TEST(ReviewTexts, ExcerptsShowBreaksAndCutLongLines) {
  struct Case {
    std::string line;
    std::size_t from, length;
    ChangeExcerpt excerpt;
  };
  const std::string far(300, 'a');
  const std::string cut = "\u2026";
  const std::string hugeMark(5000, 'm');
  const Case cases[] = {
      {"old word\n", 0, 3, {"", "old", " word\u21B5"}},
      {"a\r\nb\rc\n", 0, 1, {"", "a", "\u21B5b\u21B5c\u21B5"}},
      {"x\r\ny", 0, 4, {"", "x\u21B5y", ""}},
      {far + "hit" + far, 300, 3, {cut + far.substr(60), "hit", far.substr(0, 240) + cut}},
      // A cut never splits a character: "é" is two bytes, the cut moves back before it.
      {std::string(59, 'b') + "\xC3\xA9" + std::string(239, 'c') + "X",
       300,
       1,
       {cut + "\xC3\xA9" + std::string(239, 'c'), "X", ""}},
      {hugeMark, 0, 5000, {"", hugeMark.substr(0, 4000), cut}},
  };
  for (const Case& c : cases) {
    const ChangeExcerpt got = changeExcerpt(c.line, c.from, c.length);
    EXPECT_EQ(got.head, c.excerpt.head) << c.line.substr(0, 40);
    EXPECT_EQ(got.mark, c.excerpt.mark) << c.line.substr(0, 40);
    EXPECT_EQ(got.tail, c.excerpt.tail) << c.line.substr(0, 40);
  }
}

}  // namespace
}  // namespace kestrix::modify
