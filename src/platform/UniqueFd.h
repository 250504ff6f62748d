// An open file descriptor owned by one object and closed when it goes.
#pragma once

#include <utility>

namespace kestrix::platform {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  // The descriptor, or -1 when none is held.
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Gives up ownership: returns the descriptor (or -1) without closing it.
  int release() { return std::exchange(fd_, -1); }
  // Closes the descriptor held, if any.
  void reset();

 private:
  int fd_ = -1;
};

}  // namespace kestrix::platform
