// Dry runs of the modify pass collected for the window's Preview dialog.
#include "modify/Preview.h"

#include "modify/ModifyPass.h"
#include "modify/UnifiedDiff.h"

namespace kestrix::modify {
namespace {

// Forwards polls and warnings to the caller and keeps each file's diff and each failure
// with the reason the pass gave.
class CollectingObserver : public ModifyObserver {
 public:
  explicit CollectingObserver(ModifyObserver& outer) : outer_(outer) {}
  bool poll() override { return outer_.poll(); }
  void warning(const UserMessage& message) override { outer_.warning(message); }
  void fileStarted(const std::string& fullName) override { outer_.fileStarted(fullName); }
  void fileFailed(const std::string& fullName, const std::string& reason) override {
    failures.push_back({fullName, reason});
  }
  void preview(const std::string& fullName, std::string_view before,
               std::string_view after) override {
    std::string diff = unifiedDiff(fullName, before, after);
    if (!diff.empty()) changes.push_back({fullName, std::move(diff)});
  }
  std::vector<FileChangePreview> changes;
  std::vector<FileFailurePreview> failures;

 private:
  ModifyObserver& outer_;
};

}  // namespace

PreviewSummary previewModifyPass(const ModifyRequest& request, std::vector<search::ResultItem> rows,
                                 const std::vector<std::size_t>& selected,
                                 ModifyObserver& observer, const std::string& searchedFolder) {
  CollectingObserver collector(observer);
  UndoJournal unused;
  PassOptions options;
  options.dryRun = true;
  options.refreshHits = false;
  options.searchedFolder = searchedFolder;
  const PassSummary pass = runModifyPass(request, rows, selected, unused, collector, options);
  PreviewSummary summary;
  summary.changes = std::move(collector.changes);
  summary.failures = std::move(collector.failures);
  summary.stopped = pass.stopped;
  return summary;
}

}  // namespace kestrix::modify
