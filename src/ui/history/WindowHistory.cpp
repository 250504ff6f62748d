// The History dialog's hooks into the window's modification commands.
#include "ui/history/WindowHistory.h"

#include "ui/modify/ModifyController.h"

namespace kestrix::ui {

THistoryDlg::Hooks windowHistoryHooks(ModifyController& modify) {
  THistoryDlg::Hooks hooks;
  hooks.historyFolder = [] { return windowHistoryFolder(); };
  hooks.undoRun = [&modify](const std::string& id) {
    return modify.undoRun(id, ModifyController::FailureNotice::Left);
  };
  hooks.changed = [&modify] { modify.enableUndoFromHistory(); };
  return hooks;
}

}  // namespace kestrix::ui
