// Word-at-a-time multiply-rotate hashing; the same value whether the bytes come whole or
// in pieces whose sizes are multiples of eight.
#include "modify/ContentHash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

class Hasher {
 public:
  // `bytes` must be a multiple of eight long, except in the last call.
  void add(std::string_view bytes) {
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
      std::uint64_t w;
      std::memcpy(&w, bytes.data() + i, 8);
      h_ = rotl(h_ ^ (w * kMul2), 31) * kMul1;
    }
    std::uint64_t tail = 0;
    for (std::size_t k = 0; i + k < bytes.size(); ++k) {
      tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i + k])) << (8 * k);
    }
    if (i < bytes.size()) h_ = rotl(h_ ^ (tail * kMul2), 31) * kMul1;
    size_ += bytes.size();
  }
  ContentStamp stamp() const {
    std::uint64_t h = h_ ^ size_;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return {static_cast<std::int64_t>(size_), h};
  }

 private:
  std::uint64_t h_ = kMul1;
  std::uint64_t size_ = 0;
};

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

ContentStamp stampOf(std::string_view bytes) {
  Hasher h;
  h.add(bytes);
  return h.stamp();
}

ContentStamp stampOfFileAt(int dirFd, const std::string& name, const std::string& path,
                           std::int64_t* mtimeNs) {
  struct ::stat st {};
  platform::UniqueFd fd = platform::openRegularAt(dirFd, name, path, st);
  if (mtimeNs)
    *mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  Hasher h;
  std::vector<char> buffer(64 << 10);
  for (;;) {
    const std::size_t got = readFull(fd.get(), buffer, path);
    h.add(std::string_view(buffer.data(), got));
    if (got < buffer.size()) break;
  }
  return h.stamp();
}

}  // namespace kestrix::modify
