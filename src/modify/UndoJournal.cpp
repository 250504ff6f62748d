// Reading and writing the undo journal file (format in UndoJournal.h).
#include "modify/UndoJournal.h"

#include "platform/AtomicWrite.h"
#include "platform/Platform.h"

namespace kestrix::modify {

void saveUndoJournal(const UndoJournal& journal, const std::string& path) {
  std::string bytes;
  for (const auto& entry : journal.entries) {
    bytes += entry;
    bytes += '\0';
  }
  platform::writeFileAtomically(path, bytes);
}

UndoJournal loadUndoJournal(const std::string& path) {
  UndoJournal journal;
  if (!platform::exists(path)) return journal;
  const std::string bytes = platform::readFile(path);
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    if (end > start) journal.entries.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return journal;
}

}  // namespace kestrix::modify
