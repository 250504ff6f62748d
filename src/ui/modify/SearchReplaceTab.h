// The "Search and Replace" tab: search and replacement editors (one-line and memo forms),
// the search types, the modification types and the command buttons (their handlers and
// enable rules live in ModifyController and ModifyEnableRules).
#pragma once

#include <QWidget>

#include "modify/ModificationType.h"
#include "search/QueryType.h"

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
  explicit SearchReplaceTab(QWidget* parent = nullptr);

  // The checked search type: Phrase, Multiline or Reg Expr (each button's id is its type's
  // value).
  search::QueryType searchType() const;
  void setSearchType(search::QueryType type);
  bool usesMemo() const { return search::queryTypeInfo(searchType()).takesLines; }
  // The checked modification type (each button's id is its type's value).
  modify::ModificationType modificationType() const;

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
  void searchTypeChanged(kestrix::search::QueryType type);
  // The one-line search text changed (the memo has its own signal).
  void searchTextChanged();
  void searchMemoChanged();
  // The user clicked a modification type.
  void modificationTypeClicked();

 private:
  void createControls();
  void buildLayout();
  void applyEditors();
  void applyModificationType();

  QButtonGroup* searchTypes_;
  QButtonGroup* modificationTypes_;
};

}  // namespace kestrix::ui
