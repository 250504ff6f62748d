// Batch replace: for each pair of the table, a fresh search with the pair's texts and all
// other settings, then Modify All over the files it listed.
#pragma once

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

struct BatchPairOutcome {
  std::size_t row = 0;                   // 0-based index in the table
  std::vector<search::ResultItem> rows;  // the listed files with their Result cells
  PassSummary pass;
};

struct BatchSummary {
  std::vector<BatchPairOutcome> pairs;  // one per pair that ran a search
  bool stopped = false;
  // The message that ended the batch (a search failure, a replacement limit).
  std::optional<UserMessage> error;
};

// Sets the pair's texts into `modify` (and the query into a copy of `search`): Phrase takes
// the cells as they are; Multiline and Reg Expr split them into lines ("|", "||").
void applyBatchPair(const BatchPair& pair, ModifyRequest& modify, search::SearchRequest& search);

// Runs the pairs in order, skipping pairs whose "To Search" cell is empty. `search` gives
// the folder, masks and filters; `modify` everything else (its texts are replaced per pair).
// With backups on, `journal` ends up holding the last pair's run only. A stop, a search
// failure or a replacement limit ends the batch after the current step. Throws ModifyError
// "The Modification Type is \"None\"" (program caption) before anything runs.
BatchSummary runBatch(const BatchTable& table, const search::SearchRequest& search,
                      const ModifyRequest& modify, UndoJournal& journal, ModifyObserver& observer,
                      const PassOptions& options = {});

}  // namespace kestrix::modify
