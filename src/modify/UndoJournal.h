// The undo journal: the files changed by the latest run with backups on, with what each
// looked like before and after the run, kept in memory by the window and, written ahead of
// every change, in the data folder's journal file that the console's `ksr undo` reads.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "modify/ContentHash.h"
#include "platform/FileAt.h"

namespace kestrix::modify {

// The journal file's name inside the data folder.
inline constexpr const char* kUndoJournalFile = "Undo.tmp";

// One changed file.
struct UndoEntry {
  std::string fullName;  // absolute, normalised, every link resolved
  // False only for an entry made by hand without stamps: undo then restores the backup
  // without checking them. Journal files always hold stamped entries.
  bool stamped = true;
  ContentStamp before;  // the file (and so its backup) before the run
  ContentStamp after;   // the file as the run left it
  std::int64_t afterMtimeNs = 0;
  std::uint32_t mode = 0;  // permission bits of the file before the run (setuid included)
  std::uint32_t uid = 0;
  std::uint32_t gid = 0;
  bool operator==(const UndoEntry&) const = default;
};

struct UndoJournal {
  std::vector<UndoEntry> entries;  // in the order the run changed the files
  // When set, the modify pass writes every entry to this file, durably, before the file's
  // new content is renamed into place, so that an interrupted run is undone exactly as far
  // as it went. Default: empty (memory only).
  std::string filePath;

  bool empty() const { return entries.empty(); }
  void clear() { entries.clear(); }
};

// Journal file format: the line "KSR-UNDO 2" and then, per entry, nine fields each ended
// by a NUL byte: the full name (any byte but NUL), the size and hash before, the size and
// hash after, the modification time after (ns), the mode (octal), the owner and the group
// (decimal; hashes in hexadecimal). A last entry cut short by a crash is ignored. A file
// whose first line is anything else is refused.
//
// Writes `journal` to `path` safely. Throws platform::AtomicWriteError.
void saveUndoJournal(const UndoJournal& journal, const std::string& path);
// A journal file of an unknown format or with a damaged first line; what() is the message.
class JournalFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a journal file; a missing file gives an empty journal. Throws
// platform::PlatformError when the file exists but cannot be read (or is not a regular
// file of at most 1 GiB), JournalFormatError when its first line is not exactly the one
// above.
UndoJournal loadUndoJournal(const std::string& path);

// The journal file of a running pass: emptied when opened, then entries are appended and
// made durable (fdatasync) before the caller renames anything.
class JournalWriter {
 public:
  // Creates or empties `path`. Throws platform::PlatformError.
  explicit JournalWriter(const std::string& path);
  // Appends the entries and flushes them to disk. Throws platform::PlatformError (the
  // caller then renames nothing).
  void append(const std::vector<UndoEntry>& entries);

 private:
  std::string path_;
  platform::UniqueFd fd_;
};

}  // namespace kestrix::modify
