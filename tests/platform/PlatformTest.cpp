// Tests of the platform seam: path joining, listing kinds, attributes, 64-bit sizes,
// whole-file reads and the simple file changes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "../search/TempTree.h"
#include "platform/FileAt.h"
#include "platform/FolderHandle.h"
#include "platform/Platform.h"

namespace kestrix::platform {
namespace {

using kestrix::testing::TempTree;

TEST(PlatformPaths, JoinAndSplit) {
  struct Case {
    const char* folder;
    const char* name;
    const char* joined;
  };
  const Case cases[] = {{"/", "a", "/a"}, {"/x", "a", "/x/a"}, {"x/", "a", "x/a"}, {"", "a", "a"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.folder) + " + " + c.name);
    EXPECT_EQ(joinPath(c.folder, c.name), c.joined);
  }
  EXPECT_EQ(folderOf("/a"), "/");
  EXPECT_EQ(folderOf("/x/y/a.txt"), "/x/y");
  EXPECT_EQ(folderOf("a.txt"), "");
  EXPECT_EQ(nameOf("/x/y/a.txt"), "a.txt");
}

TEST(PlatformListing, KindsAndLinksToFoldersAreNotFollowed) {
  TempTree tree;
  tree.write("file.txt", "x");
  tree.folder("sub");
  std::filesystem::create_directory_symlink(tree.at("sub"), tree.at("loop"));
  std::filesystem::create_symlink(tree.at("file.txt"), tree.at("link.txt"));
  std::filesystem::create_symlink(tree.at("missing"), tree.at("broken"));
  std::map<std::string, EntryKind> kinds;
  for (const DirEntry& e : listDirectory(tree.path())) kinds[e.name] = e.kind;
  EXPECT_EQ(kinds.size(), 5u);
  EXPECT_EQ(kinds["file.txt"], EntryKind::File);
  EXPECT_EQ(kinds["sub"], EntryKind::Directory);
  EXPECT_EQ(kinds["loop"], EntryKind::Other);
  EXPECT_EQ(kinds["link.txt"], EntryKind::File);
  EXPECT_EQ(kinds["broken"], EntryKind::Other);
  EXPECT_THROW(listDirectory(tree.at("missing")), PlatformError);
}

// A folder listed through its descriptor: more entries than one batch of records holds,
// the kinds of links, and the same entries when the same descriptor is listed again.
TEST(PlatformListing, FolderDescriptorListsEveryEntryOnce) {
  TempTree tree;
  const std::string longName(200, 'n');
  for (int i = 0; i < 600; ++i) tree.write(longName + std::to_string(i), "");
  tree.folder("sub");
  std::filesystem::create_directory_symlink(tree.at("sub"), tree.at("loop"));
  std::filesystem::create_symlink(tree.at("sub/../" + longName + "0"), tree.at("link.txt"));
  std::filesystem::create_symlink(tree.at("missing"), tree.at("broken"));
  const UniqueFd fd = openFolder(tree.path());
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    std::map<std::string, std::pair<EntryKind, bool>> kinds;
    std::size_t files = 0;
    for (const FolderEntry& e : listFolder(fd.get())) {
      EXPECT_TRUE(kinds.emplace(e.name, std::pair(e.kind, e.link)).second) << e.name;
      files += e.name.starts_with(longName) && e.kind == EntryKind::File && !e.link;
    }
    EXPECT_EQ(kinds.size(), 604u);
    EXPECT_EQ(files, 600u);
    EXPECT_EQ(kinds["sub"], std::pair(EntryKind::Directory, false));
    EXPECT_EQ(kinds["loop"], std::pair(EntryKind::Other, true));
    EXPECT_EQ(kinds["link.txt"], std::pair(EntryKind::File, true));
    EXPECT_EQ(kinds["broken"], std::pair(EntryKind::Other, true));
  }
}

TEST(PlatformFacts, AttributesSizesAndSparseFilesOver4GiB) {
  TempTree tree;
  tree.write(".hidden", "abc");
  const std::string plain = tree.write("plain", "12345");
  FileInfo hidden = stat(tree.at(".hidden"));
  EXPECT_TRUE(hidden.attributes.hidden);
  EXPECT_EQ(attributeLetters(hidden.attributes), "H");
  setMode(plain, 0444);
  FileInfo readOnly = stat(plain);
  EXPECT_EQ(attributeLetters(readOnly.attributes), "R");
  EXPECT_EQ(readOnly.sizeBytes, 5);
  EXPECT_EQ(makeWritable(plain), 0444u);
  EXPECT_EQ(getMode(plain), 0644u);
  EXPECT_EQ(attributeLetters(stat(plain).attributes), "");

  // A sparse file larger than any 32-bit size.
  const std::string big = tree.at("big.bin");
  const std::int64_t size = (std::int64_t{5} << 30) + 7;
  int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
  EXPECT_EQ(stat(big).sizeBytes, size);
  EXPECT_FALSE(tryStat(tree.at("none")).has_value());
  EXPECT_FALSE(exists(tree.at("none")));
}

