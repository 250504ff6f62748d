// What the Find command asks of the window around it: the controls outside the query
// editors, the status bar, messages, the busy state and the other features' reactions to
// a search. TFind implements it.
#pragma once

#include <QString>

#include "search/QueryType.h"
#include "search/SearchRequest.h"

class QComboBox;
class QPlainTextEdit;

namespace kestrix::ui {

// The query editors of the tab a run comes from; the widgets belong to that tab.
struct TabQuery {
  search::QueryType type = search::QueryType::Phrase;
  QComboBox* box = nullptr;        // the one-line query box
  QPlainTextEdit* memo = nullptr;  // the multi-line query box
  bool memoShown = false;          // the memo is the visible editor
};

class FindHost {
 public:
  virtual ~FindHost() = default;

  // The editors of the Find tab or of the Search and Replace tab.
  virtual TabQuery tabQuery(search::Origin origin) const = 0;
  // Fills the fields of `request` that the controls outside the query editors decide:
  // folder, masks, case, whole words, Search in Results, the options and filters, the
  // ignore lists, the Result column and whether intervals are in force.
  virtual void readWindowControls(search::SearchRequest& request) const = 0;

  // The folder box's text, and its new text (the box keeps its history).
  virtual QString folderText() const = 0;
  virtual void setFolderText(const QString& text) = 0;
  // The masks as the run shows them.
  virtual void setMasksText(const QString& text) = 0;
  // A run was accepted: the folder and a non-empty masks text go into their histories.
  virtual void rememberFolderAndMasks(const QString& folder) = 0;

  virtual void setStatusText(int panel, const QString& text) = 0;
  virtual void warnUser(const QString& caption, const QString& text) = 0;

  // A search is about to start: Modify All and Undo are withdrawn (whether Undo could run
  // is remembered).
  virtual void searchStarting() = 0;
  // The results area opens and the lines viewer empties for a new list.
  virtual void showEmptyResults() = 0;
  // Every input but Stop is disabled and the busy animation turns.
  virtual void beginBusy() = 0;
  // The busy animation goes back to its first frame (a message is about to show).
  virtual void rewindBusyAnimation() = 0;
  // The inputs come back, Search in Results is offered only for a list with rows, Stop is
  // disabled, Undo stays withdrawn and the tab's layout is applied.
  virtual void endBusy(bool listHasRows) = 0;
  // Both Stop buttons are disabled (a stop was requested).
  virtual void disableStopButtons() = 0;
  // The commands that depend on the rows and the selection follow them.
  virtual void updateCommands() = 0;
};

}  // namespace kestrix::ui
