// find/: the Find tab and the Find command of both tabs.
// The Find command of both tabs: reads the controls into a SearchRequest, validates it,
// enters the busy state, runs the core search with a RunObserver, shows its messages and
// restores the window.
#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "search/SearchError.h"
#include "search/SearchRequest.h"

namespace kestrix::ui {

class FindHost;
class ResultsModel;
class ResultsView;
struct WindowState;

class FindRunController : public QObject {
  Q_OBJECT
 public:
  // None of the references is owned; all outlive the controller (a child of `parent`).
  FindRunController(QObject* parent, FindHost& host, WindowState& state, ResultsModel& results,
                    ResultsView& view);

  // Reads the window's controls into a request for a run from `origin` (no term table).
  search::SearchRequest buildRequest(search::Origin origin) const;
  // Runs the Find command; returns when the run ended (stopped, failed or complete).
  void run(search::Origin origin);
  // Runs the Find command with `request` instead of the controls' texts (a batch pair).
  void run(search::SearchRequest request);
  // Raises the stop flags; a running search ends at its next poll.
  void stop();
  bool isRunning() const { return running_; }

  // The request of the last run (with its term table), kept until the next run; the lines
  // viewer fills found lines with it.
  const search::SearchRequest& lastRequest() const { return lastRequest_; }
  bool hasRun() const { return hasRun_; }

 signals:
  // A run has ended and the window is idle again.
  void finished();

 private:
  // False, with the reason shown, when the request cannot run (its folder included).
  bool validate(search::SearchRequest& request);
  void beginBusy(const search::SearchRequest& request);
  void endBusy();
  void updateHistories(search::Origin origin, const search::SearchRequest& request);
  void finish(const search::SearchRequest& request, bool stopped);
  void showError(const search::SearchError& error, search::Origin origin);
  void selectInMemo(int position, search::Origin origin);
  std::vector<std::string> snapshot() const;

  FindHost& host_;
  WindowState& state_;
  ResultsModel& results_;
  ResultsView& view_;
  search::SearchRequest lastRequest_;
  bool hasRun_ = false;
  bool running_ = false;
};

}  // namespace kestrix::ui
