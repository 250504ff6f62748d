// Dry runs of the modify pass collected for the window's Preview dialog.
#include "modify/Preview.h"

#include "modify/Backup.h"
#include "modify/Interval.h"
#include "modify/ModifyPass.h"
#include "modify/RegexEngine.h"
#include "modify/UnifiedDiff.h"
#include "platform/Platform.h"
#include "text/Lines.h"

namespace kestrix::modify {
namespace {

// Forwards polls and warnings to the caller and keeps each file's diff.
class CollectingObserver : public ModifyObserver {
 public:
  explicit CollectingObserver(ModifyObserver& outer) : outer_(outer) {}
  bool poll() override { return outer_.poll(); }
  void warning(const UserMessage& message) override { outer_.warning(message); }
  void fileStarted(const std::string& fullName) override { outer_.fileStarted(fullName); }
  void preview(const std::string& fullName, std::string_view before,
               std::string_view after) override {
    std::string diff = unifiedDiff(fullName, before, after);
    if (!diff.empty()) changes.push_back({fullName, std::move(diff)});
  }
  std::vector<FileChangePreview> changes;

 private:
  ModifyObserver& outer_;
};

}  // namespace

PreviewSummary previewModifyPass(const ModifyRequest& request, std::vector<search::ResultItem> rows,
                                 const std::vector<std::size_t>& selected,
                                 ModifyObserver& observer) {
  CollectingObserver collector(observer);
  UndoJournal unused;
  PassOptions options;
  options.dryRun = true;
  options.refreshHits = false;
  const PassSummary pass = runModifyPass(request, rows, selected, unused, collector, options);
  PreviewSummary summary;
  summary.changes = std::move(collector.changes);
  summary.stopped = pass.stopped;
  for (const search::ResultItem& row : rows) {
    if (row.result == kFailedModification)
      summary.failures.push_back({row.fullName(), failureReason(request, row)});
  }
  return summary;
}

std::string failureReason(const ModifyRequest& request, const search::ResultItem& row) {
  const std::string fullName = realFile(row.fullName());
  std::string bytes;
  platform::FileInfo info;
  try {
    bytes = platform::readFile(fullName);
    info = platform::stat(fullName);
  } catch (const platform::PlatformError& error) {
    return error.what();
  }
  if (text::hasNul(bytes)) return "The file holds a NUL byte; it is never rewritten";
  if (!mayModify(info.attributes, request.modifyReadOnly, request.modifyHidden))
    return "The file is protected (read-only or hidden) and the settings do not allow "
           "changing it";
  try {
    StopPoll never;
    const std::optional<Interval> interval =
        intervalsInForce(request) ? std::optional<Interval>(intervalOf(row)) : std::nullopt;
    transformFileBytes(request, bytes, fullName, interval, never);
  } catch (const FileFailure& failure) {
    return failure.what();
  } catch (const StopRequested&) {
  }
  return "The file cannot be rewritten";
}

}  // namespace kestrix::modify
