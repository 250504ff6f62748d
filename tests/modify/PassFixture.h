// Rows over real files and a recording observer, for the pass, undo and batch tests.
#pragma once

#include <string>
#include <vector>

#include "TestFiles.h"
#include "modify/ModifyObserver.h"
#include "modify/ModifyRequest.h"
#include "modify/UndoJournal.h"
#include "search/ResultItem.h"

namespace kestrix::modify::testing {

inline search::ResultItem rowFor(const TempFolder& dir, const std::string& name) {
  search::ResultItem row;
  row.name = name;
  row.path = dir.path();
  row.hits = {1};
  row.outcome.result = search::RowResult::Found;
  return row;
}

// A case-sensitive Phrase replacement of `search` by `replacement`, with the defaults
// of every other setting.
inline ModifyRequest replacePhrase(std::string search, std::string replacement) {
  ModifyRequest req;
  req.searchType = QueryType::Phrase;
  req.searchText = std::move(search);
  req.replacementText = std::move(replacement);
  req.caseSensitive = true;
  return req;
}

// A whole-text Reg Expr replacement of "old" before a blank by "new", written with LF
// breaks: the expression sees CR LF breaks, so the engine copies a file with other breaks
// and lets the file's own bytes go (once their backup is staged from them).
inline ModifyRequest replaceWholeTextRegex() {
  ModifyRequest req;
  req.searchType = QueryType::RegExpr;
  req.searchLines = {"old(\\s)"};
  req.replacementLines = {"new$1"};
  req.caseSensitive = true;
  req.lineSeparator = LineSeparator::Unix;
  return req;
}

// The full names of the journal's entries, in order.
inline std::vector<std::string> journalNames(const UndoJournal& journal) {
  std::vector<std::string> names;
  for (const auto& e : journal.entries) names.push_back(e.fullName);
  return names;
}

// Records what a run reports; stops after `stopAfterFiles` files when set.
class RecordingObserver : public ModifyObserver {
 public:
  bool poll() override { return stopAfterFiles >= 0 && started >= stopAfterFiles; }
  void warning(const UserMessage& message) override { warnings.push_back(message); }
  void fileStarted(const std::string&) override { ++started; }
  void rowChanged(std::size_t index) override { changed.push_back(index); }
  void fileFailed(const std::string& fullName, const std::string& reason) override {
    failures.push_back(fullName + ": " + reason);
  }
  void preview(const std::string& fullName, std::string_view before,
               std::string_view after) override {
    previews.push_back({fullName, std::string(before), std::string(after)});
  }

  struct Preview {
    std::string fullName, before, after;
  };
  int stopAfterFiles = -1;
  int started = 0;
  std::vector<UserMessage> warnings;
  std::vector<std::size_t> changed;
  std::vector<std::string> failures;  // "FULLPATH: reason"
  std::vector<Preview> previews;
};

}  // namespace kestrix::modify::testing
