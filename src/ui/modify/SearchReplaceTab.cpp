// Lays out the Search and Replace tab and swaps its editors with the search type.
#include "ui/modify/SearchReplaceTab.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/find/QueryEditors.h"

namespace kestrix::ui {

namespace {
QRadioButton* addRadio(QWidget* parent, QButtonGroup* group, const char* name,
                       const QString& caption, int id) {
  auto* button = new QRadioButton(caption, parent);
  button->setObjectName(name);
  group->addButton(button, id);
  return button;
}

QRadioButton* addTypeRadio(QWidget* parent, QButtonGroup* group, const char* name,
                           search::QueryType type) {
  const QString caption = QString::fromUtf8(std::string(search::queryTypeInfo(type).caption));
  return addRadio(parent, group, name, caption, static_cast<int>(type));
}
}  // namespace

SearchReplaceTab::SearchReplaceTab(QWidget* parent)
    : QWidget(parent),
      searchTypes_(new QButtonGroup(this)),
      modificationTypes_(new QButtonGroup(this)) {
  setObjectName("SearchReplaceTab");
  createControls();
  buildLayout();
  applyEditors();
  applyModificationType();
  connect(searchTypes_, &QButtonGroup::idClicked, this, [this](int id) {
    applyEditors();
    emit searchTypeChanged(static_cast<search::QueryType>(id));
  });
  connect(modificationTypes_, &QButtonGroup::idClicked, this, [this] {
    applyModificationType();
    emit modificationTypeClicked();
  });
  connect(SearchEdit, &QComboBox::editTextChanged, this, &SearchReplaceTab::searchTextChanged);
  connect(SearchMemo, &QPlainTextEdit::textChanged, this, &SearchReplaceTab::searchMemoChanged);
}

void SearchReplaceTab::createControls() {
  SearchEdit = makeQueryComboBox(this, "SearchEdit");
  SearchMemo = makeQueryMemo(this, "SearchMemo");
  Edit2 = makeQueryComboBox(this, "Edit2");
  Memo2 = makeQueryMemo(this, "Memo2");
  SearchLabel = new QLabel("To Search", this);
  ReplaceLabel = new QLabel("To Replace\nor Insert", this);
  using search::QueryType;
  PhraseButtonReplace = addTypeRadio(this, searchTypes_, "PhraseButtonReplace", QueryType::Phrase);
  TextSearchButton = addTypeRadio(this, searchTypes_, "TextSearchButton", QueryType::Multiline);
  RegExpSearch = addTypeRadio(this, searchTypes_, "RegExpSearch", QueryType::RegExpr);
  using modify::ModificationType;
  const auto addType = [this](const char* name, const QString& caption, ModificationType type) {
    return addRadio(this, modificationTypes_, name, caption, static_cast<int>(type));
  };
  NoneButton = addType("NoneButton", "None", ModificationType::None);
  ReplaceButton = addType("ReplaceButton", "Replace", ModificationType::Replace);
  InsertBeforeButton =
      addType("InsertBeforeButton", "Insert Before", ModificationType::InsertBefore);
  InsertAfterButton = addType("InsertAfterButton", "Insert After", ModificationType::InsertAfter);
  DeleteButton = addType("DeleteButton", "Delete", ModificationType::Delete);
  ClearButton = addType("ClearButton", "Clear", ModificationType::Clear);
  PhraseButtonReplace->setChecked(true);
  ReplaceButton->setChecked(true);
  SearchButton = makeButton(this, "SearchButton", "Search");
  StopReplaceButton = makeButton(this, "StopReplaceButton", "Stop");
  UndoButton = makeButton(this, "UndoButton", "Undo");
  ModifySelectedButton = makeButton(this, "ModifySelectedButton", "Modify Selected");
  ModifyAllButton = makeButton(this, "ModifyAllButton", "Modify All");
  PreviewButton = makeButton(this, "PreviewButton", "Preview");
  PreviewButton->setToolTip("Show What Modify All Would Change");
  DeleteItemsButton = makeButton(this, "DeleteItemsButton", "Delete Items");
  HideListReplaceButton = makeButton(this, "HideListReplaceButton", "Hide List");
  ModifySelectedButton->setToolTip("Modify Selected Files");
  ModifyAllButton->setToolTip("Modify All Files in List");
  DeleteItemsButton->setToolTip("Delete Selected Items");
  HideListReplaceButton->setToolTip("Clear and Shut List");
  UndoButton->setToolTip("Undo");
  for (QPushButton* button : {StopReplaceButton, UndoButton, ModifySelectedButton, ModifyAllButton,
                              PreviewButton, DeleteItemsButton, HideListReplaceButton}) {
    button->setEnabled(false);
  }
}

void SearchReplaceTab::buildLayout() {
  auto* searchGroup = new QGroupBox(" Search Type ", this);
  auto* searchLayout = new QVBoxLayout(searchGroup);
  searchLayout->setContentsMargins(6, 0, 6, 2);
  searchLayout->setSpacing(0);
  for (QRadioButton* b : {PhraseButtonReplace, TextSearchButton, RegExpSearch})
    searchLayout->addWidget(b);
  auto* modGroup = new QGroupBox(" Modification Type ", this);
  auto* modLayout = new QGridLayout(modGroup);
  modLayout->setContentsMargins(6, 0, 6, 2);
  modLayout->setVerticalSpacing(0);
  const QList<QRadioButton*> mods = {NoneButton,        ReplaceButton, InsertBeforeButton,
                                     InsertAfterButton, DeleteButton,  ClearButton};
  for (int i = 0; i < mods.size(); ++i) modLayout->addWidget(mods[i], i % 3, i / 3);

  auto* commands = new QHBoxLayout;
  commands->setSpacing(4);
  for (QPushButton* b : {SearchButton, StopReplaceButton, UndoButton, ModifySelectedButton,
                         ModifyAllButton, PreviewButton, DeleteItemsButton, HideListReplaceButton})
    commands->addWidget(b);
  commands->addStretch();

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setVerticalSpacing(2);
  layout->addWidget(SearchLabel, 0, 0, Qt::AlignTop);
  layout->addWidget(SearchEdit, 0, 1, Qt::AlignTop);
  layout->addWidget(SearchMemo, 0, 1);
  layout->addWidget(ReplaceLabel, 1, 0, Qt::AlignTop);
  layout->addWidget(Edit2, 1, 1, Qt::AlignTop);
  layout->addWidget(Memo2, 1, 1);
  layout->addWidget(searchGroup, 0, 2, 2, 1, Qt::AlignTop);
  layout->addWidget(modGroup, 0, 3, 2, 1, Qt::AlignTop);
  layout->addLayout(commands, 2, 0, 1, 4);
  layout->setColumnStretch(1, 1);
  layout->setRowStretch(0, 1);
  layout->setRowStretch(1, 1);
}

search::QueryType SearchReplaceTab::searchType() const {
  return static_cast<search::QueryType>(searchTypes_->checkedId());
}

void SearchReplaceTab::setSearchType(search::QueryType type) {
  searchTypes_->button(static_cast<int>(type))->setChecked(true);
  applyEditors();
  emit searchTypeChanged(type);
}

void SearchReplaceTab::applyEditors() {
  const bool memo = usesMemo();
  SearchEdit->setVisible(!memo);
  Edit2->setVisible(!memo);
  SearchMemo->setVisible(memo);
  Memo2->setVisible(memo);
  // The labels' Alt+letter goes to the editor in view.
  SearchLabel->setBuddy(memo ? static_cast<QWidget*>(SearchMemo) : SearchEdit);
  ReplaceLabel->setBuddy(memo ? static_cast<QWidget*>(Memo2) : Edit2);
  // "Clear" is not offered for regular expressions; it falls back to "None".
  const bool regExpr = searchType() == search::QueryType::RegExpr;
  ClearButton->setEnabled(!regExpr);
  if (regExpr && ClearButton->isChecked()) NoneButton->setChecked(true);
  applyModificationType();
}

modify::ModificationType SearchReplaceTab::modificationType() const {
  const int id = modificationTypes_->checkedId();
  return id < 0 ? modify::ModificationType::None : static_cast<modify::ModificationType>(id);
}

void SearchReplaceTab::applyModificationType() {
  const bool usesReplacement = modify::usesReplacement(modificationType());
  for (QWidget* w : {static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Memo2),
                     static_cast<QWidget*>(ReplaceLabel)})
    w->setEnabled(usesReplacement);
}

}  // namespace kestrix::ui
