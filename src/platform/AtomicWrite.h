// Safe replacement of a file's content: the new bytes go to a temporary file in the same
// folder, are flushed to disk, and the temporary is renamed over the original.
#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace kestrix::platform {

// A failed safe write. what() names the file and the system's reason. The original file
// is untouched when this is thrown.
class AtomicWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The system calls the safe write goes through. Every member left empty uses the real
// call; tests set some of them to make a write, a flush or the rename fail.
struct AtomicWriteOps {
  std::function<ssize_t(int fd, const void* data, std::size_t size)> write;
  std::function<int(int fd)> fsync;
  std::function<int(const char* from, const char* to)> rename;
};

// Replaces the content of `path` by `bytes`. The new file keeps the permission bits (and,
// when allowed, the owner) of the old one; a file that does not exist yet is created with
// mode 0666 minus the umask. A symbolic link is followed: its target is rewritten and the
// link stays a link.
// Throws AtomicWriteError on any failure; the original is then untouched and no temporary
// file is left behind.
void writeFileAtomically(const std::string& path, std::string_view bytes,
                         const AtomicWriteOps& ops = {});

}  // namespace kestrix::platform
