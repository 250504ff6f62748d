// Builds the Settings dialog, maps its controls to the stored values, and keeps the
// snapshot that Cancel restores.
#include "ui/settings/TSettDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/EditorCall.h"
#include "text/Encoding.h"
#include "ui/settings/SettingsBackend.h"
#include "ui/window/MessageBoxes.h"

namespace kestrix::ui {

using app::SeparatorChoice;

namespace {

template <typename T>
T* named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

// Any file with the execute bit, in a picker that lists only those (and folders).
QString pickExecutable(QWidget* parent, const QString& folder) {
  QFileDialog dialog(parent, "Select the editor program", folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString file = dialog.selectedFiles().front();
  return QFileInfo(file).isExecutable() ? file : QString();
}

}  // namespace

TSettDlg::TSettDlg(std::shared_ptr<SettingsBackend> backend, const QString& editorDefault,
                   QWidget* parent)
    : QDialog(parent), backend_(std::move(backend)), pickProgram_(pickExecutable) {
  setObjectName("TSettDlg");
  setDialogFlags(*this);
  setWindowTitle("Settings");
  // Modal to the main window only, so the help window stays usable.
  setWindowModality(Qt::WindowModal);
  createControls();
  buildLayout();
  wire();
  setValues(app::readDialogSettings(*backend_->values, editorDefault.toStdString()));
  setHistoryCap(app::readHistoryCap(*backend_->values));
}

TSettDlg::~TSettDlg() {
  app::writeDialogSettings(*backend_->values, values());
  app::writeHistoryCap(*backend_->values, historyCap());
}

void TSettDlg::createControls() {
  WinXPRadioButton = named(new QRadioButton("Windows", this), "WinXPRadioButton");
  UnXPRadioButton = named(new QRadioButton("Unix", this), "UnXPRadioButton");
  MacXPRadioButton = named(new QRadioButton("Macintosh", this), "MacXPRadioButton");
  KeepXPRadioButton = named(new QRadioButton("Keep Original", this), "KeepXPRadioButton");
  auto* separators = new QButtonGroup(this);
  for (QRadioButton* b : {WinXPRadioButton, UnXPRadioButton, MacXPRadioButton, KeepXPRadioButton})
    separators->addButton(b);
  EditorEdit = named(new QLineEdit(this), "EditorEdit");
  XPButtonEditor = named(new QPushButton("%", this), "XPButtonEditor");
  XPButtonEditor->setToolTip("Insert a placeholder");
  PlaceholderMenu = named(new QMenu(this), "PlaceholderMenu");
  for (const char* placeholder : app::kEditorPlaceholders) {
    const QString text = QString::fromLatin1(placeholder);
    PlaceholderMenu->addAction(text, this, [this, text] { insertPlaceholder(text); });
  }
  Button2 = named(new QPushButton("Browse...", this), "Button2");
  BrowseComboBox = named(new QComboBox(this), "BrowseComboBox");
  BrowseComboBox->addItems({"1", "2", "3", "5", "10", "15", "20", "30", "50", "100", "All"});
  CodePageComboBox = named(new QComboBox(this), "CodePageComboBox");
  for (const text::CodePageChoice& page : text::legacyCodePages())
    CodePageComboBox->addItem(QString::fromLatin1(page.name));
  IgnorePathsXPCheck = named(new QCheckBox("Ignore Directories", this), "IgnorePathsXPCheck");
  EditPathsXPButton = named(new QPushButton("Edit List...", this), "EditPathsXPButton");
  IgnoreFilesXPCheck = named(new QCheckBox("Ignore Files", this), "IgnoreFilesXPCheck");
  EditFilesXPButton = named(new QPushButton("Edit List...", this), "EditFilesXPButton");
  ReadOnly = named(new QCheckBox("Replace Read Only Files", this), "ReadOnly");
  ReplaceHiddenCheckBox =
      named(new QCheckBox("Replace Hidden Files", this), "ReplaceHiddenCheckBox");
  HistorySizeSpinBox = named(new QSpinBox(this), "HistorySizeSpinBox");
  HistorySizeSpinBox->setRange(1, app::kMaxHistoryMegabytes);
  HistorySizeSpinBox->setSuffix(" MB");
  HistoryRunsSpinBox = named(new QSpinBox(this), "HistoryRunsSpinBox");
  HistoryRunsSpinBox->setRange(1, app::kMaxHistoryRuns);
  HistoryRunsSpinBox->setSuffix(" runs");
  OKButton = named(new QPushButton("OK", this), "OKButton");
  CancelButton = named(new QPushButton("Cancel", this), "CancelButton");
}

void TSettDlg::buildLayout() {
  auto* separators = new QGroupBox(" Line Separators in Altered Files ", this);
  auto* separatorRow = new QHBoxLayout(separators);
  for (QRadioButton* b : {KeepXPRadioButton, WinXPRadioButton, UnXPRadioButton, MacXPRadioButton})
    separatorRow->addWidget(b);
  separatorRow->addStretch();

  auto* editorRow = new QHBoxLayout;
  editorRow->addWidget(new QLabel("Editor:", this));
  editorRow->addWidget(EditorEdit, 1);
  editorRow->addWidget(XPButtonEditor);
  editorRow->addWidget(Button2);
  XPButtonEditor->setFixedWidth(XPButtonEditor->fontMetrics().horizontalAdvance("%%%") + 12);

  auto* contextRow = new QHBoxLayout;
  contextRow->addWidget(new QLabel("Browse Context: Show till", this));
  contextRow->addWidget(BrowseComboBox);
  contextRow->addWidget(new QLabel("lines above and below from each found occurrence", this));
  contextRow->addStretch();

  auto* codePageRow = new QHBoxLayout;
  codePageRow->addWidget(new QLabel("Code page of files in neither UTF-8 nor UTF-16:", this));
  codePageRow->addWidget(CodePageComboBox);
  codePageRow->addStretch();

  auto* lists = new QGroupBox(" Ignore Lists ", this);
  auto* listGrid = new QGridLayout(lists);
  listGrid->addWidget(IgnorePathsXPCheck, 0, 0);
  listGrid->addWidget(EditPathsXPButton, 0, 1);
  listGrid->addWidget(IgnoreFilesXPCheck, 1, 0);
  listGrid->addWidget(EditFilesXPButton, 1, 1);
  listGrid->setColumnStretch(2, 1);

  auto* permissions = new QGroupBox(" Modify Read Only and Hidden Files ", this);
  auto* permissionRows = new QVBoxLayout(permissions);
  // A protected file is only replaced when its original is kept: say so beside the box.
  auto* readOnlyRow = new QHBoxLayout;
  readOnlyRow->addWidget(ReadOnly);
  ReadOnlyHint =
      named(new QLabel("(needs Create Backups on the Options tab)", this), "ReadOnlyHint");
  ReadOnlyHint->setEnabled(false);
  readOnlyRow->addWidget(ReadOnlyHint);
  readOnlyRow->addStretch(1);
  permissionRows->addLayout(readOnlyRow);
  permissionRows->addWidget(ReplaceHiddenCheckBox);

  auto* historyRow = new QHBoxLayout;
  auto* historyLabel = new QLabel("Undo &history keeps at most", this);
  historyLabel->setBuddy(HistorySizeSpinBox);
  historyRow->addWidget(historyLabel);
  historyRow->addWidget(HistorySizeSpinBox);
  historyRow->addWidget(new QLabel("and the last", this));
  historyRow->addWidget(HistoryRunsSpinBox);
  historyRow->addWidget(new QLabel("(the oldest runs go first)", this));
  historyRow->addStretch();

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(OKButton, QDialogButtonBox::AcceptRole);
  buttons->addButton(CancelButton, QDialogButtonBox::RejectRole);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(separators);
  layout->addLayout(editorRow);
  layout->addLayout(contextRow);
  layout->addLayout(codePageRow);
  auto* groups = new QHBoxLayout;
  groups->addWidget(lists, 1);
  groups->addWidget(permissions, 1);
  layout->addLayout(groups);
  layout->addLayout(historyRow);
  layout->addWidget(buttons);
}

void TSettDlg::wire() {
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(IgnorePathsXPCheck, &QCheckBox::toggled, this, &TSettDlg::applyEditButtons);
  connect(IgnoreFilesXPCheck, &QCheckBox::toggled, this, &TSettDlg::applyEditButtons);
  connect(EditPathsXPButton, &QPushButton::clicked, this, &TSettDlg::editFolderListRequested);
  connect(EditFilesXPButton, &QPushButton::clicked, this, &TSettDlg::editFileListRequested);
  connect(XPButtonEditor, &QPushButton::clicked, this, &TSettDlg::showPlaceholderMenu);
  connect(Button2, &QPushButton::clicked, this, &TSettDlg::browseEditor);
  const std::pair<QRadioButton*, SeparatorChoice> choices[] = {
      {WinXPRadioButton, SeparatorChoice::Windows},
      {UnXPRadioButton, SeparatorChoice::Unix},
      {MacXPRadioButton, SeparatorChoice::Macintosh}};
  for (const auto& [button, choice] : choices)
    connect(button, &QRadioButton::toggled, this, [this, choice](bool on) {
      if (on) storedChoice_ = choice;
    });
}

app::DialogSettings TSettDlg::values() const {
  app::DialogSettings v;
  v.separator = KeepXPRadioButton->isChecked()  ? SeparatorChoice::Keep
                : UnXPRadioButton->isChecked()  ? SeparatorChoice::Unix
                : MacXPRadioButton->isChecked() ? SeparatorChoice::Macintosh
                                                : SeparatorChoice::Windows;
  v.storedChoice = storedChoice_;
  v.editor = EditorEdit->text().toStdString();
  v.contextLinesIndex = BrowseComboBox->currentIndex();
  v.ignoreFolders = IgnorePathsXPCheck->isChecked();
  v.ignoreFiles = IgnoreFilesXPCheck->isChecked();
  v.modifyReadOnly = ReadOnly->isChecked();
  v.modifyHidden = ReplaceHiddenCheckBox->isChecked();
  v.codePage = CodePageComboBox->currentText().toStdString();
  return v;
}

void TSettDlg::setValues(const app::DialogSettings& v) {
  QRadioButton* const buttons[] = {WinXPRadioButton, UnXPRadioButton, MacXPRadioButton,
                                   KeepXPRadioButton};
  buttons[static_cast<int>(v.separator)]->setChecked(true);
  storedChoice_ =
      v.storedChoice == SeparatorChoice::Keep ? SeparatorChoice::Windows : v.storedChoice;
  EditorEdit->setText(QString::fromStdString(v.editor));
  EditorEdit->setCursorPosition(0);
  BrowseComboBox->setCurrentIndex(v.contextLinesIndex);
  IgnorePathsXPCheck->setChecked(v.ignoreFolders);
  IgnoreFilesXPCheck->setChecked(v.ignoreFiles);
  ReadOnly->setChecked(v.modifyReadOnly);
  ReplaceHiddenCheckBox->setChecked(v.modifyHidden);
  CodePageComboBox->setCurrentText(QString::fromStdString(app::knownCodePage(v.codePage)));
  applyEditButtons();
}

app::HistoryCap TSettDlg::historyCap() const {
  return {HistorySizeSpinBox->value(), HistoryRunsSpinBox->value()};
}

void TSettDlg::setHistoryCap(const app::HistoryCap& cap) {
  HistorySizeSpinBox->setValue(cap.megabytes);
  HistoryRunsSpinBox->setValue(cap.runs);
}

void TSettDlg::applyEditButtons() {
  EditPathsXPButton->setEnabled(IgnorePathsXPCheck->isChecked());
  EditFilesXPButton->setEnabled(IgnoreFilesXPCheck->isChecked());
}

void TSettDlg::showEvent(QShowEvent* event) {
  applyEditButtons();
  snapshot_ = values();
  capSnapshot_ = historyCap();
  QDialog::showEvent(event);
  OKButton->setFocus();
}

void TSettDlg::done(int result) {
  if (result != QDialog::Accepted) {
    setValues(snapshot_);
    setHistoryCap(capSnapshot_);
  }
  QDialog::done(result);
}

void TSettDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    emit helpRequested("Manual/Settings.htm");
    return;
  }
  QDialog::keyPressEvent(event);
}

void TSettDlg::showPlaceholderMenu() {
  // The menu's right edge lines up with the button's bottom-right corner.
  const QPoint corner = XPButtonEditor->mapToGlobal(XPButtonEditor->rect().bottomRight());
  PlaceholderMenu->popup(QPoint(corner.x() - PlaceholderMenu->sizeHint().width() + 1, corner.y()));
}

void TSettDlg::insertPlaceholder(const QString& placeholder) {
  EditorEdit->insert(placeholder);
}

void TSettDlg::browseEditor() {
  const QString start = editorFolder_.isEmpty() ? QDir::currentPath() : editorFolder_;
  const QString program = pickProgram_(this, start);
  if (program.isEmpty()) return;
  editorFolder_ = QFileInfo(program).absolutePath();
  EditorEdit->setText(QString::fromStdString(app::editorCommandFor(program.toStdString())));
}

}  // namespace kestrix::ui
