// What the report commands ask of the window around them: the active tab, the search
// conditions shown in its controls, the list's menu, the busy state, the status bar, the
// remembered save folders and the undo offer. TFind implements it.
#pragma once

#include <QString>
#include <vector>

#include "results/Report.h"
#include "search/SearchRequest.h"

namespace kestrix::ui {

class ReportHost {
 public:
  // The files whose save dialogs remember their folder.
  enum class SavedFile { List, Lines };

  virtual ~ReportHost() = default;

  // The tab whose search Create Report runs again.
  virtual search::Origin activeTabOrigin() const = 0;
  // The conditions block of the report as the window's controls show them for `request`.
  virtual results::ReportConditions reportConditions(const search::SearchRequest& request,
                                                     bool searchInResults) const = 0;
  virtual bool searchInResultsChecked() const = 0;
  // Search in Results offered or not.
  virtual void setSearchInResultsEnabled(bool enabled) = 0;
  // Delete Items and Modify Selected are withdrawn while the report is written.
  virtual void disableRowCommands() = 0;
  // Disables the list's context menu and its items; returns their enabled states for
  // restoreListMenu.
  virtual std::vector<bool> disableListMenu() = 0;
  virtual void restoreListMenu(const std::vector<bool>& states) = 0;
  // Every input but Stop disabled (true) or restored (false), without the busy animation.
  virtual void holdInputs(bool hold) = 0;
  virtual bool statusBarShown() const = 0;
  virtual void setStatusText(int panel, const QString& text) = 0;
  virtual QString startFolder(SavedFile file) const = 0;
  virtual void setStartFolder(SavedFile file, const QString& folder) = 0;
  // Undo is offered again when it could run before the last search and its backups remain.
  virtual void restoreUndoOffer() = 0;
  virtual void updateCommands() = 0;
};

}  // namespace kestrix::ui
