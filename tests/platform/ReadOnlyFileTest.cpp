// Whole-file reads of opened files into buffers kept from file to file.
#include <map>
#include <string>

#include "../search/TempTree.h"
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

}  // namespace
}  // namespace kestrix::platform
