// The listed rows an undo reports to: each file's row, found by the file's real name, gets
// "Undid" (recounted when asked) or "Failed Undo".
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
  // Records the outcome of the file `fullName` (absolute, links resolved) in its row, if it
  // is listed, and tells the observer.
  void mark(const std::string& fullName, bool undone, ModifyObserver& observer);

 private:
  std::vector<search::ResultItem>& rows_;
  const UndoOptions& options_;
  std::unordered_map<std::string, std::size_t> rowOf_;
};

}  // namespace kestrix::modify
