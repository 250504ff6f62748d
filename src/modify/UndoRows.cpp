// Finding and marking the rows of undone files.
#include "modify/UndoRows.h"

#include "modify/Interval.h"
#include "modify/RowRefresh.h"
#include "platform/FileAt.h"
#include "platform/Platform.h"

namespace kestrix::modify {
namespace {

// The name journal entries use for a listed file: absolute, every link resolved.
std::string journalName(const std::string& listed) {
  try {
    return platform::realPath(platform::absoluteName(listed));
  } catch (const platform::PlatformError&) {
    return platform::absoluteName(listed);
  }
}

}  // namespace

UndoRows::UndoRows(std::vector<search::ResultItem>& rows, const UndoOptions& options)
    : rows_(rows), options_(options) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rowsOf_[journalName(rows[i].fullName())].push_back(i);
  }
}

void UndoRows::mark(const std::string& fullName, const std::string& failure,
                    ModifyObserver& observer) {
  const auto it = rowsOf_.find(fullName);
  if (it == rowsOf_.end()) return;
  const bool undone = failure.empty();
  for (std::size_t index : it->second) {
    search::ResultItem& row = rows_[index];
    if (undone && options_.refreshWith) refreshRow(row, *options_.refreshWith);
    row.outcome = {undone ? search::RowResult::Undid : search::RowResult::FailedUndo, failure};
    observer.rowChanged(index);
  }
}

}  // namespace kestrix::modify