TEST(PlatformFiles, ReadRenameRemove) {
  TempTree tree;
  const std::string a = tree.write("a", std::string("one\0two", 7));
  EXPECT_EQ(readFile(a), std::string("one\0two", 7));
  std::string buffer;
  EXPECT_EQ(readFileInto(a, buffer), std::string_view("one\0two", 7));
  tree.write("b", "xy");
  EXPECT_EQ(readFileInto(tree.at("b"), buffer), "xy");  // the buffer is reused
  EXPECT_THROW(readFile(tree.at("missing")), PlatformError);
  EXPECT_THROW(readFile(tree.path()), PlatformError);

  setMode(a, 0600);
  EXPECT_EQ(getMode(a), 0600u);
  tree.write("c", "three");
  renameFile(tree.at("c"), tree.at("d"));
  EXPECT_FALSE(exists(tree.at("c")));
  removeFile(tree.at("d"));
  EXPECT_FALSE(exists(tree.at("d")));
  EXPECT_THROW(removeFile(tree.at("d")), PlatformError);
}

TEST(PlatformFiles, ReadingNeverBlocksOnSpecialFiles) {
  TempTree tree;
  const std::string fifo = tree.at("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  // No writer: a blocking open or read would hang here for good.
  EXPECT_THROW(readFile(fifo), PlatformError);
  EXPECT_THROW(FileReader{fifo}, PlatformError);
  EXPECT_THROW(readFile("/dev/zero"), PlatformError);
  try {
    readRegularFile("/dev/zero", 100);
    ADD_FAILURE() << "read a device";
  } catch (const PlatformError& e) {
    EXPECT_NE(std::string(e.what()).find("not a regular file"), std::string::npos) << e.what();
  }
  tree.write("small", "12345");
  EXPECT_EQ(readRegularFile(tree.at("small"), 5), "12345");
  EXPECT_THROW(readRegularFile(tree.at("small"), 4), PlatformError);
}

TEST(PlatformFileAt, NamesBelowAFolder) {
  std::vector<std::string> parts;
  EXPECT_TRUE(componentsBelow("/a/b", "/a/b/c/d.txt", parts));
  EXPECT_EQ(parts, (std::vector<std::string>{"c", "d.txt"}));
  EXPECT_TRUE(componentsBelow("/", "/etc/passwd", parts));
  EXPECT_EQ(parts, (std::vector<std::string>{"etc", "passwd"}));
  for (const char* outside : {"/a/bc/d", "/a/b", "/a", "/x/a/b/c"}) {
    EXPECT_FALSE(componentsBelow("/a/b", outside, parts)) << outside;
  }
  EXPECT_EQ(absoluteName("/x/./y/../z/"), "/x/z");
}

TEST(PlatformTime, CivilDaysAndTicks) {
  EXPECT_EQ(daysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(daysFromCivil(2000, 3, 1), 11017);
  EXPECT_EQ(daysFromCivil(1969, 12, 31), -1);
  const std::uint64_t t0 = tickMs();
  EXPECT_GE(tickMs(), t0);
  EXPECT_EQ(decimalSeparator(), ".");  // tests run in the "C" locale
}

TEST(PlatformTime, ShortDatesWriteTheYearInFull) {
  const struct {
    const char* format;
    const char* expected;
  } cases[] = {
      {"%m/%d/%y", "%m/%d/%Y"},    // the "C" locale and en_GB's order
      {"%d.%m.%Y", "%d.%m.%Y"},    // already four digits
      {"%D", "%m/%d/%Y"},          // %D carries a two-digit year
      {"%Ey/%m", "%EY/%m"},        // the alternative era year
      {"%Oy-%Om", "%Oy-%Om"},      // alternative digits stay as they are
      {"%%y %y", "%%y %Y"},        // an escaped percent sign is text
      {"%d-%m-%y%", "%d-%m-%Y%"},  // a lone trailing percent sign is kept
  };
  for (const auto& c : cases) EXPECT_EQ(fourDigitYears(c.format), c.expected) << c.format;

  LocalTime t;
  t.year = 2026;
  t.month = 12;
  t.day = 9;
  EXPECT_EQ(formatShortDate(t), "12/09/2026");  // the "C" locale
}

}  // namespace
}  // namespace kestrix::platform
