// The temporaries of a running pass, recorded before each is created: a run killed with
// SIGKILL cannot remove its own temporaries, so the next run (or `ksr undo`) removes those
// the log names, and only those: a file the log does not name is never touched.
#pragma once

#include <cstddef>
#include <string>

#include "platform/UniqueFd.h"

namespace kestrix::modify {

// The log's name beside the journal file `journalPath`.
std::string temporaryLogPath(const std::string& journalPath);

class TemporaryLog {
 public:
  // Creates or empties the log `path`. Throws platform::PlatformError.
  explicit TemporaryLog(const std::string& path);
  // Records that the temporary `fullName` is about to be created (`intent`), or that the
  // name was another file's and is not ours. The record reaches the system before this
  // returns, so a killed process leaves it behind; it is not flushed to the disk (after a
  // power cut a temporary may stay, never the wrong file go). Throws
  // platform::PlatformError.
  void record(const std::string& fullName, bool intent);
  // Empties the log: every temporary it named has been renamed or removed.
  void clear();

 private:
  std::string path_;
  platform::UniqueFd fd_;
};

// Removes each temporary the log `path` names, when it is still there as a regular file
// (not a link) owned by this user (any owner for root, whose temporaries take the owner of
// their file) with a temporary's name (".ksr" + six letters or
// digits), unless the log says the name was not ours; then empties the log. Folders are
// reached from "/" without following links. Returns how many were removed. Throws
// nothing: what cannot be removed stays.
std::size_t removeStaleTemporaries(const std::string& path);

}  // namespace kestrix::modify
