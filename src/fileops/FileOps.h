// Copy, delete and rename of listed files. The window supplies the questions and messages
// as callbacks and the desktop trash as a function; nothing here asks or shows anything.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrix::fileops {

// The answer to a confirmation. With one row selected the dialogs offer only OK (Yes) and
// Cancel.
enum class Decision { Yes, Skip, YesToAll, Cancel };

// A file the user must confirm before it is deleted or renamed: read-only here (the owner
// has no write permission); the system attribute is never set on this platform. Returns
// false for a missing file.
bool isProtected(const std::string& fullName);

// The question asked for a protected file: "The file " + full name + " is a read-only
// file." (or " is a system file."), answered by the user.
using AskProtected = std::function<Decision(const std::string& fullName)>;

// --- Copy ---

// Asked when `target` exists and is not the source: Yes, Skip, Yes to All or Cancel.
using AskOverwrite = std::function<Decision(const std::string& target)>;

struct CopyOutcome {
  std::vector<std::string> copied;  // the targets written
  std::vector<std::string> failed;  // "target: reason" of copies that failed (not shown)
  bool cancelled = false;
};

// Copies each source (full name) to destination + "/" + its name, in order. An existing
// target is replaced only after Yes / Yes to All; a target that is the source itself (same
// name, or the same file through a link) is never copied nor asked about. Each copy is a
// safe write: the target is either the old file or the whole copy, with the source's
// permission bits.
CopyOutcome copyFiles(const std::vector<std::string>& sources, const std::string& destination,
                      const AskOverwrite& askOverwrite);

// --- Delete ---

// Moves a file to the trash; returns true on success. Never deletes permanently.
using TrashFunction = std::function<bool(const std::string& fullName)>;

struct DeleteOutcome {
  std::vector<bool> deleted;  // per source: moved to the trash (the row leaves the list)
  // Per source: the row is deselected (skipped, failed, cancelled or not reached).
  std::vector<bool> deselected;
  // The error that ended the run, with caption "Error Deleting File": "Cannot delete " +
  // name + ": Cannot find the specified file." or "Cannot delete " + name.
  std::optional<std::string> error;
};

// Sends each file to the trash in order, asking about protected files first.
DeleteOutcome deleteFiles(const std::vector<std::string>& fullNames, const TrashFunction& trash,
                          const AskProtected& askProtected);

}  // namespace kestrix::fileops
