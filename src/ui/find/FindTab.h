// The "Find" tab: the query editors (one-line box and memo), the six query types and the
// Find / Stop / Hide List buttons. Switching the query type swaps the editors and keeps
// both texts.
#pragma once

#include <QWidget>

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QButtonGroup;

namespace kestrix::ui {

class FindTab : public QWidget {
  Q_OBJECT
 public:
  // Query types in the order of their buttons; the values are the button ids.
  enum Type { Phrase = 0, WordsOr, WordsAnd, SearchEngine, Multiline, RegExpr };

  explicit FindTab(QWidget* parent = nullptr);

  Type queryType() const;
  void setQueryType(Type type);
  // True while the memo is the visible editor (Multiline and Reg Expr).
  bool usesMemo() const;

  QComboBox* FindEditComboBox;
  QPlainTextEdit* FindMemo;
  QRadioButton* PhraseButton;
  QRadioButton* WordsorButton;
  QRadioButton* WordsandButton;
  QRadioButton* SearchEngineButton;
  QRadioButton* TextButton;
  QRadioButton* RegExpFind;
  QPushButton* FindButton;
  QPushButton* StopButton;
  QPushButton* HideListButton;

 signals:
  // The user chose another query type (the editors are already swapped).
  void queryTypeChanged(kestrix::ui::FindTab::Type type);
  // The text of the one-line box or of the memo changed.
  void queryTextChanged();

 private:
  void buildLayout();
  void applyEditor();

  QButtonGroup* types_;
};

}  // namespace kestrix::ui
