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
  auto radio = [this](const char* name, const QString& caption, Type id) {
    auto* button = new QRadioButton(caption, this);
    button->setObjectName(name);
    types_->addButton(button, id);
    return button;
  };
  PhraseButton = radio("PhraseButton", "Phrase", Phrase);
  WordsorButton = radio("WordsorButton", "Words: or", WordsOr);
  WordsandButton = radio("WordsandButton", "Words: and", WordsAnd);
  SearchEngineButton = radio("SearchEngineButton", "Search Engine", SearchEngine);
  TextButton = radio("TextButton", "Multiline", Multiline);
  RegExpFind = radio("RegExpFind", "Reg Expr", RegExpr);
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
    emit queryTypeChanged(static_cast<Type>(id));
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

FindTab::Type FindTab::queryType() const {
  return static_cast<Type>(types_->checkedId());
}

void FindTab::setQueryType(Type type) {
  types_->button(type)->setChecked(true);
  applyEditor();
  emit queryTypeChanged(type);
}

bool FindTab::usesMemo() const {
  const Type type = queryType();
  return type == Multiline || type == RegExpr;
}

void FindTab::applyEditor() {
  const bool memo = usesMemo();
  FindEditComboBox->setVisible(!memo);
  FindMemo->setVisible(memo);
}

}  // namespace kestrix::ui
