// What recording a file's changes for a review costs on top of the rewrite itself: each
// change is made once, and its record takes one allocation.
#include <gtest/gtest.h>

#include "Allocations.h"
#include "modify/ChangeSet.h"
#include "modify/TextEngines.h"

namespace kestrix::modify {
namespace {

using kestrix::testing::allocationCount;

// The allocations of `work`.
template <typename F>
std::size_t allocationsOf(F&& work) {
  const std::size_t before = allocationCount();
  work();
  return allocationCount() - before;
}

TEST(ChangeRecording, ARecordedBlockCostsOneAllocation) {
  constexpr std::size_t kBlocks = 2000;
  const std::string line(60, 'r');
  ModifyRequest request;
  request.searchType = QueryType::Multiline;
  request.searchLines = {"OLD", "OLDER"};
  request.replacementLines = {line + "1", line + "2", line + "3"};
  request.caseSensitive = true;
  for (const LineSeparator separator : {LineSeparator::Keep, LineSeparator::Unix}) {
    request.lineSeparator = separator;
    std::string bytes;
    for (std::size_t i = 0; i < kBlocks; ++i) bytes += "keep\nOLD\nOLDER\n";
    StopPoll poll;
    const std::size_t plain = allocationsOf([&] { rewriteMultiline(bytes, request, poll); });
    ChangeRecorder recorder;
    FileChanges changes;
    const std::size_t recording = allocationsOf([&] {
      rewriteMultiline(bytes, request, poll, &recorder);
      changes = recorder.take();
    });
    ASSERT_EQ(changes.changes.size(), kBlocks);
    // The copy of the text and the growth of the list of changes aside.
    EXPECT_LE(recording - plain, kBlocks + 64)
        << "separator " << static_cast<int>(separator) << ": " << recording << " allocations, "
        << plain << " without recording";
  }
}

}  // namespace
}  // namespace kestrix::modify
