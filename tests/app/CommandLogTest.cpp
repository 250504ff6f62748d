// The command-line run's log file and the re-quoted command line of its first line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/CommandLog.h"
#include "platform/AtomicWrite.h"

namespace kestrix::app {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

fs::path freshFolder(const std::string& name) {
  const char* tmp = std::getenv("KESTRIX_TEST_TMP");
  const fs::path folder = fs::path(tmp != nullptr ? tmp : "/tmp") / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

TEST(CommandLog, ShellCommandLineReadsBackAsTheSameWords) {
  const struct {
    std::vector<std::string> words;
    std::string line;
  } cases[] = {
      {{"kestrix", "-path=/srv/docs", "-com", "-s1=foo", "-ms=*.txt"},
       "kestrix -path=/srv/docs -com -s1=foo '-ms=*.txt'"},
      {{"/usr/bin/kestrix", "-path=/my docs", "-s1=it's"},
       "/usr/bin/kestrix '-path=/my docs' '-s1=it'\\''s'"},
      {{"k", "", "-r2=a|b", "$HOME", "~x", "a\"b", "tab\there"},
       "k '' '-r2=a|b' '$HOME' '~x' 'a\"b' 'tab\there'"},
      {{"k", "-s1=caf\xc3\xa9", "-fr=/tmp/log.txt"}, "k -s1=caf\xc3\xa9 -fr=/tmp/log.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(shellCommandLine(c.words), c.line);
}

TEST(CommandLog, WritesItsLinesWithCrLfOverAReadOnlyFile) {
  CommandLog log;
  log.begin("kestrix -path=/docs -com '-x1=y' -fr=/tmp/log.txt");
  log.add("Incorrect parameter \"-x1=y\"");
  log.add("Modify Type is \"None\"");
  const std::string expected =
      "Command Line: kestrix -path=/docs -com '-x1=y' -fr=/tmp/log.txt\r\n"
      "\r\n"
      "Incorrect parameter \"-x1=y\"\r\n"
      "Modify Type is \"None\"\r\n";
  EXPECT_EQ(log.text(), expected);
  ASSERT_EQ(log.lines().size(), 4u);

  const fs::path folder = freshFolder("commandlog");
  const fs::path file = folder / "log.txt";
  std::ofstream(file) << "an older log, longer than the new one............................";
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
  log.writeTo(file.string());
  EXPECT_EQ(readAll(file), expected);
  EXPECT_TRUE((fs::status(file).permissions() & fs::perms::owner_write) != fs::perms::none);
  // Nothing but the log is left in the folder (no temporary file).
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

  // A log that cannot be written throws and leaves nothing.
  EXPECT_THROW(log.writeTo((folder / "missing" / "log.txt").string()), platform::AtomicWriteError);
}

}  // namespace
}  // namespace kestrix::app
