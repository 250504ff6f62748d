// The "Options" tab: sub-folders, Multiline trims, regular-expression options, the
// modification-interval switches, the size and date filters and Create Backups. It enables
// the controls of each filter group with its switch and keeps the limits at least 1.
#pragma once

#include <QWidget>
#include <initializer_list>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace kestrix::ui {

class OptionsTab : public QWidget {
  Q_OBJECT
 public:
  explicit OptionsTab(QWidget* parent = nullptr);

  // True when the date filter is on and its upper date lies before its lower date.
  bool hasInvalidTimeLimits() const;
  // Raises a size limit or a day count below 1 to 1 (the window's idle rule).
  void raiseLimitsToOne();

  QCheckBox* IncludeSubdirectoriesCheckBox;
  QCheckBox* TrimLeftCheckBox;
  QCheckBox* TrimRightCheckBox;
  QCheckBox* ExpPointCheckBox;
  QCheckBox* ExpSpaceCheckBox;
  QCheckBox* RegExprXPCheckBox;
  QCheckBox* ModifyXPCheckBox;
  QCheckBox* PhraseXPCheckBox;
  QCheckBox* AllSizeCheckBox;
  QLabel* SizeLabel;
  QRadioButton* AllLeastRadioButton;
  QRadioButton* AllMostRadioButton;
  QSpinBox* SizeSpinEdit;
  QComboBox* KBComboBox;
  QCheckBox* AllDateCheckBox;
  QLabel* LastModifiedLabel;
  QRadioButton* BetweenRadioButton;
  QDateTimeEdit* MinDateTimePicker;
  QLabel* AndLabel;
  QDateTimeEdit* MaxDateTimePicker;
  QRadioButton* NewestRadioButton;
  QSpinBox* DaysAgoSpinEdit;
  QLabel* DaysAgoLabel;
  QCheckBox* CreatBackupCheckBox;

 signals:
  // Trims changed (they change the found lines of a Multiline run).
  void multilineOptionChanged();
  // A regular-expression option changed.
  void regexOptionChanged();
  // "Create Backups" was switched.
  void backupsChanged();

 private:
  void createControls();
  QWidget* buildFiltersBox();
  void buildLayout();
  // A group box holding `items` one under the other with tight margins.
  QGroupBox* compactGroup(const QString& title, std::initializer_list<QWidget*> items);
  void applySizeGroup();
  void applyDateGroup();
};

}  // namespace kestrix::ui
