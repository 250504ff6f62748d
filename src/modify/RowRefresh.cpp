// Recounts a modified or restored file's row with the run's own test of one file, so that
// the row shows exactly what a fresh search would list.
#include "modify/RowRefresh.h"

#include <optional>

#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/FileHits.h"

namespace kestrix::modify {

namespace {

void setCells(search::ResultItem& row, std::vector<std::int64_t> hits, std::int64_t sizeBytes,
              std::int64_t lastWriteSec) {
  row.hits = std::move(hits);
  row.sizeBytes = sizeBytes;
  row.size = search::sizeText(sizeBytes);
  row.lastWriteSec = lastWriteSec;
  row.time = search::timeText(lastWriteSec);
}

// Recounts `row` from the file `fullName`, with the file's own modification time unless
// `lastWriteSec` gives the one it will have.
void recountFromFile(search::ResultItem& row, const search::SearchRequest& request,
                     const std::string& fullName, std::optional<std::int64_t> lastWriteSec) {
  try {
    std::vector<std::int64_t> hits = search::fileHits(request, fullName);
    const platform::FileInfo info = platform::stat(fullName);
    setCells(row, std::move(hits), info.sizeBytes, lastWriteSec.value_or(info.lastWriteSec));
  } catch (const std::exception&) {  // unreadable, vanished, or not searchable: keep the cells
  }
}

}  // namespace

void refreshRow(search::ResultItem& row, const search::SearchRequest& request) {
  recountFromFile(row, request, row.fullName(), std::nullopt);
}

void refreshRowFrom(search::ResultItem& row, const search::SearchRequest& request,
                    std::string_view bytes, std::int64_t lastWriteSec) {
  try {
    std::vector<std::int64_t> hits = search::fileHitsOf(request, bytes, row.fullName());
    setCells(row, std::move(hits), static_cast<std::int64_t>(bytes.size()), lastWriteSec);
  } catch (const std::exception&) {  // a query the recount cannot run: keep the cells
  }
}

void refreshRowFromFile(search::ResultItem& row, const search::SearchRequest& request,
                        const std::string& folder, const std::string& name,
                        std::int64_t lastWriteSec) {
  recountFromFile(row, request, platform::joinPath(folder, name), lastWriteSec);
}

}  // namespace kestrix::modify
