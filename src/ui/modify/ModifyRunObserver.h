// The window's observer of a modification run (the pass, undo, erase backups, preview):
// pumps the window's events when more than 15 ms have passed and answers the core's polls
// with the stop flags; hands each changed row to the results model.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <vector>

#include "modify/ModifyObserver.h"
#include "modify/OutcomeTexts.h"
#include "search/ResultItem.h"

namespace kestrix::ui {

class ResultsModel;

class ModifyRunObserver : public modify::ModifyObserver {
 public:
  // `rows` is the run's working copy of the model's rows (may be null when the run has no
  // rows); `stopRequested` is read at every poll; `showWarning(caption, text)` shows a
  // message that does not end the run; `showProgress(fullName)` may be empty.
  ModifyRunObserver(ResultsModel& model, const std::vector<search::ResultItem>* rows,
                    std::function<bool()> stopRequested,
                    std::function<void(const QString&, const QString&)> showWarning,
                    std::function<void(const QString&)> showProgress = {});

  bool poll() override;
  void warning(const modify::UserMessage& message) override;
  void fileStarted(const std::string& fullName) override;
  void rowChanged(std::size_t index) override;
  // Keeps the file and its reason for the run's notice and the Result cell's tooltip.
  void fileFailed(const std::string& fullName, const std::string& reason) override;

  using Failure = modify::FailedFile;
  // The files that failed, in the order they failed.
  const std::vector<Failure>& failures() const { return failures_; }

 private:
  ResultsModel& model_;
  const std::vector<search::ResultItem>* rows_;
  std::function<bool()> stopRequested_;
  std::function<void(const QString&, const QString&)> showWarning_;
  std::function<void(const QString&)> showProgress_;
  QElapsedTimer sincePump_;
  std::vector<Failure> failures_;
};

}  // namespace kestrix::ui
