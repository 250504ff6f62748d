// Byte scans: memchr for one byte, and the two-byte scan whose state outlives a call.
#include "regex/ByteScan.h"

#include <algorithm>
#include <cstring>

namespace kestrix::regex {

const char* findByte(const char* from, const char* end, char c) {
  const void* hit = std::memchr(from, c, static_cast<size_t>(end - from));
  return hit ? static_cast<const char*>(hit) : end;
}

// The first occurrence of either byte at or after `at`. Each byte's next occurrence is kept
// until the scan passes it, also from one find to the next: a byte that never occurs is
// searched for once per subject, not once per call.
const char* TwoByteScan::next(const char* at, const char* end, char a, char b) {
  if (at < from_ || a != a_ || b != b_ || end != end_) {
    a_ = a;
    b_ = b;
    end_ = end;
    nextA_ = nextB_ = nullptr;
  }
  from_ = at;
  if (!nextA_ || nextA_ < at) nextA_ = findByte(at, end, a);
  if (!nextB_ || nextB_ < at) nextB_ = a == b ? end : findByte(at, end, b);
  return std::min(nextA_, nextB_);
}

}  // namespace kestrix::regex
