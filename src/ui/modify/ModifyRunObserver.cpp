// Keeps the window alive and the list current while a modification run works.
#include "ui/modify/ModifyRunObserver.h"

#include <QCoreApplication>
#include <utility>

#include "ui/results/ResultsModel.h"

namespace kestrix::ui {

namespace {
constexpr qint64 kPumpIntervalMs = 15;
}  // namespace

ModifyRunObserver::ModifyRunObserver(
    ResultsModel& model, const std::vector<search::ResultItem>* rows,
    std::function<bool()> stopRequested,
    std::function<void(const QString&, const QString&)> showWarning,
    std::function<void(const QString&)> showProgress)
    : model_(model),
      rows_(rows),
      stopRequested_(std::move(stopRequested)),
      showWarning_(std::move(showWarning)),
      showProgress_(std::move(showProgress)) {
  sincePump_.start();
}

bool ModifyRunObserver::poll() {
  if (sincePump_.elapsed() >= kPumpIntervalMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    sincePump_.restart();
  }
  return stopRequested_();
}

void ModifyRunObserver::warning(const modify::UserMessage& message) {
  showWarning_(QString::fromStdString(message.caption), QString::fromStdString(message.text));
}

void ModifyRunObserver::fileStarted(const std::string& fullName) {
  if (showProgress_) showProgress_(QString::fromStdString(fullName));
}

void ModifyRunObserver::fileFailed(const std::string& fullName, const std::string& reason) {
  failures_.push_back({fullName, reason});
}

void ModifyRunObserver::rowChanged(std::size_t index) {
  if (rows_ != nullptr && index < rows_->size())
    model_.setItem(static_cast<int>(index), (*rows_)[index]);
}

}  // namespace kestrix::ui
