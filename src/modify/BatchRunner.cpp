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

BatchSummary runBatch(const BatchTable& table, const search::SearchRequest& search,
                      const ModifyRequest& modify, UndoJournal& journal, ModifyObserver& observer,
                      const PassOptions& options) {
  if (modify.modificationType == ModificationType::None) {
    throw ModifyError(kProgramCaption, kTypeIsNone);
  }
  BatchSummary summary;
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    if (table.rows[i].search.empty()) continue;
    if (observer.poll()) {
      summary.stopped = true;
      break;
    }
    ModifyRequest pairModify = modify;
    pairModify.scope = ModifyScope::All;
    search::SearchRequest pairSearch = search;
    applyBatchPair(table.rows[i], pairModify, pairSearch);
    PairSearchObserver searchObserver(observer);
    try {
      const auto found = search::runFind(pairSearch, searchObserver);
      if (found.error) {
        summary.error = UserMessage{found.error->caption(), found.error->text()};
        break;
      }
      if (found.stopped) {
        summary.stopped = true;
        break;
      }
      BatchPairOutcome outcome{i, std::move(searchObserver.rows), {}};
      if (!outcome.rows.empty()) {
        outcome.pass = runModifyPass(pairModify, outcome.rows, {}, journal, observer, options);
      }
      summary.stopped = outcome.pass.stopped;
      summary.pairs.push_back(std::move(outcome));
      if (summary.stopped) break;
    } catch (const search::SearchError& e) {
      summary.error = UserMessage{e.caption(), e.text()};
      break;
    } catch (const ModifyError& e) {
      summary.error = e.message();
      break;
    }
  }
  return summary;
}

}  // namespace kestrix::modify
