// What a modification run (the pass, undo, erase backups, batch) reports back to its
// caller while it works. All calls happen on the calling thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "modify/ModifyMessages.h"

namespace kestrix::modify {

class ModifyObserver {
 public:
  virtual ~ModifyObserver() = default;
  // Called when more than 15 ms of work have passed since the last call, and between
  // files. The window pumps its events here. Returns true to stop (the stop flags).
  virtual bool poll() { return false; }
  // A message that does not end the run (shown once per distinct message per run).
  virtual void warning(const UserMessage& /*message*/) {}
  // A file is about to be worked on (status bar).
  virtual void fileStarted(const std::string& /*fullName*/) {}
  // Row `index` got its outcome; its cells (Result, and Found after a success) are already
  // updated. The window refreshes the row and, for the browsed file, the lines viewer.
  virtual void rowChanged(std::size_t /*index*/) {}
  // The file `fullName` got "Failed Modification" or "Failed Undo" for `reason` ("No space
  // left on device", "read-only file", "outside the searched folder", ...). The console
  // prints it; the Result cell keeps its plain text.
  virtual void fileFailed(const std::string& /*fullName*/, const std::string& /*reason*/) {}
  // Dry runs only: the bytes the file has and the bytes it would get.
  virtual void preview(const std::string& /*fullName*/, std::string_view /*before*/,
                       std::string_view /*after*/) {}
};

}  // namespace kestrix::modify
