// Test helper: what undo must give back of a file (bytes, mode, access and modification
// times, the "user.kept" attribute), read without moving the access time.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdint>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace kestrix::testing {

inline std::int64_t nsOf(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Facts {
  std::string bytes;
  unsigned mode = 0;
  std::int64_t accessNs = 0, modificationNs = 0;
  std::string attribute;
  bool operator==(const Facts&) const = default;
};

inline void PrintTo(const Facts& f, std::ostream* os) {
  *os << "{" << ::testing::PrintToString(f.bytes) << " mode " << std::oct << f.mode << std::dec
      << " atime " << f.accessNs << " mtime " << f.modificationNs << " attr " << f.attribute << "}";
}

// The bytes of a file, read without moving its access time.
inline std::string readQuietly(const std::string& path) {
  std::string bytes;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOATIME | O_CLOEXEC);
  char buffer[4096];
  for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  if (fd >= 0) ::close(fd);
  return bytes;
}

// The facts of `path` as `st` (its lstat) gives them, without its bytes.
inline Facts factsOf(const std::string& path, const struct ::stat& st) {
  char value[64] = {};
  const ssize_t n = ::lgetxattr(path.c_str(), "user.kept", value, sizeof value);
  return {"", st.st_mode & 07777u, nsOf(st.st_atim), nsOf(st.st_mtim),
          n > 0 ? std::string(value, static_cast<std::size_t>(n)) : ""};
}

}  // namespace kestrix::testing
