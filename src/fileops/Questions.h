// The questions the file operations ask: their captions and lines, the line that names a
// file (which a window may shorten in the middle), and the row a rename leaves.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "search/ResultItem.h"

namespace kestrix::fileops {

struct Question {
  std::string caption;
  std::vector<std::string> lines;
  // The line that holds a file name; lines.size() when none does.
  std::size_t nameLine = 0;
};

// A protected file before it is deleted or renamed: "Confirm File Delete" / "Confirm File
// Rename", "The file " + fullName + " is a read-only file." and "Are you sure you want to
// delete it?" / "... rename it?".
Question protectedQuestion(const std::string& fullName, bool rename);

// A copy's target exists: "Copy Files", target + " already exists." and "Do you want to
// replace it?".
Question overwriteQuestion(const std::string& target);

// Before Delete Files sends `fullNames` (at least one) to the trash: for one file "Confirm
// File Delete" with "Are you sure you want to send", its name and "to the Trash?"; for
// several "Confirm Multiple File Delete" with "Are you sure you want to send these N files
// to the Trash?".
Question deleteQuestion(const std::vector<std::string>& fullNames);

// The row of `item` renamed to `newName`: a new extension gets the core's type text for it.
search::ResultItem renamedItem(search::ResultItem item, const std::string& newName);

}  // namespace kestrix::fileops
