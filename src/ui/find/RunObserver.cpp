// Batches the rows of a run into the model and keeps the window responsive.
#include "ui/find/RunObserver.h"

#include <QCoreApplication>
#include <utility>

#include "search/Cells.h"
#include "ui/results/ResultsModel.h"

namespace kestrix::ui {

namespace {
// Events are pumped at most this often; the core polls about every 15 ms of work.
constexpr qint64 kPumpIntervalMs = 15;
}  // namespace

RunObserver::RunObserver(ResultsModel& model, search::Origin origin,
                         std::function<bool()> stopRequested,
                         std::function<void(const QString&)> showStatus,
                         std::function<void(const QString&, const QString&)> showWarning)
    : model_(model),
      origin_(origin),
      stopRequested_(std::move(stopRequested)),
      showStatus_(std::move(showStatus)),
      showWarning_(std::move(showWarning)) {
  sincePump_.start();
}

void RunObserver::resultAdded(const search::ResultItem& item) {
  pending_.push_back(item);
  ++found_;
  // A first row shows at once; later ones travel in batches at the next pump.
  if (found_ == 1) flush();
}

void RunObserver::warning(const std::string& caption, const std::string& text) {
  flush();
  showWarning_(QString::fromStdString(caption), QString::fromStdString(text));
}

bool RunObserver::poll() {
  if (sincePump_.elapsed() >= kPumpIntervalMs) {
    flush();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    sincePump_.restart();
  }
  return stopRequested_();
}

void RunObserver::flush() {
  if (!pending_.empty()) model_.appendItems(std::exchange(pending_, {}));
  if (showFolder_ && folder_ != shownFolder_) {
    shownFolder_ = folder_;
    showFolder_(QString::fromStdString(folder_));
  }
  if (found_ != shownCount_) {
    shownCount_ = found_;
    showStatus_(QString::fromStdString(search::foundStatusText(origin_, found_)));
  }
}

}  // namespace kestrix::ui
