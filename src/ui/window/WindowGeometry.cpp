// Applies the tab-layout table: heights, limits and the results area per active tab.
#include "ui/window/WindowGeometry.h"

#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QRect>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "app/WindowFit.h"
#include "ui/find/FindTab.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsView.h"
#include "ui/settings/OptionsTab.h"
#include "ui/viewer/LinesDelegate.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/window/ScreenScale.h"
#include "ui/window/TFind.h"

namespace kestrix::ui {

WindowGeometry::WindowGeometry(TFind& window)
    : window_(window), heightWithResults_(scaled(kDefaultHeightWithResults)) {
  // Never narrower than the controls need: with the larger fonts of this desktop the top
  // row's captions ("Search in Results", "Execute File") would be cut at 646 pixels.
  const int needed = window_.centralWidget()->minimumSizeHint().width();
  window_.setMinimumWidth(std::max(scaled(kMinimumWidth), needed));
  window_.resize(std::max(scaled(kDefaultWidth), needed), scaled(kFindSingleWindow));
  window_.installEventFilter(this);
}

bool WindowGeometry::normalState() const {
  return !(window_.windowState() &
           (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

bool WindowGeometry::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_) return false;
  const QEvent::Type type = event->type();
  if ((type == QEvent::Resize || type == QEvent::Move) && normalState() && window_.isVisible())
    recordNormal(type == QEvent::Resize);
  else if (type == QEvent::WindowStateChange)
    stateChanged();
  else if (type == QEvent::Show) {
    // The window manager frames the window a moment after it is shown, and may do so in
    // two steps: fit once at once and once when the frame is surely known.
    QTimer::singleShot(0, this, &WindowGeometry::fitToScreen);
    QTimer::singleShot(300, this, &WindowGeometry::fitToScreen);
  }
  return false;
}

int WindowGeometry::nonListHeight() const {
  // Everything above and below the splitter's panes with the results shown: the menu, the
  // top panel, the tallest tab area, the status bar, the layout's margins and spacing, and
  // the splitter's handle.
  const QLayout& layout = *window_.centralWidget()->layout();
  const QMargins margins = layout.contentsMargins();
  return window_.menuBar()->sizeHint().height() + window_.TopPanel->sizeHint().height() +
         scaled(kReplaceTab) + window_.statusBar()->sizeHint().height() + margins.top() +
         margins.bottom() + 3 * layout.spacing() + window_.Splitter1->handleWidth();
}

namespace {

app::Box boxOf(const QRect& r) {
  return {r.left(), r.top(), r.width(), r.height()};
}

}  // namespace

WindowGeometry::StartSize WindowGeometry::firstStartSize(const QRect& available) const {
  const int scrollBar = window_.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const ResultsView& list = *window_.ListView1;
  const LinesViewer& viewer = *window_.ListBox1;
  app::StartWants wants;
  wants.listHeight = list.horizontalHeader()->sizeHint().height() +
                     kStartListRows * list.verticalHeader()->defaultSectionSize() +
                     2 * list.frameWidth() + scrollBar;
  wants.viewerHeight =
      kStartViewerRows * LinesDelegate::lineHeight(viewer.font(), viewer.logicalDpiY()) +
      2 * viewer.frameWidth() + scrollBar;
  wants.otherHeight = nonListHeight();
  // Room for the window manager's title bar; fitToScreen corrects what this guess misses.
  wants.titleRoom = scaled(32);
  wants.sideRoom = scaled(16);
  wants.width = scaled(kStartWidth);
  wants.minimumWidth = window_.minimumWidth();
  wants.minimumHeight = scaled(kReplaceMin);
  return app::startSize(boxOf(available), wants);
}

void WindowGeometry::fitToScreen() {
  if (!window_.isVisible() || !normalState()) return;
  const QScreen* screen = window_.screen();
  if (screen == nullptr) return;
  const QRect frame = window_.frameGeometry();
  const app::Box fitted =
      app::fitInside(boxOf(screen->availableGeometry()), boxOf(frame), window_.width(),
                     window_.height(), window_.minimumWidth(), window_.minimumHeight());
  if (fitted.width != window_.width() || fitted.height != window_.height())
    window_.resize(fitted.width, fitted.height);
  if (fitted.left != frame.left() || fitted.top != frame.top())
    window_.move(fitted.left, fitted.top);
}

void WindowGeometry::recordNormal(bool resized) {
  if (resized) previous_ = {normal_, heightWithResults_};
  // Frame position (pos()) and client size, as the stored bounds keep them. A move alone
  // (also the one on the way back from maximized) leaves the size alone.
  normal_.moveTopLeft(window_.pos());
  if (resized || normal_.isEmpty()) normal_.setSize(window_.size());
  // Whatever height the user gives the window with its results shown is the height they
  // come back at after the next search or tab change.
  if (resized && !applying_ && window_.Splitter1->isVisibleTo(&window_))
    heightWithResults_ = window_.height();
}

int WindowGeometry::normalWidth() const {
  return normal_.isEmpty() ? window_.width() : normal_.width();
}

void WindowGeometry::stateChanged() {
  if (!normalState()) {
    // The window manager may report the maximized size before the state: a size that fills
    // the screen's width is taken as that, and the one before it stands.
    const QScreen* screen = window_.screen();
    const int screenWidth = screen != nullptr ? screen->availableGeometry().width() : 0;
    if (normal_.size() == window_.size() && normal_.width() >= screenWidth) {
      normal_ = previous_.rect;
      heightWithResults_ = previous_.heightWithResults;
    }
    applyTabLayout();
    return;
  }
  // Back to normal: the user's place and width and the limits of the active tab apply again
  // (in one resize: the window manager may answer each request on its own).
  if (!normal_.isEmpty()) window_.move(normal_.topLeft());
  applyTabLayout();
}

void WindowGeometry::applyTabLayout() {
  const int tab = window_.PageControl1->currentIndex();
  applying_ = true;
  if (tab == TFind::OptionsPage) {
    setResultsAreaVisible(false);
    applyHeights(kOptionsTab, kOptionsWindow, 0);
  } else if (tab == TFind::SearchReplacePage) {
    setResultsAreaVisible(resultsShown_);
    applyHeights(kReplaceTab, kReplaceWindow, kReplaceMin);
  } else {
    const bool memo = window_.findTab->usesMemo();
    setResultsAreaVisible(resultsShown_);
    applyHeights(memo ? kFindMemoTab : kFindSingleTab, memo ? kFindMemoWindow : kFindSingleWindow,
                 memo ? kFindMemoMin : kFindSingleMin);
  }
  applying_ = false;
  applyWholeWordsVisibility();
  applyThirdPanel();
  const bool listCommands = resultsShown_ && tab != TFind::OptionsPage;
  window_.findTab->HideListButton->setEnabled(listCommands && !window_.state().busy);
  window_.replaceTab->HideListReplaceButton->setEnabled(listCommands && !window_.state().busy);
  window_.updateCommands();
}

void WindowGeometry::applyHeights(int tabHeight, int fixedWindowHeight, int minimumWithResults) {
  window_.PageControl1->setFixedHeight(scaled(tabHeight));
  const bool withResults = window_.Splitter1->isVisibleTo(&window_);
  if (!normalState()) {
    // A maximized (or full-screen) window keeps its state: resizing it or fixing its height
    // would drop it back to normal behind the user's back.
    window_.setMinimumHeight(scaled(withResults ? minimumWithResults : fixedWindowHeight));
    window_.setMaximumHeight(QWIDGETSIZE_MAX);
    return;
  }
  if (withResults) {
    window_.setMinimumHeight(scaled(minimumWithResults));
    window_.setMaximumHeight(QWIDGETSIZE_MAX);
    window_.resize(normalWidth(), std::max(heightWithResults_, scaled(minimumWithResults)));
    // A height kept from a larger screen or scale must not put the status bar off the screen.
    QTimer::singleShot(0, this, &WindowGeometry::fitToScreen);
  } else {
    window_.setMinimumHeight(scaled(fixedWindowHeight));
    window_.setMaximumHeight(scaled(fixedWindowHeight));
    window_.resize(normalWidth(), scaled(fixedWindowHeight));
  }
}

void WindowGeometry::setResultsAreaVisible(bool visible) {
  const bool wasVisible = window_.Splitter1->isVisibleTo(&window_);
  if (wasVisible && !visible && window_.isVisible() && normalState())
    heightWithResults_ = window_.height();
  window_.Splitter1->setVisible(visible);
  window_.statusBar()->setVisible(visible);
}

void WindowGeometry::applyWholeWordsVisibility() {
  // Whole words mean nothing to block and expression queries.
  const int tab = window_.PageControl1->currentIndex();
  bool memo = false;
  if (tab == TFind::FindPage) memo = window_.findTab->usesMemo();
  if (tab == TFind::SearchReplacePage) memo = window_.replaceTab->usesMemo();
  window_.WholeWordsCheckBox->setVisible(!memo);
}

void WindowGeometry::applyThirdPanel() {
  const int tab = window_.PageControl1->currentIndex();
  if (tab == TFind::FindPage) window_.setStatusText(2, {});
  if (tab == TFind::SearchReplacePage) {
    const bool backups = window_.optionsTab->CreatBackupCheckBox->isChecked();
    window_.setStatusText(2, backups ? "Search Backup Files: Cannot" : "Search Backup Files: Can");
  }
}

void WindowGeometry::expand() {
  resultsShown_ = true;
  applyTabLayout();
}

void WindowGeometry::collapse() {
  resultsShown_ = false;
  applyTabLayout();
}

}  // namespace kestrix::ui
