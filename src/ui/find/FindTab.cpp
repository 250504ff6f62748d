// Builds the Find tab and swaps its query editors with the query type.
#include "ui/find/FindTab.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/find/QueryEditors.h"

namespace kestrix::ui {

FindTab::FindTab(QWidget* parent) : QWidget(parent), types_(new QButtonGroup(this)) {
  setObjectName("FindTab");
  FindEditComboBox = makeQueryComboBox(this, "FindEditComboBox");
  FindMemo = makeQueryMemo(this, "FindMemo");
  auto radio = [this](const char* name, search::QueryType type) {
    auto* button =
        new QRadioButton(QString::fromUtf8(std::string(search::queryTypeInfo(type).caption)), this);
    button->setObjectName(name);
    types_->addButton(button, static_cast<int>(type));
    return button;
  };
  using search::QueryType;
  PhraseButton = radio("PhraseButton", QueryType::Phrase);
  WordsorButton = radio("WordsorButton", QueryType::WordsOr);
  WordsandButton = radio("WordsandButton", QueryType::WordsAnd);
  SearchEngineButton = radio("SearchEngineButton", QueryType::SearchEngine);
  TextButton = radio("TextButton", QueryType::Multiline);
  RegExpFind = radio("RegExpFind", QueryType::RegExpr);
  FindButton = makeButton(this, "FindButton", "Find");
  StopButton = makeButton(this, "StopButton", "Stop");
  HideListButton = makeButton(this, "HideListButton", "Hide List");
  StopButton->setEnabled(false);
  HideListButton->setEnabled(false);
  PhraseButton->setChecked(true);
  buildLayout();
  applyEditor();
  connect(types_, &QButtonGroup::idClicked, this, [this](int id) {
    applyEditor();
    emit queryTypeChanged(static_cast<search::QueryType>(id));
  });
  connect(FindEditComboBox, &QComboBox::editTextChanged, this, &FindTab::queryTextChanged);
  connect(FindMemo, &QPlainTextEdit::textChanged, this, &FindTab::queryTextChanged);
}

void FindTab::buildLayout() {
  auto* group = new QGroupBox(" Query Type ", this);
  group->setObjectName("QueryTypeGroup");
  auto* groupLayout = new QGridLayout(group);
  groupLayout->setContentsMargins(6, 2, 6, 2);
  groupLayout->setVerticalSpacing(0);
  const QList<QRadioButton*> buttons = {PhraseButton,       WordsorButton, WordsandButton,
                                        SearchEngineButton, TextButton,    RegExpFind};
  for (int i = 0; i < buttons.size(); ++i) groupLayout->addWidget(buttons[i], i % 3, i / 3);

  auto* commands = new QHBoxLayout;
  commands->addWidget(FindButton);
  commands->addWidget(StopButton);
  commands->addWidget(HideListButton);
  commands->addStretch();

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setVerticalSpacing(4);
  layout->addWidget(FindEditComboBox, 0, 0);
  layout->addWidget(FindMemo, 0, 0);
  layout->addLayout(commands, 1, 0);
  layout->addWidget(group, 0, 1, 2, 1, Qt::AlignTop);
  layout->setColumnStretch(0, 1);
  layout->setRowStretch(0, 1);
}

search::QueryType FindTab::queryType() const {
  return static_cast<search::QueryType>(types_->checkedId());
}

void FindTab::setQueryType(search::QueryType type) {
  types_->button(static_cast<int>(type))->setChecked(true);
  applyEditor();
  emit queryTypeChanged(type);
}

bool FindTab::usesMemo() const {
  return search::queryTypeInfo(queryType()).takesLines;
}

void FindTab::applyEditor() {
  const bool memo = usesMemo();
  FindEditComboBox->setVisible(!memo);
  FindMemo->setVisible(memo);
}

}  // namespace kestrix::ui
