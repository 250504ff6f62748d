// "File Ignore List": one file mask per line.
#pragma once

#include "ui/settings/IgnoreListDlg.h"

namespace kestrix::ui {

class TFileIgnoreDlg : public IgnoreListDlg {
  Q_OBJECT
 public:
  TFileIgnoreDlg(std::shared_ptr<SettingsBackend> backend, QWidget* parent);

  QPlainTextEdit* FilesMemo;
};

}  // namespace kestrix::ui
