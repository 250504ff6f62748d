// What a command-line run tells the job that started it: the exit status, the log of its
// errors and the lines for standard error.
#include <gtest/gtest.h>

#include "app/CommandRunReport.h"
#include "search/SearchError.h"

namespace kestrix::app {
namespace {

search::ResultItem row(const std::string& name, search::RowResult result) {
  search::ResultItem item;
  item.path = "/docs";
  item.name = name;
  item.outcome.result = result;
  return item;
}

TEST(CommandRunReport, AReportedErrorOutranksFailedFilesAndAnUnwrittenList) {
  using search::RowResult;
  const std::vector<search::ResultItem> failedOne = {row("a", RowResult::FailedModification)};
  const struct {
    bool error;
    bool failedFile;
    bool listFailed;
    int status;
  } cases[] = {
      {false, false, false, 0}, {false, true, false, 2}, {false, false, true, 2},
      {false, true, true, 2},   {true, false, false, 1}, {true, true, true, 1},
  };
  for (const auto& c : cases) {
    CommandRunReport report;
    report.begin(false, "kestrix -path=/docs -com");
    if (c.error) report.error("Kestrix Search & Replace", "Incorrect parameter \"-x\"");
    if (c.failedFile) report.countFailedFiles(failedOne);
    if (c.listFailed) report.listNotWritten();
    EXPECT_EQ(report.exitStatus(), c.status) << c.error << c.failedFile << c.listFailed;
    EXPECT_EQ(report.errorReported(), c.error);
    EXPECT_FALSE(report.takeLogDue());  // no "-fr="
  }
}

TEST(CommandRunReport, OnlyFailedModificationsAreCounted) {
  using search::RowResult;
  CommandRunReport report;
  report.begin(false, "");
  EXPECT_TRUE(report.countFailedFiles({}).empty());
  EXPECT_EQ(report.exitStatus(), 0);
  const std::vector<search::ResultItem> items = {
      row("a.txt", RowResult::Modified), row("b\xff.txt", RowResult::FailedModification),
      row("c.txt", RowResult::Found), row("d.txt", RowResult::FailedUndo),
      row("e.txt", RowResult::FailedModification)};
  EXPECT_EQ(report.countFailedFiles(items),
            (std::vector<std::string>{"/docs/b\xff.txt", "/docs/e.txt"}));
  EXPECT_EQ(report.exitStatus(), 2);
}

TEST(CommandRunReport, TheLogIsDueOnceAfterAnErrorAndStartsOverWithTheNextRun) {
  CommandRunReport report;
  report.begin(true, "kestrix -path=/d -com -fr=/tmp/log");
  EXPECT_FALSE(report.takeLogDue());  // nothing went wrong: no log
  report.error(search::kRegexCaption, "Missing )");
  report.error("Kestrix Search & Replace", "File \"/x\" not found");
  EXPECT_EQ(report.log().lines(),
            (std::vector<std::string>{"Command Line: kestrix -path=/d -com -fr=/tmp/log", "",
                                      "Error: Missing )", "File \"/x\" not found"}));
  EXPECT_TRUE(report.takeLogDue());
  EXPECT_FALSE(report.takeLogDue());
  report.begin(true, "again");
  EXPECT_FALSE(report.errorReported());
  EXPECT_EQ(report.log().lines().size(), 2u);
}

TEST(CommandRunReport, Texts) {
  EXPECT_EQ(warningLogLine(search::kRegexCaption, "Missing )"), "Error: Missing )");
  EXPECT_EQ(warningLogLine("Kestrix Search & Replace", "File not found"), "File not found");
  EXPECT_EQ(errorLine("Incorrect parameter \"-x\""), "kestrix: Incorrect parameter \"-x\"\n");
  EXPECT_EQ(failedFileLine("/docs/a b.txt"), "kestrix: /docs/a b.txt: Failed Modification\n");
  EXPECT_EQ(listNotWrittenLine("/tmp/x.lst"),
            "kestrix: /tmp/x.lst: the list could not be written\n");
}

}  // namespace
}  // namespace kestrix::app
