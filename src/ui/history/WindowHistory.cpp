// The History dialog's hooks into the window's modification commands.
#include "ui/history/WindowHistory.h"

#include "modify/DataFolderFiles.h"
#include "ui/modify/ModifyController.h"

namespace kestrix::ui {

THistoryDlg::Hooks windowHistoryHooks(ModifyController& modify) {
  THistoryDlg::Hooks hooks;
  hooks.historyFolder = modify::historyFolderIfAny;
  hooks.undoRun = [&modify](const std::string& id) {
    return modify.undoRun(id, ModifyController::FailureNotice::Left);
  };
  hooks.changed = [&modify] { modify.enableUndoFromHistory(); };
  return hooks;
}

}  // namespace kestrix::ui
