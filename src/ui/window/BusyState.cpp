// Disables and restores the window's inputs around a run.
#include "ui/window/BusyState.h"

#include <QAbstractButton>
#include <QTabWidget>
#include <utility>

namespace kestrix::ui {

BusyState::BusyState(QList<QWidget*> inputs, QList<QAbstractButton*> stopButtons, QTabWidget* tabs)
    : stopButtons_(std::move(stopButtons)), tabs_(tabs) {
  for (QWidget* input : inputs) inputs_.append(input);
}

void BusyState::begin() {
  if (active_) return;
  active_ = true;
  wasEnabled_.clear();
  for (const QPointer<QWidget>& input : inputs_) {
    wasEnabled_.append(input && input->isEnabled());
    if (input) input->setEnabled(false);
  }
  const int current = tabs_->currentIndex();
  for (int i = 0; i < tabs_->count(); ++i) tabs_->setTabVisible(i, i == current);
  for (QAbstractButton* stop : stopButtons_) stop->setEnabled(true);
}

void BusyState::end() {
  if (!active_) return;
  active_ = false;
  for (int i = 0; i < inputs_.size(); ++i) {
    if (inputs_[i]) inputs_[i]->setEnabled(wasEnabled_.value(i));
  }
  for (int i = 0; i < tabs_->count(); ++i) tabs_->setTabVisible(i, true);
  for (QAbstractButton* stop : stopButtons_) stop->setEnabled(false);
}

}  // namespace kestrix::ui
