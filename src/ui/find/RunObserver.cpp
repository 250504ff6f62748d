// Batches the rows of a run into the model and keeps the window responsive.
#include "ui/find/RunObserver.h"

#include <QCoreApplication>
#include <utility>

#include "ui/results/ResultsModel.h"

namespace kestrix::ui {

namespace {
// Events are pumped at most this often; the core polls about every 15 ms of work.
constexpr qint64 kPumpIntervalMs = 15;
}  // namespace

RunObserver::RunObserver(ResultsModel& model, search::Origin origin,
                         std::function<bool()> stopRequested,
                         std::function<void(int, const QString&)> showStatus,
                         std::function<void(const QString&, const QString&)> showWarning)
    : model_(model),
      progress_(origin),
      stopRequested_(std::move(stopRequested)),
      showStatus_(std::move(showStatus)),
      showWarning_(std::move(showWarning)) {
  sincePump_.start();
}

void RunObserver::resultAdded(const search::ResultItem& item) {
  // A first row shows at once; later ones travel in batches at the next pump.
  if (progress_.add(item)) flush();
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
  search::RunProgress::Update update = progress_.take();
  if (!update.rows.empty()) model_.appendItems(std::move(update.rows));
  if (update.folder) showStatus_(1, QString::fromStdString(*update.folder));
  if (update.counter) showStatus_(0, QString::fromStdString(*update.counter));
}

}  // namespace kestrix::ui
