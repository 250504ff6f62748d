// The listed rows an undo reports to: every row that reaches a file (itself, or a link to
// it), found by the file's real name, gets "Undid" (recounted when asked) or "Failed Undo".
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "modify/ModifyObserver.h"
#include "modify/Undo.h"

namespace kestrix::modify {

class UndoRows {
 public:
  UndoRows(std::vector<search::ResultItem>& rows, const UndoOptions& options);
  // Records the outcome of the file `fullName` (absolute, links resolved) in each row that
  // reaches it, and tells the observer: "Undid" when `failure` is empty, else "Failed Undo"
  // with that reason.
  void mark(const std::string& fullName, const std::string& failure, ModifyObserver& observer);

 private:
  std::vector<search::ResultItem>& rows_;
  const UndoOptions& options_;
  std::unordered_map<std::string, std::vector<std::size_t>> rowsOf_;
};

}  // namespace kestrix::modify
