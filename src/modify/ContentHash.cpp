// Word-at-a-time multiply-rotate hashing; the same value whether the bytes come whole or
// in pieces.
#include "modify/ContentHash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/FileAt.h"
#include "platform/Platform.h"

namespace kestrix::modify {
namespace {

constexpr std::uint64_t kMul1 = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kMul2 = 0xC2B2AE3D27D4EB4Full;

std::uint64_t rotl(std::uint64_t x, int r) {
  return (x << r) | (x >> (64 - r));
}

std::uint64_t mix(std::uint64_t h, std::uint64_t word) {
  return rotl(h ^ (word * kMul2), 31) * kMul1;
}

std::uint64_t wordAt(const char* p, std::size_t n = 8) {
  std::uint64_t w = 0;
  for (std::size_t k = 0; k < n; ++k) {
    w |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[k])) << (8 * k);
  }
  return w;
}

// Fills `buffer` from `fd` as far as the file goes; returns the bytes read.
std::size_t readFull(int fd, std::vector<char>& buffer, const std::string& path) {
  std::size_t used = 0;
  while (used < buffer.size()) {
    const ssize_t got = ::read(fd, buffer.data() + used, buffer.size() - used);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0)
      throw platform::PlatformError("Cannot read " + path + ": " + std::strerror(errno), errno);
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  return used;
}

}  // namespace

void ContentHasher::add(std::string_view bytes) {
  size_ += bytes.size();
  std::size_t i = 0;
  if (tailSize_ > 0) {
    const std::size_t take = std::min(8 - tailSize_, bytes.size());
    std::memcpy(tail_ + tailSize_, bytes.data(), take);
    tailSize_ += take;
    i = take;
    if (tailSize_ < 8) return;
    h_ = mix(h_, wordAt(tail_));
    tailSize_ = 0;
  }
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, bytes.data() + i, 8);
    h_ = mix(h_, w);
  }
  tailSize_ = bytes.size() - i;
  std::memcpy(tail_, bytes.data() + i, tailSize_);
}

ContentStamp ContentHasher::stamp() const {
  std::uint64_t h = tailSize_ > 0 ? mix(h_, wordAt(tail_, tailSize_)) : h_;
  h ^= size_;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  return {static_cast<std::int64_t>(size_), h};
}

ContentStamp stampOf(std::string_view bytes) {
  ContentHasher h;
  h.add(bytes);
  return h.stamp();
}

ContentStamp stampOfFileAt(int dirFd, const std::string& name, const std::string& path,
                           std::int64_t* mtimeNs) {
  struct ::stat st {};
  platform::UniqueFd fd = platform::openRegularAt(dirFd, name, path, st);
  if (mtimeNs)
    *mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  ContentHasher h;
  std::vector<char> buffer(64 << 10);
  for (;;) {
    const std::size_t got = readFull(fd.get(), buffer, path);
    h.add(std::string_view(buffer.data(), got));
    if (got < buffer.size()) break;
  }
  return h.stamp();
}

}  // namespace kestrix::modify
