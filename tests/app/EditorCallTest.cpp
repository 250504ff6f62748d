// The editor command split into words before its placeholders are filled: a file name is
// always inside one argument, whatever it holds.
#include <gtest/gtest.h>

#include "app/EditorCall.h"

namespace kestrix::app {
namespace {

using Words = std::vector<std::string>;

TEST(EditorCall, PlaceholdersFillWordsInTheirOrder) {
  const EditorFile file{"/home/u/my docs", "notes.v2.txt", 12};
  struct Case {
    const char* word;
    const char* expanded;
  } cases[] = {
      {"%PrFullName%", "/home/u/my docs/notes.v2.txt"},
      {"%PrPath%|%PrName%|%PrExt%", "/home/u/my docs/|notes.v2|.txt"},
      {"+%NumLine%", "+12"},
      {"%PrName%%PrName%", "notes.v2notes.v2"},
      {"%PrFull%PrPath%", "%PrFull/home/u/my docs/"},
  };
  for (const Case& c : cases) EXPECT_EQ(expandPlaceholders(c.word, file), c.expanded) << c.word;
  EXPECT_EQ(expandPlaceholders("%PrFullName%|%PrExt%", {"/", "Makefile", 1}), "/Makefile|");
}

TEST(EditorCall, WordsSplitAtBlanksOutsideQuotes) {
  struct Case {
    const char* command;
    Words words;
  } cases[] = {
      {"\"/opt/my editor/ed\" \"+12\" \"/a b/c.txt\"", {"/opt/my editor/ed", "+12", "/a b/c.txt"}},
      {"  gedit   \"+3\"\t/x.txt  ", {"gedit", "+3", "/x.txt"}},
      {"/usr/bin/kate", {"/usr/bin/kate"}},
      {"ed \"\" x", {"ed", "", "x"}},
      {"ed \"say \"\"hi\"\"\"", {"ed", "say \"hi\""}},
      {"ed --file=\"a b\"c", {"ed", "--file=a bc"}},
      {"\"/no closing quote x", {"/no closing quote x"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(commandWords(c.command), c.words) << c.command;
}

// Names that would split into several arguments, or hold placeholders or shell syntax, give
// the editor exactly the name, in one argument.
TEST(EditorCall, AHostileFileNameIsExactlyOneArgument) {
  const char* names[] = {
      "a\" \"+cd ~\" \"+!touch PWNED\" \"b.txt",
      "x %PrPath% %NumLine%.txt",
      "$(touch PWNED); `id` | rm -rf ~ &.txt",
      "-n +1 'q'.txt",
      "tab\tand\nnewline.txt",
  };
  for (const char* name : names) {
    const EditorFile file{"/tmp/d \"q\"", name, 7};
    const std::string full = "/tmp/d \"q\"/" + std::string(name);
    const EditorCall quoted = editorCall("vim \"+%NumLine%\" \"%PrFullName%\"", file);
    EXPECT_EQ(quoted.program, "vim") << name;
    EXPECT_EQ(quoted.arguments, (Words{"+7", full})) << name;
    const EditorCall bare = editorCall("vim %PrFullName% --", file);
    EXPECT_EQ(bare.arguments, (Words{full, "--"})) << name;
  }
}

}  // namespace
}  // namespace kestrix::app
