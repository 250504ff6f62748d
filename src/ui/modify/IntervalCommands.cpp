// Marks the modification intervals of the listed files and shows them.
#include "ui/modify/IntervalCommands.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

#include "modify/Interval.h"
#include "modify/IntervalStatus.h"
#include "ui/modify/ModifyEnableRules.h"
#include "ui/modify/ModifyHost.h"
#include "ui/modify/ModifyRequestReader.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/viewer/ViewerRefresh.h"
#include "ui/window/MainMenus.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

namespace {
// How often the idle work looks at the interval state.
constexpr int kIdleMs = 100;
}  // namespace

IntervalCommands::IntervalCommands(const ModifyContext& context, ModifyEnableRules& rules)
    : QObject(&context.window), context_(context), rules_(rules) {
  wireMenus();
  idle_.setInterval(kIdleMs);
  connect(&idle_, &QTimer::timeout, this, &IntervalCommands::updateStatus);
  idle_.start();
}

void IntervalCommands::wireMenus() {
  MainMenus& menus = context_.menus;
  const auto onEach = [this](const Command& command, auto handler) {
    for (QAction* action : command.actions()) connect(action, &QAction::triggered, this, handler);
  };
  onEach(menus.markFrom, [this] { markFrom(); });
  onEach(menus.markTo, [this] { markTo(); });
  onEach(menus.markAllBrowsed, [this] { markAll(Scope::Browsed); });
  onEach(menus.markAllSelected, [this] { markAll(Scope::Selected); });
  onEach(menus.markAllListed, [this] { markAll(Scope::Listed); });
  onEach(menus.unmarkBrowsed, [this] { unmarkAll(Scope::Browsed); });
  onEach(menus.unmarkSelected, [this] { unmarkAll(Scope::Selected); });
  onEach(menus.unmarkListed, [this] { unmarkAll(Scope::Listed); });
  for (QMenu* menu : {menus.fileMenu, menus.listMenu, menus.linesMenu})
    connect(menu, &QMenu::aboutToShow, this, &IntervalCommands::updateItems);
}

bool IntervalCommands::intervalsUsable() const {
  return intervalsInForceNow(context_.host, context_.tab) &&
         rules_.commandState().commandsUsable() && context_.results.rowCount() > 0 &&
         context_.state.listOrigin == ListOrigin::SearchAndReplace;
}

bool IntervalCommands::markable() const {
  const LinesViewer& viewer = context_.viewer;
  const int line = viewer.selectedLine();
  return viewer.isVisible() && line >= 0 && viewer.hasLines() &&
         modify::viewerRowMarkable(static_cast<std::size_t>(line),
                                   static_cast<std::size_t>(viewer.lineCount())) &&
         context_.refresh.browsedRow() >= 0;
}

void IntervalCommands::updateItems() {
  MainMenus& menus = context_.menus;
  const bool usable = intervalsUsable() && !context_.state.busy;
  const bool viewer = context_.viewer.isVisible() && context_.viewer.hasLines() &&
                      context_.refresh.browsedRow() >= 0;
  const bool selected = !context_.list.selectedRows().empty();
  menus.intervals.setEnabled(usable);
  menus.markFrom.setEnabled(usable && markable());
  menus.markTo.setEnabled(usable && markable());
  for (const Command* command : {&menus.markAllBrowsed, &menus.unmarkBrowsed})
    command->setEnabled(usable && viewer);
  for (const Command* command : {&menus.markAllSelected, &menus.unmarkSelected})
    command->setEnabled(usable && selected);
  menus.markAllListed.setEnabled(usable);
  menus.unmarkListed.setEnabled(usable);
  // The viewer's menu shows the marks on the Search and Replace tab only.
  const bool replacePage = context_.host.replacePageShown();
  for (const Command* command : {&menus.markFrom, &menus.markTo, &menus.intervals})
    for (QAction* action : command->actions())
      if (action->associatedObjects().contains(menus.linesMenu)) action->setVisible(replacePage);
}

void IntervalCommands::markFrom() {
  mark(true);
}

void IntervalCommands::markTo() {
  mark(false);
}

void IntervalCommands::mark(bool from) {
  if (context_.state.busy || !intervalsUsable() || !markable()) return;
  const LinesViewer& viewer = context_.viewer;
  const auto number =
      modify::viewerLineNumber(viewer.lineText(viewer.selectedLine()).toStdString());
  if (!number) return;
  const int row = context_.refresh.browsedRow();
  search::ResultItem item = context_.results.item(row);
  from ? modify::markFrom(item, *number) : modify::markTo(item, *number);
  context_.results.setItem(row, item);
  updateStatus();
}

void IntervalCommands::markAll(Scope scope) {
  bulk(scope, true);
}

void IntervalCommands::unmarkAll(Scope scope) {
  bulk(scope, false);
}

void IntervalCommands::bulk(Scope scope, bool markAllLines) {
  if (context_.state.busy || !intervalsUsable()) return;
  std::vector<std::size_t> selected;
  for (int row : context_.list.selectedRows()) selected.push_back(static_cast<std::size_t>(row));
  const std::vector<std::size_t> indexes =
      modify::rowsInScope(scope, context_.refresh.browsedRow(), selected,
                          static_cast<std::size_t>(context_.results.rowCount()));
  std::vector<search::ResultItem> rows = context_.results.items();
  markAllLines ? modify::markAll(rows, indexes) : modify::unmarkAll(rows, indexes);
  for (std::size_t index : indexes) context_.results.setItem(static_cast<int>(index), rows[index]);
  if (scope != Scope::Browsed) rules_.refreshHeading();
  updateStatus();
}

void IntervalCommands::updateStatus() {
  if (context_.state.busy) return;
  const int browsed = context_.refresh.browsedRow();
  const bool replacePage = context_.host.replacePageShown();
  const bool shown = replacePage && intervalsUsable() && browsed >= 0 &&
                     browsed < context_.results.rowCount() && context_.viewer.isVisible() &&
                     context_.viewer.lineCount() > 1;
  std::int64_t from = 0, to = 0;
  if (shown) {
    from = context_.results.item(browsed).intervalFrom;
    to = context_.results.item(browsed).intervalTo;
    if (context_.tab.ModifyAllButton->isEnabled())
      context_.host.setStatusText(1, QString::fromStdString(modify::intervalStatusText(from, to)));
  } else if (context_.host.statusText(1).startsWith(modify::kIntervalStatusPrefix)) {
    context_.host.setStatusText(1, {});  // other messages of the panel stay
  }
  if (shown != markerShown_ || from != markerFrom_ || to != markerTo_) {
    markerShown_ = shown;
    markerFrom_ = from;
    markerTo_ = to;
    context_.viewer.setIntervalMarker(shown, from, to);
  }
}

}  // namespace kestrix::ui
