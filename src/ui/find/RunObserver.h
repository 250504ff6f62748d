// The window's observer of a search run: hands the listed rows to the results model in
// batches, keeps the status bar counting, and pumps the window's events when more than
// 15 ms have passed, answering the core's polls with the stop flag.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <string>

#include "search/RunProgress.h"
#include "search/SearchObserver.h"

namespace kestrix::ui {

class ResultsModel;

class RunObserver : public search::SearchObserver {
 public:
  // `stopRequested` is read at every poll; `showStatus(panel, text)` writes the counter
  // (panel 0) and the folder being searched (panel 1); `showWarning(caption, text)` shows a
  // message that does not end the run.
  RunObserver(ResultsModel& model, search::Origin origin, std::function<bool()> stopRequested,
              std::function<void(int, const QString&)> showStatus,
              std::function<void(const QString&, const QString&)> showWarning);

  void folderEntered(const std::string& path) override { progress_.folderEntered(path); }
  void resultAdded(const search::ResultItem& item) override;
  void warning(const std::string& caption, const std::string& text) override;
  bool poll() override;

  // Hands the rows still pending to the model and updates the status texts.
  void flush();

 private:
  ResultsModel& model_;
  search::RunProgress progress_;
  std::function<bool()> stopRequested_;
  std::function<void(int, const QString&)> showStatus_;
  std::function<void(const QString&, const QString&)> showWarning_;
  QElapsedTimer sincePump_;
};

}  // namespace kestrix::ui
