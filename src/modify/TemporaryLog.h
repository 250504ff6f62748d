// The temporaries of a running pass, recorded before each is created: a run killed with
// SIGKILL cannot remove its own temporaries, so the next run (or `ksr undo`) removes those
// the log names, and only those: a file the log does not name is never touched.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "platform/UniqueFd.h"

namespace kestrix::modify {

// The log's full name inside the data folder `dataFolder`: one log for the console's runs
// and the window's.
std::string temporaryLogPath(const std::string& dataFolder);

// The log of one run. Runs going on at the same time (the window and a console run, two
// console runs) share the log: each holds a shared lock on it while it lives, and the
// temporaries the log names are only taken for stale when no run holds it.
class TemporaryLog {
 public:
  // Opens the log `path`, creating it when missing. When no other run is using it, the
  // temporaries that killed runs left are removed first and the log is emptied (as
  // removeStaleTemporaries does). Throws platform::PlatformError.
  explicit TemporaryLog(const std::string& path);
  // Lets the log go; when no other run is using it, it is left empty (after the same
  // clean-up, for what a run killed meanwhile left). Every temporary of this run must have
  // been renamed or removed by then.
  ~TemporaryLog();
  TemporaryLog(const TemporaryLog&) = delete;
  TemporaryLog& operator=(const TemporaryLog&) = delete;

  // Records that the temporary `fullName` is about to be created (`intent`), or that the
  // name was another file's and is not ours. The record reaches the system before this
  // returns, so a killed process leaves it behind; it is not flushed to the disk (after a
  // power cut a temporary may stay, never the wrong file go). Throws
  // platform::PlatformError.
  void record(const std::string& fullName, bool intent);

  // Ends the run's use of the log, as the destructor does, and returns the full names of
  // the temporaries that could not be removed (a folder made immutable or read-only during
  // the run): the log keeps naming them, so that the next run or undo removes them once
  // possible. Every temporary of this run must have been renamed or given up by then. When
  // another run shares the log, this run's own temporaries are tried.
  std::vector<std::string> finish();

 private:
  std::string path_;
  platform::UniqueFd fd_;
  std::set<std::string> own_;  // this run's temporaries, as recorded
};

// Removes each temporary the log `path` names, when it is still there as a regular file
// (not a link) owned by this user (any owner for root, whose temporaries take the owner of
// their file) with a temporary's name (".ksr" + six letters or digits), unless the log
// says the name was not ours; then empties the log but for the names of those that could
// not be removed (they are tried again next time). Does nothing while another run uses
// the log (its temporaries are alive). Folders are reached from "/" without following
// links. Returns how many were removed. Throws nothing: what cannot be removed stays.
std::size_t removeStaleTemporaries(const std::string& path);

}  // namespace kestrix::modify
