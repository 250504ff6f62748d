// The modify pass: over the selected or all listed rows, each file is read, protected
// files are checked, a backup is made, the engine of the search type transforms its lines,
// the file is replaced safely, and the row records "Modified" or "Failed Modification".
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "modify/Interval.h"
#include "modify/ModifyObserver.h"
#include "modify/ModifyRequest.h"
#include "modify/StopPoll.h"
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
  // The Result column shows intervals: cells are written in the interval format.
  bool intervalHeadingShown = false;
  // The system calls of the safe writes; tests make a write, flush or rename fail here.
  platform::AtomicWriteOps writeOps;
  // Rewritten files are made durable together, this many at most (and at least every
  // 200 ms); their rows get their results when their group is committed.
  std::size_t groupFiles = 256;
};

struct PassSummary {
  std::size_t modified = 0;
  std::size_t failed = 0;
  bool stopped = false;
};

// Runs the pass. Scope All takes every row in list order; scope Selected takes the rows at
// `selected` (ascending indexes). Rows whose Result cell contains "Nil" are skipped.
// `journal` is emptied (except in a dry run) and, with backups on, lists the files changed.
// Throws ModifyError before anything changes: the validation messages ("Modify" caption),
// "Please select some items" for an empty selection, and the replacement limits (program
// caption). Engine messages (regular-expression errors) go to observer.warning once each.
PassSummary runModifyPass(const ModifyRequest& request, std::vector<search::ResultItem>& rows,
                          const std::vector<std::size_t>& selected, UndoJournal& journal,
                          ModifyObserver& observer, const PassOptions& options = {});

// The new bytes of one file for the request: its lines transformed by the engine of the
// search type and joined with the request's separator, ending with a separator only when
// `bytes` ended with CR or LF. Throws FileFailure (NUL byte, interval past the end, engine
// error) and StopRequested. The same path the pass uses, without any file access.
std::string transformFileBytes(const ModifyRequest& request, std::string_view bytes,
                               const std::string& fullName, const std::optional<Interval>& interval,
                               StopPoll& poll);

}  // namespace kestrix::modify
