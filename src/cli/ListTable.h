// The results list as an aligned text table, for `ksr find --list`.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "search/ResultItem.h"

namespace kestrix::cli {

// The table: a header row (Name, Path, [Found,] Attributes, Time, Size, Type), then one row
// per item; columns are padded with blanks to their widest cell and separated by two blanks.
std::string listTable(const std::vector<search::ResultItem>& items, bool withFound);

// Writes listTable(items, withFound) to `out`.
void printListTable(const std::vector<search::ResultItem>& items, bool withFound, std::FILE* out);

}  // namespace kestrix::cli
