// A regular file opened for reading that can neither block nor take a terminal: opened with
// O_NONBLOCK | O_NOCTTY | O_CLOEXEC, and refused unless fstat says it is a regular file
// (a FIFO, device or socket put where a file was listed is never read).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "platform/UniqueFd.h"

namespace kestrix::platform {

// Room for a whole file: grown without clearing the bytes it adds (each is read before it is
// looked at), never shrunk.
class ReadBuffer {
 public:
  char* data() { return bytes_.get(); }
  std::size_t size() const { return size_; }
  // Grows to at least `size` bytes, keeping the first `keep`.
  void grow(std::size_t size, std::size_t keep);
  // Gives the memory back.
  void release() {
    bytes_.reset();
    size_ = 0;
  }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t size_ = 0;
};

class ReadOnlyFile {
 public:
  // Opens `name` inside the open folder `folderFd`; a link is followed only when
  // `followLink` is set (the listing showed a link to a file). `shown` is the name used in
  // error messages. Throws PlatformError when it cannot be opened or is not a regular file.
  ReadOnlyFile(int folderFd, const std::string& name, bool followLink, std::string shown);
  // Opens the file `fullName` (a link in its last part is followed); paths longer than the
  // system's limit are opened piece by piece. Throws PlatformError like the above.
  explicit ReadOnlyFile(const std::string& fullName);

  // Reads up to `size` bytes into `out`; returns how many (0 at the end). Throws
  // PlatformError on a read failure (including a read that would block).
  std::size_t read(char* out, std::size_t size);
  // Reads up to `size` bytes at `offset` without moving the file position; safe to call from
  // several threads at once. Returns how many (0 at the end). Throws PlatformError.
  std::size_t readAt(std::uint64_t offset, char* out, std::size_t size) const;
  // Reads the rest of the file into `buffer` (grown as needed, never shrunk) and returns a
  // view of the bytes, valid until the buffer changes. Throws PlatformError, EFBIG when the
  // file holds more than readCap bytes.
  std::string_view readAll(std::string& buffer);
  // The same into `buffer`, whose growth costs no clearing of the bytes added.
  std::string_view readAll(ReadBuffer& buffer);
  // The facts of the file, taken when it was opened.
  const FileInfo& info() const { return info_; }

 private:
  void open(int folderFd, const std::string& name, bool followLink);
  template <class Buffer>
  std::string_view readRest(Buffer& buffer);
  UniqueFd fd_;
  std::string shown_;
  FileInfo info_;
};

// The facts of the regular file `name` inside the open folder `folderFd` (a link followed
// only when `followLink` is set); nothing when it is missing or not a regular file.
std::optional<FileInfo> statAt(int folderFd, const std::string& name, bool followLink);

}  // namespace kestrix::platform
