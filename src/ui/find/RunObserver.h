// The window's observer of a search run: collects the listed rows and hands them to the
// results model in batches, keeps the status bar counting, and pumps the window's events
// when more than 15 ms have passed, answering the core's polls with the stop flag.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "search/SearchObserver.h"
#include "search/SearchRequest.h"

namespace kestrix::ui {

class ResultsModel;

class RunObserver : public search::SearchObserver {
 public:
  // `stopRequested` is read at every poll; `showStatus(text)` writes status panel 0;
  // `showWarning(caption, text)` shows a message that does not end the run.
  RunObserver(ResultsModel& model, search::Origin origin, std::function<bool()> stopRequested,
              std::function<void(const QString&)> showStatus,
              std::function<void(const QString&, const QString&)> showWarning);

  // `showFolder(path)` writes the folder being searched (status panel 1) at each pump.
  void setFolderDisplay(std::function<void(const QString&)> showFolder) {
    showFolder_ = std::move(showFolder);
  }

  void folderEntered(const std::string& path) override { folder_ = path; }
  void resultAdded(const search::ResultItem& item) override;
  void warning(const std::string& caption, const std::string& text) override;
  bool poll() override;

  // Hands the rows still pending to the model and updates the counter text.
  void flush();
  std::size_t foundCount() const { return found_; }

 private:
  ResultsModel& model_;
  search::Origin origin_;
  std::function<bool()> stopRequested_;
  std::function<void(const QString&)> showStatus_;
  std::function<void(const QString&, const QString&)> showWarning_;
  std::function<void(const QString&)> showFolder_;
  std::string folder_, shownFolder_;
  std::vector<search::ResultItem> pending_;
  std::size_t found_ = 0;
  std::size_t shownCount_ = 0;
  QElapsedTimer sincePump_;
};

}  // namespace kestrix::ui
