// Recounts a modified or restored file's row.
#include "modify/RowRefresh.h"

#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/Find.h"

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

}  // namespace kestrix::modify
