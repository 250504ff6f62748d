// Factories for the query editors and buttons shared by the Find and the Search and
// Replace tabs, so both tabs give them the same limits and fonts.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace kestrix::ui {

// The longest text the one-line query boxes admit (one more than a run accepts, so the run
// can report "too long").
inline constexpr int kQueryBoxLimit = 4001;

// Returns a new editable combo box with history (no auto-completion, no automatic insert),
// a monospaced font and the 4001-character limit; owned by `parent`.
QComboBox* makeQueryComboBox(QWidget* parent, const char* objectName);

// Returns a new memo (no word wrap, tabs kept, tab stops of two characters, monospaced
// font); owned by `parent`.
QPlainTextEdit* makeQueryMemo(QWidget* parent, const char* objectName);

// The memo's lines, split as the console splits a query: a final line break makes no
// empty last line, and a memo without text has no line at all.
std::vector<std::string> memoLines(const QPlainTextEdit* memo);

// Returns a new push button with `caption`; owned by `parent`.
QPushButton* makeButton(QWidget* parent, const char* objectName, const QString& caption);

}  // namespace kestrix::ui
