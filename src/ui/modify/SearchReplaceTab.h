// The "Search and Replace" tab: search and replacement editors (one-line and memo forms),
// the search types, the modification types and the command buttons (their handlers and
// enable rules live in ModifyController and ModifyEnableRules).
#pragma once

#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace kestrix::ui {

class SearchReplaceTab : public QWidget {
  Q_OBJECT
 public:
  // Search types of this tab; the values are the button ids.
  enum Type { Phrase = 0, Multiline, RegExpr };

  explicit SearchReplaceTab(QWidget* parent = nullptr);

  Type searchType() const;
  void setSearchType(Type type);
  bool usesMemo() const { return searchType() != Phrase; }

  QComboBox* SearchEdit;
  QPlainTextEdit* SearchMemo;
  QComboBox* Edit2;
  QPlainTextEdit* Memo2;
  QLabel* SearchLabel;
  QLabel* ReplaceLabel;
  QRadioButton* PhraseButtonReplace;
  QRadioButton* TextSearchButton;
  QRadioButton* RegExpSearch;
  QRadioButton* NoneButton;
  QRadioButton* ReplaceButton;
  QRadioButton* InsertBeforeButton;
  QRadioButton* InsertAfterButton;
  QRadioButton* DeleteButton;
  QRadioButton* ClearButton;
  QPushButton* SearchButton;
  QPushButton* StopReplaceButton;
  QPushButton* UndoButton;
  QPushButton* ModifySelectedButton;
  QPushButton* ModifyAllButton;
  // Shows what Modify All would change, without changing anything.
  QPushButton* PreviewButton;
  QPushButton* DeleteItemsButton;
  QPushButton* HideListReplaceButton;

 signals:
  void searchTypeChanged(kestrix::ui::SearchReplaceTab::Type type);
  // The one-line search text changed (the memo has its own signal).
  void searchTextChanged();
  void searchMemoChanged();

 private:
  void createControls();
  void buildLayout();
  void applyEditors();
  void applyModificationType();

  QButtonGroup* searchTypes_;
  QButtonGroup* modificationTypes_;
};

}  // namespace kestrix::ui
