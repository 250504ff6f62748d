// Drop-down histories of the window's combo boxes: newest first, distinct entries.
#pragma once

class QComboBox;
class QString;

namespace kestrix::ui {

// Inserts `text` at the top of `box`'s list and removes any older entry equal to it (exact,
// case-sensitive); the box keeps `text` as its current text.
void pushHistory(QComboBox* box, const QString& text);

}  // namespace kestrix::ui
