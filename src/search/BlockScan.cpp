// Streaming block count: lines are cut from the window as their breaks arrive (a CR at the
// end of the window waits for the next byte, which may make it CR LF) and kept in a queue of
// at most as many lines as the query has.
#include "search/BlockScan.h"

#include <algorithm>
#include <cstring>
#include <deque>

namespace kestrix::search {
namespace {

// A line as offsets into the buffer.
struct Span {
  std::size_t offset = 0, size = 0;
};

std::size_t findBreak(const char* data, std::size_t from, std::size_t to) {
  for (std::size_t p = from; p < to; ++p) {
    if (data[p] == '\n' || data[p] == '\r') return p;
  }
  return to;
}

}  // namespace

std::optional<std::int64_t> countBlocks(const ReadAt& read,
                                        const std::vector<std::string>& prepared,
                                        const BlockOptions& options, std::string& buffer,
                                        const std::function<bool()>& abandon,
                                        std::size_t windowBytes) {
  const std::size_t n = prepared.size();
  if (n == 0) return 0;
  windowBytes = std::max<std::size_t>(windowBytes, 1);
  std::deque<Span> pending;
  std::int64_t count = 0;
  auto take = [&](Span line) {
    pending.push_back(line);
    if (pending.size() < n) return;
    std::size_t j = 0;
    while (j < n &&
           blockLineEquals(std::string_view(buffer.data() + pending[j].offset, pending[j].size),
                           prepared[j], options)) {
      ++j;
    }
    if (j == n) {
      ++count;
      pending.clear();
    } else {
      pending.pop_front();
    }
  };
  std::uint64_t filePos = 0;
  std::size_t size = 0, lineStart = 0, scanPos = 0;
  for (bool end = false; !end;) {
    if (abandon && abandon()) return std::nullopt;
    // Drop what no pending line needs; grow when a long line fills the buffer.
    const std::size_t keep = pending.empty() ? lineStart : pending.front().offset;
    if (keep > 0) {
      std::memmove(buffer.data(), buffer.data() + keep, size - keep);
      for (Span& line : pending) line.offset -= keep;
      size -= keep, lineStart -= keep, scanPos -= keep;
    }
    if (buffer.size() < size + windowBytes) buffer.resize(std::max(size + windowBytes, 2 * size));
    std::size_t got = read(filePos, buffer.data() + size, windowBytes);
    filePos += got;
    end = got == 0;
    if (const void* nul = std::memchr(buffer.data() + size, 0, got)) {  // the text ends here
      got = static_cast<std::size_t>(static_cast<const char*>(nul) - (buffer.data() + size));
      end = true;
    }
    size += got;
    const char* data = buffer.data();
    for (;;) {
      const std::size_t p = findBreak(data, scanPos, size);
      if (p == size) {
        if (end && lineStart < size) take({lineStart, size - lineStart});
        scanPos = size;
        break;
      }
      std::size_t next = p + 1;
      if (data[p] == '\r') {
        if (p + 1 == size && !end) {  // CR LF or CR alone: the next window tells
          scanPos = p;
          break;
        }
        if (p + 1 < size && data[p + 1] == '\n') ++next;
      }
      take({lineStart, p - lineStart});
      lineStart = scanPos = next;
    }
  }
  return count;
}

}  // namespace kestrix::search
