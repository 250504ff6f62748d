// The rename rules, their messages in order, the new names, and the rename run.
#include <sys/stat.h>

#include "../search/TempTree.h"
#include "fileops/Rename.h"
#include "platform/Platform.h"

namespace kestrix::fileops {
namespace {

TEST(RenameRules, MessagesComeInTheirOrderAndTextsAreTrimmed) {
  struct Case {
    RenameRules rules;
    const char* message;  // nullptr: valid
  };
  const char* kName = "A file name cannot contain any of the following characters: \\/:*?\"<><>|";
  const char* kExt =
      "A file extension cannot contain any of the following characters: .\\/:*?\"<><>|";
  const Case cases[] = {
      {{.prefix = "a/b"}, kName},
      {{.suffix = "x|", .newExtension = true, .extension = "a.b"}, kName},
      {{.prefix = "   "}, "Please specify any commands"},
      {{.newExtension = true, .extension = "t.xt"}, kExt},
      {{.newExtension = true, .extension = "a?"}, kExt},
      {{.newExtension = true, .extension = " .txt "}, nullptr},
      {{.remove = true}, nullptr},
      {{.prefix = " old_ "}, nullptr},
  };
  for (const Case& c : cases) {
    RenameRules rules = c.rules;
    const auto message = validateRules(rules);
    EXPECT_EQ(message.value_or("valid"), c.message ? c.message : "valid")
        << c.rules.prefix << c.rules.extension;
  }
  RenameRules r{.prefix = " old_ ", .newExtension = true, .extension = " .txt "};
  EXPECT_FALSE(validateRules(r));
  EXPECT_EQ(r.prefix, "old_");
  EXPECT_EQ(r.extension, "txt");
}

TEST(RenameRules, NewNames) {
  struct Case {
    const char* name;
    RenameRules rules;
    const char* expected;
  };
  const Case cases[] = {
      {"report.log",
       {.prefix = "old_", .newExtension = true, .extension = "txt"},
       "old_report.txt"},
      {"abcdef.txt", {.remove = true, .firstPosition = 1, .number = 3}, "def.txt"},
      {"abc.txt", {.remove = true, .firstPosition = 9, .number = 3}, "abc.txt"},
      {"abc.txt", {.remove = true, .firstPosition = 2, .number = 30}, "a.txt"},
      {"a.tar.gz", {.suffix = "_1"}, "a.tar_1.gz"},
      {"Makefile", {.prefix = "x"}, "xMakefile"},
      {"a.txt", {.newExtension = true, .extension = ""}, "a"},
      {"noext", {.newExtension = true, .extension = "c"}, "noext.c"},
  };
  for (const Case& c : cases) EXPECT_EQ(buildNewName(c.name, c.rules), c.expected) << c.name;
}

struct Prompts {
  std::vector<std::string> errors;
  std::vector<std::string> questions;
  bool goOn = true;
  Decision protectedAnswer = Decision::Yes;
  RenamePrompts get() {
    return {[this](const std::string& n) {
              questions.push_back("protected " + n);
              return protectedAnswer;
            },
            [this](const std::string& a, const std::string& b) {
              questions.push_back(a + " | " + b);
              return goOn;
            },
            [this](const std::string& text) { errors.push_back(text); }};
  }
};

TEST(RenameFiles, RenamesOddNamesAndAClashLeavesBothFilesUntouched) {
  testing::TempTree tree;
  const std::string odd = tree.write("a \"b\" <&>\n\xfe.log", "1");
  tree.write("old_b.log", "existing");
  const std::string b = tree.write("b.log", "2");
  Prompts p;
  RenameRules rules{.prefix = "old_"};
  RenameOutcome out = renameFiles({odd, b}, rules, true, p.get());
  ASSERT_TRUE(out.newNames[0]);
  EXPECT_EQ(*out.newNames[0], "old_a \"b\" <&>\n\xfe.log");
  EXPECT_EQ(platform::readFile(tree.at(*out.newNames[0])), "1");
  EXPECT_FALSE(out.newNames[1]);
  ASSERT_EQ(p.questions.size(), 1u);
  EXPECT_EQ(
      p.questions[0],
      "Cannot rename " + b + ": | A file with the name you specified (old_b.log) already exists.");
  EXPECT_EQ(platform::readFile(b), "2");
  EXPECT_EQ(platform::readFile(tree.at("old_b.log")), "existing");

  out = renameFiles({b}, rules, false, p.get());
  ASSERT_EQ(p.errors.size(), 1u);
  EXPECT_EQ(p.errors[0], "Cannot rename " + b +
                             ": A file with the name you specified (old_b.log) already exists.");
}

TEST(RenameFiles, MissingProtectedAndEmptyNames) {
  testing::TempTree tree;
  const std::string ro = tree.write("ro.txt", "r");
  ::chmod(ro.c_str(), 0444);
  const std::string dot = tree.write(".hidden", "h");
  Prompts p;
  p.protectedAnswer = Decision::Skip;
  RenameOutcome out = renameFiles({ro, tree.at("gone.txt"), dot}, {.prefix = "x"}, true, p.get());
  EXPECT_EQ(p.questions.front(), "protected " + ro);
  EXPECT_FALSE(out.newNames[0]);
  ASSERT_EQ(p.errors.size(), 1u);
  EXPECT_EQ(p.errors[0],
            "Cannot rename " + tree.at("gone.txt") + ": Cannot find the specified file.");
  EXPECT_FALSE(out.newNames[2]);  // the run ended at the missing file

  p = Prompts{};
  const std::string abc = tree.write("abc.txt", "a");
  out = renameFiles({abc}, {.remove = true, .firstPosition = 1, .number = 5}, false, p.get());
  EXPECT_EQ(p.errors, std::vector<std::string>{"Cannot rename \"" + abc + "\" to \".txt\""});
  EXPECT_TRUE(platform::exists(abc));
}

TEST(RenameNoReplace, RefusesAnExistingTarget) {
  testing::TempTree tree;
  const std::string a = tree.write("a", "a");
  const std::string b = tree.write("b", "b");
  EXPECT_EQ(renameNoReplace(a, b), EEXIST);
  EXPECT_EQ(platform::readFile(b), "b");
  EXPECT_EQ(renameNoReplace(a, tree.at("c")), 0);
  EXPECT_EQ(platform::readFile(tree.at("c")), "a");
  EXPECT_FALSE(platform::exists(a));
}

}  // namespace
}  // namespace kestrix::fileops
