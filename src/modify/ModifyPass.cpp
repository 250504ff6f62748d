// The modify pass over the listed rows, and the transformation of one file's bytes.
#include "modify/ModifyPass.h"

#include <optional>
#include <set>

#include "modify/Backup.h"
#include "modify/LineList.h"
#include "modify/RegexEngine.h"
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

// Puts a saved permission mode back when the work on a file ends, however it ends.
class ModeRestorer {
 public:
  ModeRestorer() = default;
  ModeRestorer(const ModeRestorer&) = delete;
  ModeRestorer& operator=(const ModeRestorer&) = delete;
  ~ModeRestorer() {
    if (!path_.empty()) {
      try {
        platform::setMode(path_, mode_);
      } catch (const platform::PlatformError&) {  // the file may be gone; nothing to restore
      }
    }
  }
  void save(const std::string& path, std::uint32_t mode) {
    path_ = path;
    mode_ = mode;
  }

 private:
  std::string path_;
  std::uint32_t mode_ = 0;
};

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
        useIntervals_(intervalsInForce(request)) {}

  PassSummary run(const std::vector<std::size_t>& indexes) {
    if (!options_.dryRun) journal_.clear();  // only the latest run can be undone
    for (std::size_t index : indexes) {
      if (poll_.stopNow()) {
        summary_.stopped = true;
        break;
      }
      if (index >= rows_.size() || cellIsNil(rows_[index].result)) continue;
      if (!modifyRow(index)) break;
    }
    return summary_;
  }

 private:
  // Works on one row; false when a stop ended the pass.
  bool modifyRow(std::size_t index) {
    search::ResultItem& row = rows_[index];
    const std::string fullName = row.fullName();
    observer_.fileStarted(fullName);
    bool ok = false;
    try {
      ok = modifyFile(fullName, intervalOf(row));
    } catch (const StopRequested&) {
      summary_.stopped = true;
      return false;
    }
    if (ok) {
      ++summary_.modified;
      if (options_.refreshHits && !options_.dryRun) refreshRow(row);
    } else {
      ++summary_.failed;
    }
    setResult(row, ok ? kModified : kFailedModification);
    observer_.rowChanged(index);
    return true;
  }

  // True when the file was (or, in a dry run, would be) rewritten.
  bool modifyFile(const std::string& fullName, Interval interval) {
    bool backupMade = false;
    try {
      const std::string bytes = platform::readFile(fullName);
      if (text::hasNul(bytes)) return false;
      const platform::FileInfo info = platform::stat(fullName);
      if (!mayModify(info.attributes, request_.modifyReadOnly, request_.modifyHidden)) {
        return false;
      }
      const std::optional<Interval> limit =
          useIntervals_ ? std::optional<Interval>(interval) : std::nullopt;
      if (options_.dryRun) {
        observer_.preview(fullName, bytes,
                          transformFileBytes(request_, bytes, fullName, limit, poll_));
        return true;
      }
      ModeRestorer restorer;
      if (isProtected(info.attributes)) restorer.save(fullName, platform::makeWritable(fullName));
      const std::uint32_t mode = platform::getMode(fullName);
      if (request_.createBackups) {
        writeBackup(fullName, bytes, mode);
        backupMade = true;
      }
      const std::string result = transformFileBytes(request_, bytes, fullName, limit, poll_);
      write(fullName, result);
      if (request_.createBackups) journal_.entries.push_back(fullName);
      return true;
    } catch (const RegexFileFailure& e) {
      reportOnce(e.message());
    } catch (const platform::AtomicWriteError&) {
      // The original is intact; its fresh backup (same content) stays where it is.
      return false;
    } catch (const FileFailure&) {
    } catch (const platform::PlatformError&) {
    }
    if (backupMade) removeQuietly(backupName(fullName));
    return false;
  }

  void write(const std::string& fullName, std::string_view bytes) {
    if (options_.writeFile) {
      options_.writeFile(fullName, bytes);
    } else {
      platform::writeFileAtomically(fullName, bytes);
    }
  }

  static void removeQuietly(const std::string& path) {
    try {
      platform::removeFile(path);
    } catch (const platform::PlatformError&) {  // a leftover backup does no harm
    }
  }

  void reportOnce(const UserMessage& message) {
    if (reported_.insert(message.caption + '\n' + message.text).second) {
      observer_.warning(message);
    }
  }

  void setResult(search::ResultItem& row, const char* word) {
    row.result = options_.intervalHeadingShown ? formatIntervalCell(word, intervalOf(row)) : word;
  }

  // The modified file's hits and facts, as a fresh search would show them.
  void refreshRow(search::ResultItem& row) {
    try {
      const auto fill = search::fillFoundLines(toSearchRequest(request_), row.path, row.name);
      row.hits = fill.hits;
      if (!row.found.empty()) row.found = fill.found;
      row.foundFull = search::foundText(fill.hits, false);
      const platform::FileInfo info = platform::stat(row.fullName());
      row.sizeBytes = info.sizeBytes;
      row.size = search::sizeText(info.sizeBytes);
      row.lastWriteSec = info.lastWriteSec;
      row.time = search::timeText(info.lastWriteSec);
    } catch (const std::exception&) {  // a recount is cosmetic; the file is modified
    }
  }

  const ModifyRequest& request_;
  std::vector<search::ResultItem>& rows_;
  UndoJournal& journal_;
  ModifyObserver& observer_;
  const PassOptions& options_;
  StopPoll poll_;
  bool useIntervals_;
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
