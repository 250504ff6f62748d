// One listed file: the cell texts of its row that do not change, the raw values the list
// sorts by, its hit counts, its outcome and its modification interval. The Found and Result
// cells are made from the hits and the outcome (search/RowOutcome.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/RowOutcome.h"

namespace kestrix::search {

struct ResultItem {
  // Cell texts, in column order.
  std::string name;        // the file name
  std::string path;        // the folder, without a trailing "/" (a root stays "/")
  std::string attributes;  // "R", "H" letters (see platform::attributeLetters)
  std::string time;        // short date + " " + long time; the date alone at midnight
  std::string size;        // "0.050 KB", "1.5 KB" with the locale's decimal separator
  std::string type;        // the shell's type name, else "TXT File", else empty

  // Raw values for sorting and later steps.
  std::int64_t sizeBytes = 0;
  std::int64_t lastWriteSec = 0;   // seconds since the Unix epoch
  std::vector<std::int64_t> hits;  // per term in term order; one count for Multiline/Reg Expr
  RowOutcome outcome;              // what the search and the runs since made of the file

  // The row's modification interval (1-based lines); 0/0 = the whole file, -1/-1 = none.
  std::int64_t intervalFrom = 0;
  std::int64_t intervalTo = 0;

  // path + "/" + name (a root path gives "/name").
  std::string fullName() const;
};

}  // namespace kestrix::search
