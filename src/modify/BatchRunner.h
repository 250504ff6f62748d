// Batch replace: for each pair of the table, a fresh search with the pair's texts and all
// other settings, then Modify All over the files it listed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "modify/BatchTable.h"
#include "modify/ModifyObserver.h"
#include "modify/ModifyPass.h"
#include "modify/ModifyRequest.h"
#include "search/ResultItem.h"
#include "search/SearchRequest.h"

namespace kestrix::modify {

// How one pair ended.
struct BatchPairOutcome {
  std::size_t row = 0;                   // 0-based index in the table
  std::vector<search::ResultItem> rows;  // the listed files with their Result cells
  PassSummary pass;
  bool stopped = false;  // a stop during the search or the pass
  // The message that ended the pair and the batch (a search failure, a replacement limit).
  std::optional<UserMessage> error;
};

struct BatchSummary {
  std::vector<BatchPairOutcome> pairs;  // one per pair that ran without an error
  bool stopped = false;
  // The message that ended the batch (a search failure, a replacement limit).
  std::optional<UserMessage> error;

  // The files modified and failed over all pairs.
  std::size_t modified() const;
  std::size_t failed() const;
};

// Runs one pair: a search with `search`, then Modify All with `modify` over the files that
// search listed. The runner fills the outcome's rows, pass, stop and error (not its row).
using BatchPairRunner = std::function<BatchPairOutcome(const search::SearchRequest& search,
                                                       const ModifyRequest& modify)>;

// Sets the pair's texts into `modify` (and the query into a copy of `search`): Phrase takes
// the cells as they are; Multiline and Reg Expr split them into lines ("|", "||").
void applyBatchPair(const BatchPair& pair, ModifyRequest& modify, search::SearchRequest& search);

// Runs the pairs in order through `runPair`, skipping pairs whose "To Search" cell is empty.
// `search` gives the folder, masks and filters; `modify` everything else (its texts are
// replaced per pair, its scope is All). `stopRequested` is asked before each pair; a stop or
// an error of a pair ends the batch after it. Throws ModifyError "The Modification Type is
// \"None\"" (program caption) before anything runs.
BatchSummary runBatch(const BatchTable& table, const search::SearchRequest& search,
                      const ModifyRequest& modify, const BatchPairRunner& runPair,
                      const std::function<bool()>& stopRequested);

// One pair run by the core alone: runFind, then runModifyPass over what it listed, with
// `observer`'s polls and warnings. With backups on, `journal` holds this pair's run only.
BatchPairOutcome runBatchPair(const search::SearchRequest& search, const ModifyRequest& modify,
                              UndoJournal& journal, ModifyObserver& observer,
                              const PassOptions& options = {});

// runBatch with runBatchPair for every pair and `observer`'s poll as the stop request.
BatchSummary runBatch(const BatchTable& table, const search::SearchRequest& search,
                      const ModifyRequest& modify, UndoJournal& journal, ModifyObserver& observer,
                      const PassOptions& options = {});

}  // namespace kestrix::modify
