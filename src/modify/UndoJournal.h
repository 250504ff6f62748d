// The undo journal: the full names of the files the latest run changed with backups on,
// kept in memory by the window and saved to a file for the console's `ksr undo`.
#pragma once

#include <string>
#include <vector>

namespace kestrix::modify {

// The journal file's name inside the data folder.
inline constexpr const char* kUndoJournalFile = "Undo.tmp";

struct UndoJournal {
  std::vector<std::string> entries;  // full names, in the order the run changed them

  bool empty() const { return entries.empty(); }
  void clear() { entries.clear(); }
};

// Journal file format: each full name followed by one NUL byte (a name can hold any other
// byte, line breaks included), in journal order; an empty file is an empty journal.
//
// Writes `journal` to `path` safely. Throws platform::AtomicWriteError.
void saveUndoJournal(const UndoJournal& journal, const std::string& path);
// Reads a journal file; a missing file gives an empty journal. Throws
// platform::PlatformError when the file exists but cannot be read.
UndoJournal loadUndoJournal(const std::string& path);

}  // namespace kestrix::modify
