// The bytes of the file being rewritten, as the engines receive them. An engine that must
// build its own copy of them (the text with other line breaks) lets them go as soon as the
// copy exists, so that a large file is never held three times (the original, the copy and
// the new content) but twice at most.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace kestrix::modify {

class FileBytes {
 public:
  // Called with the bytes just before they are freed: whoever still needs them (the backup)
  // takes them there. When it throws, the bytes stay and the exception goes on.
  using Keeper = std::function<void(std::string_view bytes)>;

  // Borrowed bytes: never let go.
  explicit FileBytes(std::string_view bytes) : view_(bytes) {}
  // Owned bytes, let go through `keeper`.
  FileBytes(std::string bytes, Keeper keeper)
      : owned_(std::move(bytes)), view_(owned_), keeper_(std::move(keeper)) {}
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  // The bytes; empty once released.
  std::string_view view() const { return view_; }
  bool released() const { return released_; }

  // Hands the bytes to the keeper and frees them; borrowed bytes stay as they are. The
  // caller reads nothing of view() after this.
  void release() {
    if (!keeper_ || released_) return;
    keeper_(view_);
    released_ = true;
    view_ = {};
    std::string().swap(owned_);
  }

 private:
  std::string owned_;
  std::string_view view_;
  Keeper keeper_;
  bool released_ = false;
};

}  // namespace kestrix::modify
