// Byte scans shared by the search loop and the automaton: memchr-class searches for the
// next candidate position of a match.
#pragma once

#include <string>

namespace kestrix::regex {

// How common a byte is in ordinary text and code; lower is more common. Scans look for the
// least common bytes of a text, which stop them least often.
int commonness(unsigned char c);

// The first `c` in [from, end), or `end`.
const char* findByte(const char* from, const char* end, char c);

// The first p in [from, limit) with p[o1] == c1 and p[o2] == c2, or `limit`. The bytes up
// to limit - 1 + max(o1, o2) must be readable.
const char* findPair(const char* from, const char* limit, int o1, char c1, int o2, char c2);

// Scan state for the next occurrence of either of two bytes in one subject.
class TwoByteScan {
 public:
  // The first `a` or `b` in [at, end), or `end`. Calls on one subject move forward; a new
  // subject needs a new (or reassigned) scan.
  const char* next(const char* at, const char* end, char a, char b);

 private:
  const char* from_ = nullptr;  // where the last call started
  const char* end_ = nullptr;
  const char* nextA_ = nullptr;  // the first `a` at or after from_ (null: not searched)
  const char* nextB_ = nullptr;
  char a_ = 0, b_ = 0;
};

// Finds a case-sensitive text: a pair scan for its two least common bytes at their
// offsets, then a comparison of the whole text at each hit.
class TextScan {
 public:
  explicit TextScan(std::string text);
  // The first occurrence of the text that lies wholly in [from, end), or null. An empty
  // text is found nowhere.
  const char* find(const char* from, const char* end) const;
  const std::string& text() const { return text_; }

 private:
  std::string text_;
  int key_ = 0;   // the offset of the least common byte
  int key2_ = 0;  // the next least common (the same for a text of one byte)
};

}  // namespace kestrix::regex
