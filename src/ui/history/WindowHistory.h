// The History dialog's ties to the window: the history folder of the window's runs, undo
// through the window's Undo (rows marked, busy state), and Undo's enable rule refreshed.
#pragma once

#include "ui/history/THistoryDlg.h"

namespace kestrix::ui {

class ModifyController;

THistoryDlg::Hooks windowHistoryHooks(ModifyController& modify);

}  // namespace kestrix::ui
