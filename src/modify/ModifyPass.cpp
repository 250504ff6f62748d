// The modify pass over the listed rows, and the transformation of one file's bytes.
#include "modify/ModifyPass.h"

#include <chrono>
#include <optional>
#include <set>

#include "modify/Backup.h"
#include "modify/LineList.h"
#include "modify/RegexEngine.h"
#include "modify/RowRefresh.h"
#include "modify/TextEngines.h"
#include "platform/AtomicWrite.h"
#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/Find.h"
#include "text/Lines.h"

namespace kestrix::modify {

std::string transformFileBytes(const ModifyRequest& request, std::string_view bytes,
                               const std::string& fullName, const std::optional<Interval>& interval,
                               StopPoll& poll) {
  // The line model ends the text at a NUL byte: rewriting would cut the file.
  if (text::hasNul(bytes)) throw FileFailure("The file holds a NUL byte");
  const bool finalBreak = endsWithLineBreak(bytes);
  LineList lines = splitIntoLines(bytes);
  switch (request.searchType) {
    case QueryType::Phrase:
      transformPhrase(lines, request, interval, poll);
      break;
    case QueryType::RegExpr:
      transformRegex(lines, request, fullName, finalBreak, interval, poll);
      break;
    default:
      transformMultiline(lines, request, poll);
      break;
  }
  return joinLines(lines, request.lineSeparator, finalBreak);
}

namespace {

class Pass {
 public:
  Pass(const ModifyRequest& request, std::vector<search::ResultItem>& rows, UndoJournal& journal,
       ModifyObserver& observer, const PassOptions& options)
      : request_(request),
        rows_(rows),
        journal_(journal),
        observer_(observer),
        options_(options),
        poll_([&observer] { return observer.poll(); }),
        useIntervals_(intervalsInForce(request)),
        batch_(options.writeOps) {}

  PassSummary run(const std::vector<std::size_t>& indexes) {
    if (!options_.dryRun) journal_.clear();  // only the latest run can be undone
    try {
      for (std::size_t index : indexes) {
        if (poll_.stopNow()) throw StopRequested{};
        if (index >= rows_.size() || cellIsNil(rows_[index].result)) continue;
        modifyRow(index);
        if (commitDue()) commitPending();
      }
    } catch (const StopRequested&) {
      summary_.stopped = true;  // the file being transformed is not written
    }
    commitPending();  // the files finished before a stop stay modified
    return summary_;
  }

 private:
  using Clock = std::chrono::steady_clock;

  // A file whose new content (and backup) is staged for the next commit.
  struct Pending {
    std::size_t index;
    std::string fullName;
    std::size_t fileEntry;
  };

  void modifyRow(std::size_t index) {
    search::ResultItem& row = rows_[index];
    observer_.fileStarted(row.fullName());
    if (prepareFile(index, realFile(row.fullName()), intervalOf(row))) return;
    ++summary_.failed;
    finish(index, kFailedModification);
  }

  // Reads, checks and transforms one file and stages its new content (after its backup).
  // True when the file is staged (or previewed); false when it failed. Throws
  // StopRequested from the engines.
  bool prepareFile(std::size_t index, const std::string& fullName, Interval interval) {
    try {
      const std::string bytes = platform::readFile(fullName);
      if (text::hasNul(bytes)) return false;
      const platform::FileInfo info = platform::stat(fullName);
      if (!mayModify(info.attributes, request_.modifyReadOnly, request_.modifyHidden)) {
        return false;
      }
      const std::optional<Interval> limit =
          useIntervals_ ? std::optional<Interval>(interval) : std::nullopt;
      const std::string result = transformFileBytes(request_, bytes, fullName, limit, poll_);
      if (options_.dryRun) {
        observer_.preview(fullName, bytes, result);
        ++summary_.modified;
        finish(index, kModified);
        return true;
      }
      if (pending_.empty()) groupStart_ = Clock::now();
      std::optional<std::size_t> backup;
      if (request_.createBackups) {
        // The backup is the file as it was, writable (its attributes set to normal).
        const std::uint32_t mode = isProtected(info.attributes) ? info.mode | 0200 : info.mode;
        backup = batch_.stage(backupName(fullName), bytes, mode);
      }
      // The original permission bits go straight onto the new content: the file itself
      // is never made writable, so nothing needs restoring after a failure.
      pending_.push_back({index, fullName, batch_.stage(fullName, result, info.mode, backup)});
      return true;
    } catch (const RegexFileFailure& e) {
      reportOnce(e.message());
    } catch (const FileFailure&) {
    } catch (const platform::AtomicWriteError&) {
      // The original is intact; a backup staged for it is still written.
    } catch (const platform::PlatformError&) {
    }
    return false;
  }

  bool commitDue() const {
    return !pending_.empty() &&
           (pending_.size() >= options_.groupFiles || batch_.stagedBytes() > (64u << 20) ||
            Clock::now() - groupStart_ > std::chrono::milliseconds(200));
  }

  // Makes the staged files durable and gives their rows their results.
  void commitPending() {
    if (batch_.size() == 0) return;
    const std::vector<std::string> errors = batch_.commit();
    for (const Pending& p : pending_) {
      const bool ok = errors[p.fileEntry].empty();
      if (ok) {
        ++summary_.modified;
        if (request_.createBackups) journal_.entries.push_back(p.fullName);
        if (options_.refreshHits) refreshRow(rows_[p.index], toSearchRequest(request_));
      } else {
        ++summary_.failed;
      }
      finish(p.index, ok ? kModified : kFailedModification);
    }
    pending_.clear();
  }

  void finish(std::size_t index, const char* word) {
    search::ResultItem& row = rows_[index];
    row.result = options_.intervalHeadingShown ? formatIntervalCell(word, intervalOf(row)) : word;
    observer_.rowChanged(index);
  }

  void reportOnce(const UserMessage& message) {
    if (reported_.insert(message.caption + '\n' + message.text).second) {
      observer_.warning(message);
    }
  }

  const ModifyRequest& request_;
  std::vector<search::ResultItem>& rows_;
  UndoJournal& journal_;
  ModifyObserver& observer_;
  const PassOptions& options_;
  StopPoll poll_;
  bool useIntervals_;
  platform::AtomicWriteBatch batch_;
  std::vector<Pending> pending_;
  Clock::time_point groupStart_;
  PassSummary summary_;
  std::set<std::string> reported_;
};

std::vector<std::size_t> rowsInScope(const ModifyRequest& request, std::size_t rowCount,
                                     const std::vector<std::size_t>& selected) {
  if (request.scope == ModifyScope::Selected) return selected;
  std::vector<std::size_t> all(rowCount);
  for (std::size_t i = 0; i < rowCount; ++i) all[i] = i;
  return all;
}

}  // namespace

PassSummary runModifyPass(const ModifyRequest& request, std::vector<search::ResultItem>& rows,
                          const std::vector<std::size_t>& selected, UndoJournal& journal,
                          ModifyObserver& observer, const PassOptions& options) {
  if (auto message = validateModifyRequest(request)) {
    throw ModifyError(message->caption, message->text);
  }
  if (request.scope == ModifyScope::Selected && selected.empty()) {
    throw ModifyError(kModifyCaption, kSelectSomeItems);
  }
  const auto indexes = rowsInScope(request, rows.size(), selected);
  if (!indexes.empty()) {
    if (auto message = checkReplacementLimits(request)) {
      throw ModifyError(message->caption, message->text);
    }
  }
  Pass pass(request, rows, journal, observer, options);
  return pass.run(indexes);
}

}  // namespace kestrix::modify
