// Whole-file reads of opened files into buffers kept from file to file.
#include <sys/stat.h>

#include <cerrno>
#include <map>
#include <string>

#include "../search/TempTree.h"
#include "platform/Platform.h"
#include "platform/ReadOnlyFile.h"

namespace kestrix::platform {
namespace {

using kestrix::testing::TempTree;

// Whole-file reads into a buffer kept from file to file, of either kind: smaller and larger
// files, and a file that was empty when opened and grew, so the buffer grows while reading.
template <class Buffer>
void readsWholeFilesInto(Buffer& buffer) {
  TempTree tree;
  tree.write("grows", "");
  {
    ReadOnlyFile file(tree.at("grows"));
    std::string grown;
    for (int i = 0; i < 3000; ++i) grown += std::to_string(i);
    tree.write("grows", grown);
    EXPECT_EQ(file.readAll(buffer), grown);
  }
  const std::string big(100000, 'b');
  tree.write("small", "12345");
  tree.write("big", big);
  tree.write("tiny", "xy");
  for (const auto& [name, content] :
       std::map<std::string, std::string>{{"small", "12345"}, {"big", big}, {"tiny", "xy"}}) {
    ReadOnlyFile file(tree.at(name));
    EXPECT_EQ(file.readAll(buffer), content) << name;
  }
}

TEST(PlatformFiles, WholeFileReadsIntoReusedBuffers) {
  std::string text;
  readsWholeFilesInto(text);
  ReadBuffer bytes;
  readsWholeFilesInto(bytes);
}

// Past the read cap every whole read fails as too large (EFBIG); a file of exactly the cap
// is read.
TEST(PlatformFiles, WholeReadsStopAtTheReadCap) {
  TempTree tree;
  tree.write("over", std::string(5000, 'o'));
  tree.write("at", std::string(4096, 'a'));
  const std::int64_t saved = readCap();
  setReadCap(4096);
  auto capped = [](auto read) {
    try {
      read();
    } catch (const PlatformError& e) {
      return e.errorCode() == EFBIG;
    }
    return false;
  };
  std::string text;
  ReadBuffer bytes;
  EXPECT_TRUE(capped([&] { ReadOnlyFile(tree.at("over")).readAll(text); }));
  EXPECT_TRUE(capped([&] { ReadOnlyFile(tree.at("over")).readAll(bytes); }));
  EXPECT_TRUE(capped([&] { readFile(tree.at("over")); }));
  EXPECT_EQ(ReadOnlyFile(tree.at("at")).readAll(text).size(), 4096u);
  EXPECT_EQ(readFile(tree.at("at")).size(), 4096u);
  setReadCap(saved);
}

// The program's own files are only used when missing or regular and small enough; nothing
// is opened to find out, so a FIFO never blocks.
TEST(PlatformFiles, OwnFilesMustBeRegularAndBelowTheirCap) {
  TempTree tree;
  tree.write("small", "x");
  tree.write("large", std::string(100, 'l'));
  ASSERT_EQ(::mkfifo(tree.at("fifo").c_str(), 0600), 0);
  tree.folder("folder");
  const std::map<std::string, bool> cases = {
      {tree.at("missing"), true}, {tree.at("small"), true},   {tree.at("large"), false},
      {tree.at("fifo"), false},   {tree.at("folder"), false}, {"/dev/null", false},
  };
  for (const auto& [path, usable] : cases) EXPECT_EQ(ownFileUsable(path, 10), usable) << path;
}

}  // namespace
}  // namespace kestrix::platform
