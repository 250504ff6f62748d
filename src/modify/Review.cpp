// The recording dry run of a review and the pass that writes its accepted changes.
#include "modify/Review.h"

#include <algorithm>
#include <unordered_map>

#include "modify/FileText.h"
#include "modify/LineBreaks.h"

namespace kestrix::modify {
namespace {

// Forwards polls, warnings and progress, and keeps each failure with its reason.
class ReviewObserver : public ModifyObserver {
 public:
  ReviewObserver(ModifyObserver& outer, Review& review) : outer_(outer), review_(review) {}
  bool poll() override { return outer_.poll(); }
  void warning(const UserMessage& message) override { outer_.warning(message); }
  void fileStarted(const std::string& fullName) override { outer_.fileStarted(fullName); }
  void fileFailed(const std::string& fullName, const std::string& reason) override {
    review_.failures.push_back({fullName, reason});
  }

 private:
  ModifyObserver& outer_;
  Review& review_;
};

bool anyAccepted(const Accepted& accepted) {
  return std::find(accepted.begin(), accepted.end(), true) != accepted.end();
}

}  // namespace

Review reviewModifyPass(const ModifyRequest& request, std::vector<search::ResultItem> rows,
                        const std::vector<std::size_t>& selected, ModifyObserver& observer,
                        const std::string& searchedFolder) {
  Review review;
  ReviewObserver collector(observer, review);
  PassOptions options;
  options.dryRun = true;
  options.refreshHits = false;
  options.searchedFolder = searchedFolder;
  options.rewrite = [&](FileBytes& bytes, const std::string& fullName,
                        const std::optional<Interval>& interval, StopPoll& poll) {
    const ContentStamp stamp = stampOf(bytes.view());
    ChangeRecorder recorder;
    std::optional<std::string> out = rewriteInFileEncoding(request, bytes, [&](FileBytes& text) {
      return rewriteText(request, text, fullName, interval, poll, &recorder);
    });
    FileChanges changes = recorder.take();
    if (out && !changes.changes.empty()) {
      changes.fullName = fullName;
      changes.stamp = stamp;
      review.files.push_back(std::move(changes));
    }
    return out;
  };
  UndoJournal unused;
  review.stopped = runModifyPass(request, rows, selected, unused, collector, options).stopped;
  return review;
}

std::optional<std::string> applyAccepted(const ModifyRequest& request, FileBytes& bytes,
                                         const FileChanges& file, const Accepted& accepted) {
  if (stampOf(bytes.view()) != file.stamp) throw FileFailure(kChangedSincePreview);
  if (!anyAccepted(accepted)) return std::nullopt;
  return rewriteInFileEncoding(request, bytes, [&](FileBytes& text) {
    const std::string_view view = text.view();
    const bool finalBreak = endsWithLineBreak(view);
    std::string out =
        file.crLfText ? spliceChanges(withBreaks(view, "\r\n", finalBreak), file.changes, accepted)
                      : spliceChanges(view, file.changes, accepted);
    if (request.lineSeparator != LineSeparator::Keep) {
      convertBreaks(out, separatorBytes(request.lineSeparator), finalBreak);
    }
    return std::optional<std::string>(std::move(out));
  });
}

PassSummary applyReview(const ModifyRequest& request, std::vector<search::ResultItem>& rows,
                        const Review& review, const std::vector<Accepted>& accepted,
                        UndoJournal& journal, ModifyObserver& observer, PassOptions options) {
  std::unordered_map<std::string, std::size_t> fileOf;
  for (std::size_t i = 0; i < review.files.size() && i < accepted.size(); ++i) {
    if (anyAccepted(accepted[i])) fileOf.emplace(review.files[i].fullName, i);
  }
  std::vector<std::size_t> selected;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (fileOf.count(rows[i].fullName()) != 0) selected.push_back(i);
  }
  if (selected.empty()) return {};
  ModifyRequest scoped = request;
  scoped.scope = ModifyScope::Selected;
  options.dryRun = false;
  options.rewrite = [&](FileBytes& bytes, const std::string& fullName,
                        const std::optional<Interval>&, StopPoll&) -> std::optional<std::string> {
    const auto it = fileOf.find(fullName);
    if (it == fileOf.end()) return std::nullopt;
    return applyAccepted(scoped, bytes, review.files[it->second], accepted[it->second]);
  };
  return runModifyPass(scoped, rows, selected, journal, observer, options);
}

}  // namespace kestrix::modify
