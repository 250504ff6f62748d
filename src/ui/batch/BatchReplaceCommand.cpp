// Runs a batch table through the window's Search and Modify All.
#include "ui/batch/BatchReplaceCommand.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "modify/DataFolder.h"
#include "modify/ModifyMessages.h"
#include "ui/batch/TBatchDlg.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/ModifyRequestReader.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsView.h"
#include "ui/viewer/ViewerRefresh.h"
#include "ui/window/MainMenus.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/TFind.h"

namespace kestrix::ui {

namespace {

QString stateFilePath() {
  try {
    return QString::fromStdString(modify::dataFolder() + "/" + modify::kBatchStateFile);
  } catch (const std::exception&) {
    return {};  // no home folder: the dialog keeps no state
  }
}

// A cell of a memo type as the memo's text: its lines ("|" separated) joined by breaks,
// without a break after the last line.
QString memoText(const std::string& cell) {
  QStringList lines;
  for (const std::string& line : modify::splitBatchCell(cell))
    lines.append(QString::fromStdString(line));
  return lines.join('\n');
}

}  // namespace

BatchReplaceCommand::BatchReplaceCommand(TFind& window, ModifyController& modify)
    : QObject(&window), window_(window), modify_(modify), dialog_(new TBatchDlg(&window)) {
  dialog_->setStateFile(stateFilePath());
  connect(dialog_, &TBatchDlg::helpRequested, &window_, &TFind::showHelpTopic);
}

bool BatchReplaceCommand::stopped() const {
  return window_.state().stop.abortRequested || window_.state().stop.viewer;
}

void BatchReplaceCommand::clearStopFlags() {
  WindowState& state = window_.state();
  state.stop.clearAll();
}

void BatchReplaceCommand::run() {
  if (window_.state().busy) return;
  clearStopFlags();
  window_.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
  if (dialog_->exec() == QDialog::Accepted) runTable(dialog_->table());
  clearStopFlags();
}

void BatchReplaceCommand::runTable(const modify::BatchTable& table) {
  if (chosenModificationType(*window_.replaceTab) == modify::ModificationType::None) {
    showWarning(&window_, programCaption(), QString::fromUtf8(modify::kTypeIsNone));
    return;
  }
  window_.viewerRefresh().clearViewer();
  for (const modify::BatchPair& pair : table.rows) {
    if (stopped()) break;
    if (!pair.search.empty()) runPair(pair);
  }
}

void BatchReplaceCommand::setTexts(const modify::BatchPair& pair) {
  SearchReplaceTab& tab = *window_.replaceTab;
  if (!tab.usesMemo()) {
    tab.SearchEdit->setEditText(QString::fromStdString(pair.search));
    tab.Edit2->setEditText(QString::fromStdString(pair.replace));
  } else {
    tab.SearchMemo->setPlainText(memoText(pair.search));
    tab.Memo2->setPlainText(memoText(pair.replace));
  }
}

void BatchReplaceCommand::runPair(const modify::BatchPair& pair) {
  if (window_.state().stop.abortRequested) return;
  setTexts(pair);
  if (!stopped()) window_.find(search::Origin::SearchAndReplace);
  if (!stopped()) modify_.modifyAll();
  if (window_.state().stop.abortRequested) {
    window_.ListView1->clearSelection();
    window_.replaceTab->ModifySelectedButton->setEnabled(false);
    window_.menus->modifySelected.setEnabled(false);
    window_.replaceTab->DeleteItemsButton->setEnabled(false);
    window_.menus->deleteItems.setEnabled(false);
  }
}

}  // namespace kestrix::ui
