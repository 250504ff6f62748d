// The texts of Erase Backups' questions and report, made from the core's counts.
#pragma once

#include <QString>
#include <cstddef>

#include "modify/EraseBackups.h"

namespace kestrix::ui {

// "Erase 11 backup files in /path?" (one: "Erase 1 backup file in /path?") and where they
// go: to the trash or deleted for good.
QString eraseQuestion(std::size_t count, const QString& folder, bool toTrash);
// Asked once when the trash does not take a file.
QString untrashableQuestion(const QString& fullName);
// What was done: "Moved 11 backup files (\".bak\") to the trash." and the files deleted or
// left, or "No backup files (\".bak\") were found."
QString erasedReport(const modify::EraseSummary& summary, bool toTrash);
// "1 run", "3 runs".
QString runs(std::size_t count);
// "3 runs removed from the undo history."
QString removedRuns(std::size_t count);
// The offer to clear the history of `folder` after an erase, `runs` runs.
QString clearFolderHistoryQuestion(const QString& report, const QString& folder, std::size_t count);

}  // namespace kestrix::ui
