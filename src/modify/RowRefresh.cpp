// Recounts a modified or restored file's row.
#include "modify/RowRefresh.h"

#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/Find.h"

namespace kestrix::modify {

void refreshRow(search::ResultItem& row, const search::SearchRequest& request) {
  try {
    const auto fill = search::fillFoundLines(request, row.path, row.name);
    row.hits = fill.hits;
    if (!row.found.empty()) row.found = fill.found;
    row.foundFull = search::foundText(fill.hits, false);
    const platform::FileInfo info = platform::stat(row.fullName());
    row.sizeBytes = info.sizeBytes;
    row.size = search::sizeText(info.sizeBytes);
    row.lastWriteSec = info.lastWriteSec;
    row.time = search::timeText(info.lastWriteSec);
  } catch (const std::exception&) {  // the file changed or vanished meanwhile: keep the cells
  }
}

}  // namespace kestrix::modify
