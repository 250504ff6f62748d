// Keeps combo-box histories distinct, newest entry first.
#include "ui/window/History.h"

#include <QComboBox>

namespace kestrix::ui {

void pushHistory(QComboBox* box, const QString& text) {
  const QString kept = text;  // `text` may refer to the box's own edit text
  box->insertItem(0, kept);
  for (int i = box->count() - 1; i >= 1; --i) {
    if (box->itemText(i) == kept) box->removeItem(i);
  }
  box->setCurrentIndex(0);
  box->setEditText(kept);
}

}  // namespace kestrix::ui
