// One listed file: the cell texts of its row and, beside them, the raw values the list
// sorts by, plus the row's modification interval.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrix::search {

struct ResultItem {
  // Cell texts, in column order.
  std::string name;        // the file name
  std::string path;        // the folder, without a trailing "/" (a root stays "/")
  std::string found;       // hits joined by ", ", cut after 240 characters with ",..."
  std::string attributes;  // "R", "H" letters (see platform::attributeLetters)
  std::string time;        // short date + " " + long time; the date alone at midnight
  std::string size;        // "0.050 KB", "1.5 KB" with the locale's decimal separator
  std::string type;        // the shell's type name, else "TXT File", else empty
  std::string result;      // "Found", "Found       All file" or empty (no Result column)

  // Raw values for sorting and later steps.
  std::int64_t sizeBytes = 0;
  std::int64_t lastWriteSec = 0;   // seconds since the Unix epoch
  std::vector<std::int64_t> hits;  // per term in term order; one count for Multiline/Reg Expr
  std::string foundFull;           // the Found text without the 240-character cut (reports)

  // The row's modification interval (1-based lines); 0/0 = the whole file, -1/-1 = none.
  std::int64_t intervalFrom = 0;
  std::int64_t intervalTo = 0;

  // path + "/" + name (a root path gives "/name").
  std::string fullName() const;
};

}  // namespace kestrix::search
