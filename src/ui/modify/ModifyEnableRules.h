// When the modification commands are usable: follows the search text, the search type,
// the regular-expression options, the modification type and the searches themselves
// through modify::ModifyCommandState, and switches "Modify All", "Modify Selected",
// "Preview", "Erase Backups" and "Batch Replace" accordingly. Also keeps the Result
// column's heading (plain or with modification intervals) in step.
#pragma once

#include <QObject>

#include "modify/ModifyCommandState.h"
#include "ui/modify/ModifyHost.h"

namespace kestrix::ui {

class ModifyEnableRules : public QObject {
  Q_OBJECT
 public:
  // `owner` deletes the rules (the controller that holds them).
  ModifyEnableRules(const ModifyContext& context, QObject* owner);

  // What the window tells the rules: a search ended, the current tab changed, a regular-
  // expression option changed.
  void searchFinished();
  void pageChanged();
  void regexOptionChanged();

  // Switches the commands from the command state, the list and the busy state.
  void apply();
  // The Result heading after a change of search type, search text or bulk marks: the
  // interval heading with formatted cells, or "Result" with stripped cells.
  void refreshHeading();
  // The list no longer answers the tab's search (a batch listed its last pair's files): the
  // modify commands wait for the next Search.
  void markListOutdated();
  // True while the Result column shows the interval format.
  bool intervalHeadingShown() const;

  const modify::ModifyCommandState& commandState() const { return state_; }

 private:
  void connectSearchInputs();
  void connectModificationTypes();
  void searchChanged();
  bool regexListShown() const;
  void fitIntervalColumn();

  const ModifyContext context_;
  modify::ModifyCommandState state_;
};

}  // namespace kestrix::ui
