// The file ignore list.
#include "ui/settings/TFileIgnoreDlg.h"

#include <QPlainTextEdit>

#include "app/SideFiles.h"

namespace kestrix::ui {

TFileIgnoreDlg::TFileIgnoreDlg(std::shared_ptr<SettingsBackend> backend, QWidget* parent)
    : IgnoreListDlg(std::move(backend), app::kFileIgnoreFile, "File Ignore List",
                    {"Enter one mask per line"}, "FilesMemo", parent),
      FilesMemo(memo()) {
  setObjectName("TFileIgnoreDlg");
}

}  // namespace kestrix::ui
