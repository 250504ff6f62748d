// Makes Erase Backups' questions and report.
#include "modify/EraseMessages.h"

#include "modify/HistoryTexts.h"

namespace kestrix::modify {

namespace {
std::string files(std::size_t count) {
  return count == 1 ? std::string("1 backup file") : std::to_string(count) + " backup files";
}
}  // namespace

std::string eraseQuestion(std::size_t count, const std::string& folder, bool toTrash) {
  return "Erase " + files(count) + " in " + folder + "?\n\n" +
         (toTrash ? "They are moved to the trash." : "They are deleted for good.");
}

std::string untrashableQuestion(const std::string& fullName) {
  return "The trash cannot take \"" + fullName +
         "\" (its file system has no trash folder).\n\n"
         "Delete the backup files the trash cannot take for good?";
}

std::string erasedReport(const EraseSummary& summary, bool toTrash) {
  if (summary.found == 0) return "No backup files (\".bak\") were found.";
  const std::size_t trashed = summary.removed - summary.deleted;
  std::string text;
  if (!toTrash) {
    text = "Erased " + files(summary.removed) + " (\".bak\")";
  } else if (trashed > 0 || summary.deleted == 0) {
    text = "Moved " + files(trashed) + " (\".bak\") to the trash";
    if (summary.deleted > 0) text += ", deleted " + std::to_string(summary.deleted) + " for good";
  } else {
    text = "Deleted " + files(summary.deleted) + " (\".bak\") for good";
  }
  const std::size_t left = summary.found - summary.removed;
  if (left > 0) text += ", " + std::to_string(left) + " left in place";
  if (summary.stopped) text += " (stopped)";
  return text + ".";
}

std::string clearFolderHistoryQuestion(const std::string& report, const std::string& folder,
                                       std::size_t count) {
  return report + "\n\nAlso clear the undo history of " + folder + " (" + runsText(count) +
         ")? Those runs can then no longer be undone.";
}

}  // namespace kestrix::modify
