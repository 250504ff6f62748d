// The texts of Erase Backups' questions and report, made from the counts of its walk.
#pragma once

#include <cstddef>
#include <string>

#include "modify/EraseBackups.h"

namespace kestrix::modify {

// "Erase 11 backup files in /path?" (one: "Erase 1 backup file in /path?") and where they
// go: to the trash or deleted for good.
std::string eraseQuestion(std::size_t count, const std::string& folder, bool toTrash);
// Asked once when the trash does not take a file.
std::string untrashableQuestion(const std::string& fullName);
// What was done: "Moved 11 backup files (\".bak\") to the trash." and the files deleted or
// left, or "No backup files (\".bak\") were found."
std::string erasedReport(const EraseSummary& summary, bool toTrash);
// The offer to clear the history of `folder` (`count` runs) after an erase that reported
// `report`.
std::string clearFolderHistoryQuestion(const std::string& report, const std::string& folder,
                                       std::size_t count);

}  // namespace kestrix::modify
