// The window's command line: the kind of start, the switches of a run and the messages
// reported before a run, in their order.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace kestrix::app {
namespace {

using Args = std::vector<std::string>;
using Lines = std::vector<std::string>;
using modify::ModificationType;

// The window as a command-line run finds it: the settings' Phrase search and Replace.
CommandRunFields savedFields() {
  CommandRunFields f;
  f.folder = "/docs";
  f.masks = "*.*";
  f.phraseSearch = true;
  f.modification = ModificationType::Replace;
  f.searchText = "saved";
  f.replaceText = "saved too";
  return f;
}

TEST(CommandLine, StartKindAndReportingSwitches) {
  const struct {
    Args args;
    StartKind kind;
    std::string folder;   // CommandLine
    std::string project;  // Project
    bool run, show, log;
    std::string logFile;
  } cases[] = {
      {{}, StartKind::Plain, "", "", false, false, false, ""},
      {{"-path=/docs", "-com", "-s1=foo", "-r1=bar", "-ms=*.txt"},
       StartKind::CommandLine,
       "/docs",
       "",
       true,
       false,
       false,
       ""},
      // Without "-com" the window only opens on the folder.
      {{"-path=/docs", "-s1=foo"}, StartKind::CommandLine, "/docs", "", false, false, false, ""},
      {{" \t-PATH:/my docs ", "  -COM  ", "-Shr", "-FR=/tmp/log one.txt"},
       StartKind::CommandLine,
       "/my docs ",
       "",
       true,
       true,
       true,
       "/tmp/log one.txt"},
      {{"-path"}, StartKind::CommandLine, "", "", false, false, false, ""},
      {{"-path=", "-com"}, StartKind::CommandLine, "", "", true, false, false, ""},
      // "-comx" is no "-com"; an empty "-fr=" logs nothing; the walk ends at an empty argument.
      {{"-path=/d", "-comx", "-fr=", "-shrr"},
       StartKind::CommandLine,
       "/d",
       "",
       false,
       false,
       false,
       ""},
      {{"-path=/d", "-shr", " ", "-com", "-fr=/x"},
       StartKind::CommandLine,
       "/d",
       "",
       false,
       true,
       false,
       ""},
      // The last "-fr=" names the log.
      {{"-path=/d", "-fr=/a", "-fr=/b"},
       StartKind::CommandLine,
       "/d",
       "",
       false,
       false,
       true,
       "/b"},
      // Anything but "-path" first is a project file, whatever follows.
      {{"project.ksr", "-com"}, StartKind::Project, "", "project.ksr", false, false, false, ""},
      {{"-com", "-path=/d"}, StartKind::Project, "", "-com", false, false, false, ""},
      {{"  -pat=/x"}, StartKind::Project, "", "-pat=/x", false, false, false, ""},
  };
  for (const auto& c : cases) {
    const StartArguments start = parseStartArguments(c.args);
    const std::string name = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(start.kind, c.kind) << name;
    EXPECT_EQ(start.folder, c.folder) << name;
    EXPECT_EQ(start.projectFile, c.project) << name;
    EXPECT_EQ(start.commandLineRun, c.run) << name;
    EXPECT_EQ(start.showErrors, c.show) << name;
    EXPECT_EQ(start.logErrors, c.log) << name;
    EXPECT_EQ(start.logFileName, c.logFile) << name;
  }
}

TEST(CommandLine, StartFolder) {
  using Folder = std::optional<std::string>;
  const struct {
    Args args;
    Folder folder;
  } cases[] = {
      {{"-path=/home/u/my docs"}, "/home/u/my docs"},
      {{" \t-PATH=/srv", "-com"}, "/srv"},
      {{"-Path:rel/dir"}, "rel/dir"},
      // A launcher without a folder keeps the remembered one; a run refuses the empty one.
      {{"-path="}, std::nullopt},
      {{"-path=", "-com"}, ""},
      {{"-pat"}, std::nullopt},
      {{"project.ksr", "-path=/x"}, std::nullopt},
      {{}, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(startFolderOf(parseStartArguments(c.args)), c.folder)
        << (c.args.empty() ? "(none)" : c.args[0]);
}

TEST(CommandLine, SwitchesSetTheWindowsValues) {
  const CommandRunPlan docs =
      planCommandRun({"-path=/docs", "-com", "-s1=foo", "-r1=bar", "-ms=*.txt"}, savedFields());
  EXPECT_TRUE(docs.runs());
  EXPECT_EQ(docs.fields.searchText, "foo");
  EXPECT_EQ(docs.fields.replaceText, "bar");
  EXPECT_EQ(docs.fields.masks, "*.txt");
  EXPECT_EQ(docs.fields.folder, "/docs");
  EXPECT_EQ(docs.fields.modification, ModificationType::Replace);
  EXPECT_TRUE(docs.listFile.empty());

  // Case of the switch ignored, case and leading spaces of the value kept; the last wins.
  const CommandRunPlan mixed =
      planCommandRun({"-path=/docs", "-S1=Foo", "  -R1=  Bar ", "-Pt=/other", "-PT=/last",
                      "-fs=/tmp/list file.lst", "-s2=one|two", "-r2=a||b"},
                     savedFields());
  EXPECT_TRUE(mixed.runs()) << mixed.messages.front();
  EXPECT_EQ(mixed.fields.searchText, "Foo");
  EXPECT_EQ(mixed.fields.replaceText, "  Bar ");
  EXPECT_EQ(mixed.fields.folder, "/last");
  EXPECT_EQ(mixed.listFile, "/tmp/list file.lst");
  EXPECT_EQ(mixed.fields.searchLines, (Lines{"one", "two"}));
  EXPECT_EQ(mixed.fields.replaceLines, (Lines{"a|b"}));

  // Nothing after an empty argument is read.
  const CommandRunPlan cut =
      planCommandRun({"-path=/d", "-s1=x", "", "-s1=y", "-bad"}, savedFields());
  EXPECT_TRUE(cut.runs());
  EXPECT_EQ(cut.fields.searchText, "x");
}

TEST(CommandLine, MultiLineValues) {
  const struct {
    std::string value;
    Lines lines;
  } cases[] = {
      {"a|b||c|", {"a", "b|c", ""}},
      {"one|two", {"one", "two"}},
      {"a||b", {"a|b"}},
      {"|||", {"|", ""}},
      {"x", {"x"}},
      {"|", {"", ""}},
      {"||||", {"||"}},
      {" a | b ", {" a ", " b "}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitSwitchLines(c.value), c.lines) << c.value;
}

TEST(CommandLine, IncorrectParametersInArgumentOrder) {
  const CommandRunPlan plan =
      planCommandRun({"-path=/docs", "-com", "-x1=y", "-s1=", "  -comx", "-path=/again",
                      "-fr=", "-shr", "-fr=/log.txt", "-ms", "-r1=ok"},
                     savedFields());
  EXPECT_EQ(plan.messages,
            (Lines{"Incorrect parameter \"-x1=y\"", "Incorrect parameter \"-s1=\"",
                   "Incorrect parameter \"-comx\"", "Incorrect parameter \"-path=/again\"",
                   "Incorrect parameter \"-fr=\"", "Incorrect parameter \"-ms\""}));
  EXPECT_EQ(plan.fields.replaceText, "ok");  // the walk goes on after an error
}

TEST(CommandLine, ChecksReportEveryFailureInOrder) {
  CommandRunFields none = savedFields();
  none.modification = ModificationType::None;
  EXPECT_EQ(planCommandRun({"-path=/d", "-com"}, none).messages,
            (Lines{"Modify Type is \"None\""}));

  CommandRunFields empty = savedFields();
  empty.folder = " \t";
  empty.masks = "";
  empty.searchText = "";
  empty.replaceText = "";
  EXPECT_EQ(planCommandRun({"-path=", "-com", "-nope"}, empty).messages,
            (Lines{"Incorrect parameter \"-nope\"", "Please specify the Path",
                   "Please specify the Mask", "Please specify the string to search",
                   "Please specify the string to replace or insert"}));

  CommandRunFields tooLong = savedFields();
  tooLong.searchText = std::string(4001, 'x');
  tooLong.replaceText = std::string(4001, 'y');
  EXPECT_EQ(planCommandRun({"-path=/d"}, tooLong).messages,
            (Lines{"The string is too long for the To Search field",
                   "The string is too long for the To Replace or Insert field"}));
  tooLong.searchText.pop_back();
  tooLong.replaceText.pop_back();
  EXPECT_TRUE(planCommandRun({"-path=/d"}, tooLong).runs());

  // Multi-line search: the lines are checked, each message once.
  CommandRunFields lines = savedFields();
  lines.phraseSearch = false;
  lines.searchText = "";  // the one-line texts do not count
  lines.replaceText = "";
  lines.searchLines = {std::string(1001, 'a'), std::string(1001, 'b')};
  lines.replaceLines = {"ok", std::string(1001, 'c'), std::string(1001, 'd')};
  EXPECT_EQ(planCommandRun({"-path=/d"}, lines).messages,
            (Lines{"The lines are too long for the To Search field",
                   "The lines are too long for the To Replace or Insert field"}));
  lines.searchLines = {};
  lines.replaceLines = {};
  EXPECT_EQ(
      planCommandRun({"-path=/d"}, lines).messages,
      (Lines{"Please specify the text to search", "Please specify the text to replace or insert"}));
  // A switch fills the lines; a single empty line is text.
  EXPECT_EQ(
      planCommandRun({"-path=/d", "-s2=a|b", "-r2="}, lines).messages,
      (Lines{"Incorrect parameter \"-r2=\"", "Please specify the text to replace or insert"}));
  EXPECT_TRUE(planCommandRun({"-path=/d", "-s2=a|b", "-r2=|"}, lines).runs());

  // Delete and Clear need no replacement text.
  for (ModificationType type : {ModificationType::Delete, ModificationType::Clear}) {
    CommandRunFields f = savedFields();
    f.modification = type;
    f.replaceText = "";
    EXPECT_TRUE(planCommandRun({"-path=/d"}, f).runs());
  }
  CommandRunFields insert = savedFields();
  insert.modification = ModificationType::InsertAfter;
  insert.replaceText = "";
  EXPECT_EQ(planCommandRun({"-path=/d"}, insert).messages,
            (Lines{"Please specify the string to replace or insert"}));
}

}  // namespace
}  // namespace kestrix::app
