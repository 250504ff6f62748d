// A fast 64-bit hash of a file's content: the stamp that lets undo tell whether a file is
// still what the run left (or what it was before the run). Not cryptographic.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrix::modify {

// What a content looked like: its size and its hash.
struct ContentStamp {
  std::int64_t sizeBytes = 0;
  std::uint64_t hash = 0;
  bool operator==(const ContentStamp&) const = default;
};

// The stamp of `bytes`.
ContentStamp stampOf(std::string_view bytes);

// The stamp of a content given piece by piece, of any sizes: the same as stampOf() of the
// pieces joined.
class ContentHasher {
 public:
  void add(std::string_view bytes);
  ContentStamp stamp() const;

 private:
  std::uint64_t h_ = 0x9E3779B97F4A7C15ull;
  std::uint64_t size_ = 0;
  char tail_[8] = {};
  std::size_t tailSize_ = 0;  // bytes in `tail_` waiting for a whole word
};

// The stamp of the regular file `name` in the open folder `dirFd` (read in pieces, never
// followed through a link), and its modification time in ns since the epoch. `shown`
// names it in messages. Throws platform::PlatformError.
ContentStamp stampOfFileAt(int dirFd, const std::string& name, const std::string& shown,
                           std::int64_t* mtimeNs = nullptr);

}  // namespace kestrix::modify
