// The batch pair runner: search, then Modify All, per pair.
#include "modify/BatchRunner.h"

#include "search/Find.h"
#include "search/SearchObserver.h"

namespace kestrix::modify {
namespace {

// Collects the rows of a search and forwards its polls and warnings.
class PairSearchObserver : public search::SearchObserver {
 public:
  explicit PairSearchObserver(ModifyObserver& observer) : observer_(observer) {}
  void resultAdded(const search::ResultItem& item) override { rows.push_back(item); }
  void warning(const std::string& caption, const std::string& text) override {
    observer_.warning({caption, text});
  }
  void fileTested(const std::string& fullName) override { observer_.fileStarted(fullName); }
  bool poll() override { return observer_.poll(); }

  std::vector<search::ResultItem> rows;

 private:
  ModifyObserver& observer_;
};

}  // namespace

void applyBatchPair(const BatchPair& pair, ModifyRequest& modify, search::SearchRequest& search) {
  if (modify.searchType == QueryType::Phrase) {
    modify.searchText = pair.search;
    modify.replacementText = pair.replace;
  } else {
    modify.searchLines = splitBatchCell(pair.search);
    modify.replacementLines = splitBatchCell(pair.replace);
  }
  search.origin = search::Origin::SearchAndReplace;
  search.queryType = modify.searchType;
  search.queryText = modify.searchText;
  search.queryLines = modify.searchLines;
  search.termTable = {};
}

std::size_t BatchSummary::modified() const {
  std::size_t total = 0;
  for (const BatchPairOutcome& pair : pairs) total += pair.pass.modified;
  return total;
}

std::size_t BatchSummary::failed() const {
  std::size_t total = 0;
  for (const BatchPairOutcome& pair : pairs) total += pair.pass.failed;
  return total;
}

BatchSummary runBatch(const BatchTable& table, const search::SearchRequest& search,
                      const ModifyRequest& modify, const BatchPairRunner& runPair,
                      const std::function<bool()>& stopRequested) {
  if (modify.modificationType == ModificationType::None) {
    throw ModifyError(kProgramCaption, kTypeIsNone);
  }
  BatchSummary summary;
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    if (table.rows[i].search.empty()) continue;
    if (stopRequested()) {
      summary.stopped = true;
      break;
    }
    ModifyRequest pairModify = modify;
    pairModify.scope = ModifyScope::All;
    search::SearchRequest pairSearch = search;
    applyBatchPair(table.rows[i], pairModify, pairSearch);
    BatchPairOutcome outcome = runPair(pairSearch, pairModify);
    outcome.row = i;
    if (outcome.error) {
      summary.error = std::move(outcome.error);
      break;
    }
    summary.stopped = outcome.stopped;
    summary.pairs.push_back(std::move(outcome));
    if (summary.stopped) break;
  }
  return summary;
}

BatchPairOutcome runBatchPair(const search::SearchRequest& search, const ModifyRequest& modify,
                              UndoJournal& journal, ModifyObserver& observer,
                              const PassOptions& options) {
  BatchPairOutcome outcome;
  PairSearchObserver searchObserver(observer);
  try {
    const auto found = search::runFind(search, searchObserver);
    if (found.error) {
      outcome.error = UserMessage{found.error->caption(), found.error->text()};
      return outcome;
    }
    outcome.stopped = found.stopped;
    if (found.stopped) return outcome;
    outcome.rows = std::move(searchObserver.rows);
    if (!outcome.rows.empty()) {
      outcome.pass = runModifyPass(modify, outcome.rows, {}, journal, observer, options);
    }
    outcome.stopped = outcome.pass.stopped;
  } catch (const search::SearchError& e) {
    outcome.error = UserMessage{e.caption(), e.text()};
  } catch (const ModifyError& e) {
    outcome.error = e.message();
  }
  return outcome;
}

BatchSummary runBatch(const BatchTable& table, const search::SearchRequest& search,
                      const ModifyRequest& modify, UndoJournal& journal, ModifyObserver& observer,
                      const PassOptions& options) {
  return runBatch(
      table, search, modify,
      [&](const search::SearchRequest& pairSearch, const ModifyRequest& pairModify) {
        return runBatchPair(pairSearch, pairModify, journal, observer, options);
      },
      [&observer] { return observer.poll(); });
}

}  // namespace kestrix::modify
