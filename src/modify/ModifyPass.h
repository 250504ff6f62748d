// The modify pass: over the selected or all listed rows, each file is read, protected
// files are checked, a backup is made, the engine of the search type transforms its lines,
// the file is replaced safely, and the row records "Modified" or "Failed Modification".
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "modify/FileBytes.h"
#include "modify/History.h"
#include "modify/Interval.h"
#include "modify/ModifyObserver.h"
#include "modify/ModifyRequest.h"
#include "modify/StopPoll.h"
#include "modify/StreamedRewrite.h"
#include "modify/UndoJournal.h"
#include "platform/AtomicWrite.h"
#include "search/ResultItem.h"

namespace kestrix::modify {

struct PassOptions {
  // Transform and report previews through ModifyObserver::preview, but change nothing on
  // disk: no backup, no attribute change, no write, the journal untouched.
  bool dryRun = false;
  // Recount each modified file's hits into its row (the Found cell, sizes and times).
  bool refreshHits = true;
  // The Result column shows intervals: a row whose interval is Nil is passed by.
  bool intervalHeadingShown = false;
  // The system calls of the safe writes; tests make an open, write, flush or rename fail
  // here (platform::FaultInjector).
  platform::AtomicWriteOps writeOps;
  // The log of the pass's temporaries (temporaryLogPath of the data folder): the
  // temporaries that killed runs left are removed when the pass starts, and each of the
  // pass's own is recorded there before it is created. Empty: no log.
  std::string temporaryLog;
  // The folder the rows were searched in: a file is only changed when its real path lies
  // inside it. Empty: each row's own folder (its Path cell).
  std::string searchedFolder;
  // Rewritten files are made durable together, this many at most (and at least every
  // `groupTime`); their rows get their results when their group is committed. The flush
  // of a group runs on a worker thread while the observer is polled. A stop drops the group
  // not yet committed, and the files of a committing group not yet renamed: those files
  // stay as they were.
  std::size_t groupFiles = 256;
  std::chrono::milliseconds groupTime{1000};
  // The undo history (History.h) the run is recorded in when backups are on, written ahead
  // of each change with the history's own copy of each original, and the run's header (its
  // time is set by the pass). There, a ".bak" that is not the backup of a run in the
  // history is the user's: it is kept, and the original lives in the history only. The
  // history's limits are applied after the run. Empty: no history.
  std::string historyFolder;
  RunHeader historyHeader;
  // The limits applied after the run; unset: those stored in the history folder.
  std::optional<HistoryLimits> historyLimits;
  // Makes each file's new bytes in place of the request's engine (nothing: the file stays
  // as it is), called as rewriteFileBytes is; it throws FileFailure to fail a file. A
  // reviewed preview writes its accepted changes through it. Empty: rewriteFileBytes.
  std::function<std::optional<std::string>(FileBytes& bytes, const std::string& fullName,
                                           const std::optional<Interval>& interval, StopPoll& poll)>
      rewrite;
  // Files from this size on are rewritten piece by piece (StreamedRewrite.h) in pieces of
  // about `streamPieceBytes`, their backups linked or copied by the kernel; tests lower
  // both to stream small files.
  std::int64_t streamFromBytes = kStreamFromBytes;
  std::size_t streamPieceBytes = kStreamPieceBytes;
};

// Counts of files: rows that reach one file (a link and its target) count once.
struct PassSummary {
  std::size_t modified = 0;
  std::size_t unchanged = 0;  // nothing matched any more: not rewritten, the row says "Found"
  std::size_t failed = 0;
  bool stopped = false;
  // Temporaries the run could not remove (named in a warning; the next run or undo removes
  // them once it can).
  std::vector<std::string> leftTemporaries;
  std::string historyRun;  // the run's id in the history; empty when nothing was recorded
};

// Runs the pass. Scope All takes every row in list order; scope Selected takes the rows at
// `selected` (ascending indexes). Rows whose Result cell contains "Nil" are skipped.
// `journal` is emptied (except in a dry run) and, with backups on, lists the files changed;
// with journal.filePath set, that file is emptied too and each entry is durable there
// before its file is replaced.
// Each file is reached from the searched folder without following links (see
// TargetFile.h), read only when it is a regular file, and changed at most once per run (by
// the device and inode of its folder and its name there: a later row reaching the same file
// through a link gets the first row's result). Its mode
// (setuid, setgid and sticky included), owner and group are kept. Under
// LineSeparator::Keep a file in which nothing changed is not rewritten. Every failure is
// reported with its reason through observer.fileFailed.
// Throws ModifyError before anything changes: the validation messages ("Modify" caption),
// "Please select some items" for an empty selection, the replacement limits (program
// caption), and a journal file or undo history that cannot be written. Engine messages
// (regular-expression errors) go to observer.warning once each.
PassSummary runModifyPass(const ModifyRequest& request, std::vector<search::ResultItem>& rows,
                          const std::vector<std::size_t>& selected, UndoJournal& journal,
                          ModifyObserver& observer, const PassOptions& options = {});

// The new bytes of one file for the request: its lines transformed by the engine of the
// search type and joined with the request's separator, ending with a separator only when
// `bytes` ended with CR or LF; under LineSeparator::Keep every line keeps its own break and
// only the matches change. Nothing when the file would stay byte for byte as it is (only
// possible under Keep, where such a file is not rewritten at all). The engine may release
// `bytes` (FileBytes) once it no longer reads them. Throws FileFailure (NUL byte, interval
// past the end, engine error) and StopRequested. The same path the pass uses, without any
// file access.
std::optional<std::string> rewriteFileBytes(const ModifyRequest& request, FileBytes& bytes,
                                            const std::string& fullName,
                                            const std::optional<Interval>& interval,
                                            StopPoll& poll);

}  // namespace kestrix::modify
