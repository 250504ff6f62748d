// Recounts a modified or restored file's row.
#include "modify/RowRefresh.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/Find.h"
#include "search/SearchObserver.h"

namespace kestrix::modify {

namespace {

void setCells(search::ResultItem& row, const search::FillOutcome& fill, std::int64_t sizeBytes,
              std::int64_t lastWriteSec) {
  row.hits = fill.hits;
  row.sizeBytes = sizeBytes;
  row.size = search::sizeText(sizeBytes);
  row.lastWriteSec = lastWriteSec;
  row.time = search::timeText(lastWriteSec);
}

// Keeps the row a one-file search lists.
class ListedRow : public search::SearchObserver {
 public:
  void resultAdded(const search::ResultItem& item) override { row = item; }
  std::optional<search::ResultItem> row;
};

}  // namespace

void refreshRow(search::ResultItem& row, const search::SearchRequest& request) {
  try {
    const auto fill = search::fillFoundLines(request, row.path, row.name);
    const platform::FileInfo info = platform::stat(row.fullName());
    setCells(row, fill, info.sizeBytes, info.lastWriteSec);
  } catch (const std::exception&) {  // the file changed or vanished meanwhile: keep the cells
  }
}

void refreshRowFrom(search::ResultItem& row, const search::SearchRequest& request,
                    std::string_view bytes, std::int64_t lastWriteSec) {
  try {
    const auto fill = search::fillFoundLinesOf(request, row.path, row.name, bytes);
    setCells(row, fill, static_cast<std::int64_t>(bytes.size()), lastWriteSec);
  } catch (const std::exception&) {  // a query the recount cannot run: keep the cells
  }
}

void refreshRowFromFile(search::ResultItem& row, const search::SearchRequest& request,
                        const std::string& folder, const std::string& name,
                        std::int64_t lastWriteSec) {
  try {
    search::SearchRequest one = request;
    one.folder = folder;
    one.masksText = "*.*";  // every name, the temporary's "." one included
    one.searchInResults = true;
    one.createBackups = false;
    one.sizeFilter.reset();
    one.dateFilter.reset();
    one.ignoredFiles.reset();
    one.ignoredFolders.reset();
    ListedRow listed;
    const std::vector<std::string> file{platform::joinPath(folder, name)};
    const search::FindOutcome outcome = search::runFind(one, listed, &file, 1);
    if (outcome.error || outcome.stopped) return;
    const platform::FileInfo info = platform::stat(file.front());
    search::FillOutcome fill;
    // Not listed: nothing found any more.
    fill.hits = listed.row ? listed.row->hits
                           : std::vector<std::int64_t>(std::max<std::size_t>(row.hits.size(), 1));
    setCells(row, fill, info.sizeBytes, lastWriteSec);
  } catch (const std::exception&) {  // a query the recount cannot run: keep the cells
  }
}

}  // namespace kestrix::modify
