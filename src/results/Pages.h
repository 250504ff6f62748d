// The HTML pages built from the lines viewer: the saved lines and the context page; and the
// one way pages and lists reach the disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/FoundLines.h"

namespace kestrix::results {

// The Save Lines page: header and Etc line in bold, hit lines marked, Multiline entries in
// blue, each line ended by CR LF.
std::string linesPage(const search::FoundLines& lines);

// Number of context lines of the choice `index` (0..10: 1, 2, 3, 5, 10, 15, 20, 30, 50,
// 100, "All"); "All" and indexes out of range count as 10 000 000 and 5 respectively.
int contextSize(int index);

// The Browse Context page: each viewer entry with up to `context` lines of `fileLines`
// (the whole file, one string per line) before and after it, hit lines starred; blocks
// that do not touch are separated by one empty line.
std::string contextPage(const search::FoundLines& lines, const std::vector<std::string>& fileLines,
                        int context);

// Writes `text` to `path` through the safe write (a temporary renamed over the old file),
// then gives the owner write permission. Throws platform::AtomicWriteError.
void writePageFile(const std::string& path, std::string_view text);

}  // namespace kestrix::results
