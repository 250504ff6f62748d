// What the Search and Replace tab's commands ask of the window: its status bar, its search,
// the Options tab's interval switches, the Settings dialog's values and the window's state
// of tabs and lists.
#pragma once

#include <QString>

#include "app/WindowSettings.h"
#include "modify/ModifyRequest.h"
#include "search/SearchRequest.h"

class QWidget;

namespace kestrix::ui {

class BusyIndicator;
class BusyState;
class LinesViewer;
class MainMenus;
class ModifyHost;
class ResultsModel;
class ResultsView;
class SearchReplaceTab;
class ViewerRefresh;
struct WindowState;

// The parts of the window that the modification commands work with, and the window itself
// for what they ask of it. Messages and dialogs open over `window`.
struct ModifyContext {
  QWidget& window;
  WindowState& state;
  ResultsModel& results;
  ResultsView& list;
  LinesViewer& viewer;
  ViewerRefresh& refresh;
  SearchReplaceTab& tab;
  MainMenus& menus;
  BusyState& busy;
  BusyIndicator& animation;
  ModifyHost& host;
};

// The Options tab's switches that decide whether intervals limit a modification.
struct IntervalSwitches {
  bool searchEachLine = false;
  bool regexIntervals = false;
  bool phraseIntervals = false;
};

class ModifyHost {
 public:
  virtual QString statusText(int panel) const = 0;
  virtual void setStatusText(int panel, const QString& text) = 0;
  // Updates the commands that depend on the rows, the selection and the viewer.
  virtual void updateCommands() = 0;
  // The Search and Replace tab's search as its Search would read it now (no term table).
  virtual search::SearchRequest replaceTabSearch() = 0;
  // The request of the last search with its term table; null before the first.
  virtual const search::SearchRequest* lastSearch() const = 0;
  virtual IntervalSwitches intervalSwitches() const = 0;
  // The Settings dialog's line separator, read-only / hidden permissions and code page.
  virtual void applySettings(modify::ModifyRequest& request) const = 0;
  // The cap of the undo history chosen in the Settings dialog.
  virtual app::HistoryCap historyCap() const = 0;
  // True during a command-line run ("-com").
  virtual bool commandLineRun() const = 0;
  // The folder box's text, trimmed.
  virtual QString folderText() const = 0;
  // The same, and the box shows it trimmed too.
  virtual QString trimFolderText() = 0;
  // Opens `fullName` in the editor of Edit File at `lineNumber`.
  virtual void editFileAt(const QString& fullName, int lineNumber) = 0;
  // True while the Search and Replace tab is the current tab.
  virtual bool replacePageShown() const = 0;
  // True while the results list is shown (not collapsed by Hide List).
  virtual bool resultsShown() const = 0;
  // True while "Search in Results" is checked.
  virtual bool searchInResultsChecked() const = 0;

 protected:
  ~ModifyHost() = default;
};

}  // namespace kestrix::ui
