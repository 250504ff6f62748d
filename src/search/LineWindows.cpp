// Line windows: each read appends to the unfinished line the previous window left at the
// front of the buffer; the window is handed on up to its last line break.
#include "search/LineWindows.h"

#include <algorithm>
#include <cstring>

namespace kestrix::search {

std::size_t lineWindowCut(const char* data, std::size_t size) {
  // A LF always ends a break; a CR only when the byte after it is known not to be a LF.
  if (const void* lf = memrchr(data, '\n', size)) {
    return static_cast<std::size_t>(static_cast<const char*>(lf) - data) + 1;
  }
  if (size < 2) return 0;
  if (const void* cr = memrchr(data, '\r', size - 1)) {
    return static_cast<std::size_t>(static_cast<const char*>(cr) - data) + 1;
  }
  return 0;
}

bool forEachLineWindow(const ReadAt& read, std::string& buffer, std::size_t windowBytes,
                       const std::function<bool(std::string_view)>& each, std::uint64_t size) {
  windowBytes = std::max<std::size_t>(windowBytes, 2);
  if (buffer.size() < windowBytes) buffer.resize(windowBytes);
  std::uint64_t offset = 0;
  std::size_t kept = 0;  // the start of an unfinished line, at the front of the buffer
  for (;;) {
    // A line longer than the window: the buffer grows until the line fits.
    if (buffer.size() - kept < windowBytes / 2) buffer.resize(kept + windowBytes);
    const std::size_t room = std::min(buffer.size() - kept, windowBytes);
    const std::size_t got = read(offset, buffer.data() + kept, room);
    offset += got;
    std::size_t used = kept + got;
    bool last = got == 0 || offset >= size;
    if (const void* nul = std::memchr(buffer.data() + kept, '\0', got)) {
      used = static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.data());
      last = true;
    }
    // The kept bytes hold no LF and were searched once: only the bytes read now are searched
    // (with the last kept byte, a CR that may pair with a LF read now), so a line of any
    // length costs time linear in it. A CR passed over among the kept bytes only makes the
    // piece end at a later break.
    const std::size_t from = kept > 0 ? kept - 1 : 0;
    std::size_t cut = used;
    if (!last) {
      cut = lineWindowCut(buffer.data() + from, used - from);
      if (cut > 0) cut += from;
    }
    if (cut > 0 && !each(std::string_view(buffer.data(), cut))) return false;
    if (last) return true;
    kept = used - cut;
    if (cut > 0) std::memmove(buffer.data(), buffer.data() + cut, kept);
  }
}

}  // namespace kestrix::search
