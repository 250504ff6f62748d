// The window's tab layouts: which tab is shown decides the window's height limits, the tab
// area's height and whether the results area (list, splitter, viewer, status bar) shows.
// Also the collapse of the window after the list was emptied or hidden. The window keeps
// the size and the maximized state the user gives it: the height with results shown follows
// every resize in normal state, and a maximized window is never resized or limited.
#pragma once

#include <QObject>
#include <QRect>

#include "app/WindowFit.h"

namespace kestrix::ui {

class TFind;

class WindowGeometry : public QObject {
  Q_OBJECT

 public:
  // Tab area heights and window heights at 96 dots per inch.
  static constexpr int kFindSingleTab = 126, kFindMemoTab = 162, kReplaceTab = 201,
                       kOptionsTab = 301;
  static constexpr int kFindSingleWindow = 248, kFindMemoWindow = 284, kReplaceWindow = 323,
                       kOptionsWindow = 423;
  static constexpr int kFindSingleMin = 265, kFindMemoMin = 301, kReplaceMin = 340;
  static constexpr int kMinimumWidth = 646;
  static constexpr int kDefaultHeightWithResults = 455, kDefaultWidth = 646;
  // A first start shows at least this many result rows and viewer lines.
  static constexpr int kStartListRows = 12, kStartViewerRows = 8;
  // The width of a first start (scaled), so that the columns are not cut at once.
  static constexpr int kStartWidth = 960;

  explicit WindowGeometry(TFind& window);

  // Applies the layout of the active tab: heights, results area, "Whole Words", the third
  // status panel and the tab-dependent commands.
  void applyTabLayout();
  // Shows the results area (a search starts) and applies the layout.
  void expand();
  // Hides the results area and applies the collapsed layout of the active tab.
  void collapse();
  // True while the results area is shown.
  bool resultsShown() const { return resultsShown_; }
  // The height the window takes while the results are shown (scaled pixels).
  int heightWithResults() const { return heightWithResults_; }
  void setHeightWithResults(int height) { heightWithResults_ = height; }
  // The window's last bounds in normal state (frame position, client size); empty before
  // the window was first shown.
  QRect normalBounds() const { return normal_; }
  // The stored bounds the window starts with (it may start maximized).
  void setNormalBounds(const QRect& bounds) { normal_ = bounds; }

  // The size of a first start, measured from the fonts of the lists: the results list shows
  // kStartListRows rows and the lines viewer kStartViewerRows lines with the results shown;
  // never more than `available` (the screen's free area) gives.
  using StartSize = app::StartSize;
  StartSize firstStartSize(const QRect& available) const;
  // Moves and, when needed, shrinks the window so that its frame lies wholly inside the
  // screen's available area (done after every start, once the window manager framed it).
  void fitToScreen();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool normalState() const;
  void recordNormal(bool resized);
  void stateChanged();
  int normalWidth() const;
  void applyHeights(int tabHeight, int fixedWindowHeight, int minimumWithResults);
  void setResultsAreaVisible(bool visible);
  void applyWholeWordsVisibility();
  void applyThirdPanel();
  int nonListHeight() const;

  TFind& window_;
  bool resultsShown_ = false;
  struct Normal {
    QRect rect;
    int heightWithResults = 0;
  };
  QRect normal_;
  Normal previous_;        // before the last resize, in case it was the window manager maximizing
  bool applying_ = false;  // the layout itself is resizing the window
  int heightWithResults_;
};

}  // namespace kestrix::ui
