// Safe replacement of a file's content: the new bytes go to a temporary file in the same
// folder, are flushed to disk, and the temporary is renamed over the original.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

// Many safe replacements made durable together: stage() writes each new content to its
// temporary beside the target; commit() flushes all temporaries with one file-system flush
// (instead of one disk flush per file) and then renames each over its target in staging
// order. Every target ends either fully replaced or untouched. Temporaries that are never
// committed are removed when the batch is destroyed.
class AtomicWriteBatch {
 public:
  explicit AtomicWriteBatch(AtomicWriteOps ops = {});
  ~AtomicWriteBatch();
  AtomicWriteBatch(const AtomicWriteBatch&) = delete;
  AtomicWriteBatch& operator=(const AtomicWriteBatch&) = delete;

  // Writes `bytes` to a temporary for `path` (a symbolic link's target) and returns its
  // index. The replacement gets the permission bits `mode`, or those of the old file (0666
  // minus the umask for a new file). With `after`, the replacement is only made when the
  // staged entry `after` was replaced (a backup before its file). Throws AtomicWriteError;
  // nothing is staged then.
  std::size_t stage(const std::string& path, std::string_view bytes,
                    std::optional<std::uint32_t> mode = std::nullopt,
                    std::optional<std::size_t> after = std::nullopt);

  // Flushes and renames every staged entry; returns one text per entry in staging order:
  // empty when the target was replaced, else the reason. The batch is empty afterwards.
  std::vector<std::string> commit();

  std::size_t size() const { return entries_.size(); }
  // Bytes staged since the last commit.
  std::size_t stagedBytes() const { return stagedBytes_; }

 private:
  struct Entry {
    std::string target;
    std::string temp;
    std::optional<std::size_t> after;
    std::string error;
    bool done = false;  // renamed, or its temporary removed
  };
  void flushAll();
  AtomicWriteOps ops_;
  std::vector<Entry> entries_;
  std::size_t stagedBytes_ = 0;
};

}  // namespace kestrix::platform
