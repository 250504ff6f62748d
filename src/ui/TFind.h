// The main window of Kestrix Search & Replace: folder and mask boxes, the
// Find / Search and Replace / Options tabs, the results list, the lines
// viewer, the menus and the status bar.
#pragma once

#include <QMainWindow>

namespace kestrix::ui {

class TFind : public QMainWindow {
  Q_OBJECT
 public:
  // Builds the whole window; parent may be null (top-level window).
  explicit TFind(QWidget* parent = nullptr);
  ~TFind() override;
};

}  // namespace kestrix::ui
