// The Find run: validation, filters, term table, the walk, and one row per listed file.
#include "search/Find.h"

#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/Enumerate.h"
#include "search/FileMatcher.h"
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

}  // namespace kestrix::search

namespace kestrix::search {
namespace {

// Tests one accepted file and lists it when it qualifies; a file that cannot be read is
// skipped without a message. `known` holds the file's facts when the walk took them.
void testFile(const SearchRequest& request, FileMatcher& matcher, SearchObserver& observer,
              const std::string& folder, const std::string& name, const platform::FileInfo* known,
              FindOutcome& out) {
  const std::string full = platform::joinPath(folder, name);
  observer.fileTested(full);
  std::optional<std::vector<std::int64_t>> hits;
  try {
    hits = matcher.match(full);
  } catch (const platform::PlatformError&) {
    return;  // vanished, unreadable or locked: not listed, the run goes on
  }
  if (!hits) return;
  std::optional<platform::FileInfo> info;
  if (known) info = *known;
  if (!info) info = matcher.lastInfo();
  if (!info) info = platform::tryStat(full);
  if (!info) return;  // vanished after it was read
  ResultItem item = makeResultItem(request, folder, *info, std::move(*hits), !matcher.nameOnly(),
                                   observer.typeName(full));
  ++out.foundCount;
  out.statusText = foundStatusText(request.origin, out.foundCount);
  observer.resultAdded(item);
}

}  // namespace

FindOutcome runFind(const SearchRequest& original, SearchObserver& observer,
                    const std::vector<std::string>* snapshot) {
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
    FileMatcher matcher(request, poller, observer);
    WalkCallbacks callbacks;
    callbacks.poll = [&poller] { return poller.stopped(); };
    callbacks.folderEntered = [&observer](const std::string& f) { observer.folderEntered(f); };
    callbacks.test = [&](const std::string& folder, const std::string& name,
                         const platform::FileInfo* info) {
      if (!poller.stopped()) testFile(request, matcher, observer, folder, name, info, out);
    };
    static const std::vector<std::string> kNoSnapshot;
    if (request.searchInResults) {
      enumerateResults(snapshot ? *snapshot : kNoSnapshot, filters, callbacks);
    } else {
      enumerateFolder(request.folder, filters, callbacks);
    }
    out.nameOnlyListing = matcher.nameOnly() && matcher.testedAny();
  } catch (const SearchError& error) {
    out.error = error;
  }
  out.stopped = poller.stopped();
  if (out.foundCount == 0) out.statusText = notFoundStatusText();
  return out;
}

}  // namespace kestrix::search
