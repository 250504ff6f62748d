// The undo journal: the files changed by the latest run with backups on, with what each
// looked like before and after the run, kept in memory by the window and, written ahead of
// every change, in the data folder's journal file that the console's `ksr undo` reads.
#pragma once

#include <cstdint>
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
  // False for an entry of an old journal that holds names only: undo then restores the
  // backup without checking the stamps.
  bool stamped = true;
  ContentStamp before;  // the file (and so its backup) before the run
  ContentStamp after;   // the file as the run left it
  std::int64_t afterMtimeNs = 0;
  std::uint32_t mode = 0;  // permission bits of the file before the run (setuid included)
  std::uint32_t uid = 0;
  std::uint32_t gid = 0;
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
// without the first line is the older format: full names, each ended by a NUL byte.
//
// Writes `journal` to `path` safely. Throws platform::AtomicWriteError.
void saveUndoJournal(const UndoJournal& journal, const std::string& path);
// Reads a journal file; a missing file gives an empty journal. Throws
// platform::PlatformError when the file exists but cannot be read.
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
