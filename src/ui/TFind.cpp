// The main window: builds the layout and wires the tab controllers.
#include "ui/TFind.h"

namespace kestrix::ui {

TFind::TFind(QWidget* parent) : QMainWindow(parent) {
  setObjectName("TFind");
  setWindowTitle("Kestrix Search & Replace");
}

TFind::~TFind() = default;

}  // namespace kestrix::ui
