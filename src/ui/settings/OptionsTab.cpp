// Builds the Options tab and applies its enabling rules.
#include "ui/settings/OptionsTab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <limits>
#include <utility>

namespace kestrix::ui {

namespace {
template <typename T>
T* named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

QDateTimeEdit* makeDatePicker(QWidget* parent, const char* name, const QDate& date) {
  auto* picker = named(new QDateTimeEdit(date.startOfDay(), parent), name);
  picker->setCalendarPopup(true);
  picker->setDisplayFormat("yyyy-MM-dd HH:mm");
  return picker;
}
}  // namespace

OptionsTab::OptionsTab(QWidget* parent) : QWidget(parent) {
  setObjectName("OptionsTab");
  createControls();
  buildLayout();
  applySizeGroup();
  applyDateGroup();
  connect(AllSizeCheckBox, &QCheckBox::toggled, this, &OptionsTab::applySizeGroup);
  connect(AllDateCheckBox, &QCheckBox::toggled, this, &OptionsTab::applyDateGroup);
  connect(BetweenRadioButton, &QRadioButton::toggled, this, &OptionsTab::applyDateGroup);
  connect(RegExprXPCheckBox, &QCheckBox::toggled, this, [this](bool on) {
    // Intervals for regular expressions need the line-by-line search.
    ModifyXPCheckBox->setEnabled(on);
    if (!on) ModifyXPCheckBox->setChecked(false);
  });
  for (QCheckBox* box : {TrimLeftCheckBox, TrimRightCheckBox})
    connect(box, &QCheckBox::toggled, this, &OptionsTab::multilineOptionChanged);
  for (QCheckBox* box : {ExpPointCheckBox, ExpSpaceCheckBox, RegExprXPCheckBox})
    connect(box, &QCheckBox::toggled, this, &OptionsTab::regexOptionChanged);
  connect(CreatBackupCheckBox, &QCheckBox::toggled, this, &OptionsTab::backupsChanged);
  // The limits are corrected once the value has been taken, like an idle pass would.
  for (QSpinBox* spin : {SizeSpinEdit, DaysAgoSpinEdit}) {
    connect(spin, &QSpinBox::valueChanged, this,
            [this] { QTimer::singleShot(0, this, &OptionsTab::raiseLimitsToOne); });
  }
}

void OptionsTab::createControls() {
  IncludeSubdirectoriesCheckBox = named(new QCheckBox("Include Subfolders: For searching", this),
                                        "IncludeSubdirectoriesCheckBox");
  TrimLeftCheckBox = named(new QCheckBox("Ignore Leading Spaces", this), "TrimLeftCheckBox");
  TrimRightCheckBox = named(new QCheckBox("Ignore Trailing Spaces", this), "TrimRightCheckBox");
  ExpPointCheckBox =
      named(new QCheckBox("\".\" Matches Line Separators Too", this), "ExpPointCheckBox");
  ExpSpaceCheckBox =
      named(new QCheckBox("Ignore Whitespaces in Reg Expr", this), "ExpSpaceCheckBox");
  RegExprXPCheckBox =
      named(new QCheckBox("Search within Each Single Line", this), "RegExprXPCheckBox");
  ModifyXPCheckBox = named(new QCheckBox("Use Modification Intervals for the Listed Files", this),
                           "ModifyXPCheckBox");
  PhraseXPCheckBox = named(new QCheckBox("Use Modification Intervals\nfor the Listed Files", this),
                           "PhraseXPCheckBox");
  AllSizeCheckBox = named(new QCheckBox("File Size ", this), "AllSizeCheckBox");
  SizeLabel = new QLabel("Size:", this);
  AllLeastRadioButton = named(new QRadioButton("Minimum", this), "AllLeastRadioButton");
  AllMostRadioButton = named(new QRadioButton("Maximum", this), "AllMostRadioButton");
  SizeSpinEdit = named(new QSpinBox(this), "SizeSpinEdit");
  KBComboBox = named(new QComboBox(this), "KBComboBox");
  AllDateCheckBox = named(new QCheckBox("File Date ", this), "AllDateCheckBox");
  LastModifiedLabel = new QLabel("Last Modified:", this);
  BetweenRadioButton = named(new QRadioButton("Between", this), "BetweenRadioButton");
  const QDate today = QDate::currentDate();
  MinDateTimePicker = makeDatePicker(this, "MinDateTimePicker", today.addMonths(-12));
  AndLabel = new QLabel("and", this);
  MaxDateTimePicker = makeDatePicker(this, "MaxDateTimePicker", today);
  NewestRadioButton = named(new QRadioButton("Newer than", this), "NewestRadioButton");
  DaysAgoSpinEdit = named(new QSpinBox(this), "DaysAgoSpinEdit");
  DaysAgoLabel = new QLabel("days ago", this);
  CreatBackupCheckBox = named(
      new QCheckBox("Create Backups: If ON you can use undo but can't search files with", this),
      "CreatBackupCheckBox");

  // The size pair and the date pair are independent choices.
  for (auto pair : {std::pair{AllLeastRadioButton, AllMostRadioButton},
                    std::pair{BetweenRadioButton, NewestRadioButton}}) {
    auto* group = new QButtonGroup(this);
    group->addButton(pair.first);
    group->addButton(pair.second);
  }
  IncludeSubdirectoriesCheckBox->setChecked(true);
  TrimLeftCheckBox->setChecked(true);
  TrimRightCheckBox->setChecked(true);
  CreatBackupCheckBox->setChecked(true);
  ModifyXPCheckBox->setEnabled(false);
  AllMostRadioButton->setChecked(true);
  SizeSpinEdit->setRange(0, std::numeric_limits<int>::max());
  SizeSpinEdit->setValue(100);
  KBComboBox->addItems({"KB", "MB"});
  BetweenRadioButton->setChecked(true);
  DaysAgoSpinEdit->setRange(0, 100000);
  DaysAgoSpinEdit->setValue(2);
}

QWidget* OptionsTab::buildFiltersBox() {
  auto* box = new QGroupBox(" Filters ", this);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(6, 0, 6, 2);
  grid->setVerticalSpacing(1);
  grid->addWidget(AllSizeCheckBox, 0, 0);
  grid->addWidget(SizeLabel, 0, 1);
  grid->addWidget(AllLeastRadioButton, 0, 2);
  grid->addWidget(AllMostRadioButton, 0, 3);
  grid->addWidget(SizeSpinEdit, 0, 4);
  grid->addWidget(KBComboBox, 0, 5);
  grid->addWidget(AllDateCheckBox, 1, 0);
  grid->addWidget(LastModifiedLabel, 1, 1);
  grid->addWidget(BetweenRadioButton, 1, 2);
  grid->addWidget(MinDateTimePicker, 1, 3);
  grid->addWidget(AndLabel, 1, 4, Qt::AlignCenter);
  grid->addWidget(MaxDateTimePicker, 1, 5);
  grid->addWidget(NewestRadioButton, 2, 2);
  grid->addWidget(DaysAgoSpinEdit, 2, 3);
  grid->addWidget(DaysAgoLabel, 2, 4, 1, 2);
  grid->setColumnStretch(6, 1);
  return box;
}

void OptionsTab::buildLayout() {
  auto* multiline = compactGroup(" Multiline ", {TrimLeftCheckBox, TrimRightCheckBox});
  auto* phrase = compactGroup(" Phrase ", {PhraseXPCheckBox});
  auto* regex = compactGroup(" Regular Expressions ", {ExpPointCheckBox, ExpSpaceCheckBox,
                                                       RegExprXPCheckBox, ModifyXPCheckBox});
  auto* groups = new QHBoxLayout;
  groups->addWidget(multiline, 0, Qt::AlignTop);
  groups->addWidget(phrase, 0, Qt::AlignTop);
  groups->addWidget(regex, 1);
  auto* backups = new QHBoxLayout;
  backups->setSpacing(0);
  backups->addWidget(CreatBackupCheckBox);
  auto* note = new QLabel(" the \".bak\" extension at the Search and Replace tab", this);
  note->setObjectName("BackupsNoteLabel");  // continues the check box's caption
  backups->addWidget(note);
  backups->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setSpacing(1);
  layout->addWidget(IncludeSubdirectoriesCheckBox);
  layout->addLayout(groups);
  layout->addWidget(buildFiltersBox());
  layout->addLayout(backups);
  layout->addStretch();
}

QGroupBox* OptionsTab::compactGroup(const QString& title, std::initializer_list<QWidget*> items) {
  auto* group = new QGroupBox(title, this);
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(6, 0, 6, 2);
  layout->setSpacing(0);
  for (QWidget* item : items) layout->addWidget(item);
  return group;
}

void OptionsTab::applySizeGroup() {
  const bool on = AllSizeCheckBox->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{SizeLabel, AllLeastRadioButton,
                                                    AllMostRadioButton, SizeSpinEdit, KBComboBox})
    w->setEnabled(on);
}

void OptionsTab::applyDateGroup() {
  const bool on = AllDateCheckBox->isChecked();
  const bool between = BetweenRadioButton->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{LastModifiedLabel, BetweenRadioButton, AndLabel,
                                                    NewestRadioButton, DaysAgoLabel})
    w->setEnabled(on);
  MinDateTimePicker->setEnabled(on && between);
  MaxDateTimePicker->setEnabled(on && between);
  DaysAgoSpinEdit->setEnabled(on && !between);
}

bool OptionsTab::hasInvalidTimeLimits() const {
  return AllDateCheckBox->isChecked() &&
         MaxDateTimePicker->dateTime() < MinDateTimePicker->dateTime();
}

void OptionsTab::raiseLimitsToOne() {
  if (SizeSpinEdit->value() < 1) SizeSpinEdit->setValue(1);
  if (DaysAgoSpinEdit->value() < 1) DaysAgoSpinEdit->setValue(1);
}

}  // namespace kestrix::ui
