// The Find run: validation, filters, term table, the walk, and one row per listed file.
#include "search/Find.h"

#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/Enumerate.h"
#include "search/FileTester.h"
#include "search/QueryParser.h"

namespace kestrix::search {

std::string normalizeFolder(std::string_view typed) {
  std::size_t b = 0, e = typed.size();
  while (b < e && typed[b] == ' ') ++b;
  while (e > b && typed[e - 1] == ' ') --e;
  std::string folder(typed.substr(b, e - b));
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

void validateRequest(const SearchRequest& request) {
  const char* caption = originCaption(request.origin);
  if (normalizeFolder(request.folder).empty() && !request.searchInResults) {
    throw SearchError(caption, messages::kSpecifyPath);
  }
  if (request.masksText.find_first_not_of(' ') == std::string::npos) {
    throw SearchError(caption, messages::kSpecifyMask);
  }
}

FindOutcome runFind(const SearchRequest& original, SearchObserver& observer,
                    const std::vector<std::string>* snapshot, unsigned threads) {
  validateRequest(original);
  SearchRequest request = original;
  FindOutcome out;
  out.folder = request.folder = normalizeFolder(original.folder);
  out.statusText = startStatusText(request.origin);
  Poller poller([&observer] { return observer.poll(); });
  try {
    const FileFilters filters = FileFilters::fromRequest(request);
    out.masksShown = filters.masks.shownText();
    buildTermTable(request);
    out.termTable = request.termTable;
    FileTester tester(request, observer, poller, threads ? threads : defaultThreadCount(), out);
    WalkCallbacks callbacks;
    callbacks.poll = [&poller] { return poller.stopped(); };
    callbacks.folderEntered = [&tester](const std::string& f) { tester.folderEntered(f); };
    callbacks.test = [&tester](Candidate&& file) { tester.test(std::move(file)); };
    static const std::vector<std::string> kNoSnapshot;
    if (request.searchInResults) {
      enumerateResults(snapshot ? *snapshot : kNoSnapshot, filters, callbacks);
    } else {
      enumerateFolder(request.folder, filters, callbacks);
    }
    tester.finish();
    out.nameOnlyListing = tester.nameOnly() && tester.testedAny();
  } catch (const SearchError& error) {
    out.error = error;
  }
  out.stopped = poller.stopped();
  if (out.foundCount == 0) out.statusText = notFoundStatusText();
  return out;
}

}  // namespace kestrix::search
