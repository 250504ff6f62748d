// Lays out the preview dialog and colours the diff lines.
#include "ui/modify/PreviewDialog.h"

#include <QAbstractListModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/viewer/LinesViewer.h"
#include "ui/viewer/TextDecoding.h"

namespace kestrix::ui {

namespace {

// The dialog's lines, coloured by their unified-diff role: file headers bold, hunk headers
// blue, added lines green, removed lines red, the failure block dark red. A list model, so
// that a preview of thousands of files shows at once (only visible lines are drawn).
class DiffLinesModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  void setLines(QStringList lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
  }
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= lines_.size()) return {};
    const QString& line = lines_[index.row()];
    switch (role) {
      case Qt::DisplayRole:
        return line;
      case Qt::ForegroundRole:
        return foreground(line);
      case Qt::BackgroundRole:
        return background(line);
      case Qt::FontRole:
        return font(line);
      default:
        return {};
    }
  }

 private:
  static bool header(const QString& line) {
    return line.startsWith("+++ ") || line.startsWith("--- ") || line.startsWith("Would fail");
  }
  static QVariant foreground(const QString& line) {
    if (header(line)) return {};
    if (line.startsWith("@@")) return QColor(0, 0, 180);
    if (line.startsWith('+')) return QColor(0, 120, 0);
    if (line.startsWith('-')) return QColor(170, 0, 0);
    if (line.startsWith("  ! ")) return QColor(150, 0, 0);
    return {};
  }
  static QVariant background(const QString& line) {
    if (header(line)) return {};
    if (line.startsWith('+')) return QColor(230, 255, 230);
    if (line.startsWith('-')) return QColor(255, 232, 232);
    return {};
  }
  static QVariant font(const QString& line) {
    if (!header(line)) return {};
    QFont bold = linesViewerFont();
    bold.setBold(true);
    return bold;
  }

  QStringList lines_;
};

// The bytes as text: UTF-8 when they are valid UTF-8, else Windows-1252; line breaks and
// tabs stay as they are.
QString display(const std::string& bytes) {
  if (isValidUtf8(bytes)) return QString::fromStdString(bytes);
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (unsigned char byte : bytes) text.append(QChar(windows1252ToUnicode(byte)));
  return text;
}

}  // namespace

QString previewText(const modify::PreviewSummary& summary) {
  QString text;
  if (!summary.failures.empty()) {
    const std::size_t count = summary.failures.size();
    text += QString("Would fail (%1 %2):\n").arg(count).arg(count == 1 ? "file" : "files");
    for (const modify::FileFailurePreview& failure : summary.failures)
      text += "  ! " + display(failure.fullName) + ": " + display(failure.reason) + "\n";
    text += "\n";
  }
  for (const modify::FileChangePreview& change : summary.changes) text += display(change.diff);
  if (text.isEmpty()) text = "Nothing would change.\n";
  return text;
}

PreviewDialog::PreviewDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("PreviewDialog");
  setWindowTitle("Preview Changes");
  SummaryLabel = new QLabel(this);
  SummaryLabel->setObjectName("SummaryLabel");
  DiffView = new QListView(this);
  DiffView->setObjectName("DiffView");
  DiffView->setUniformItemSizes(true);
  DiffView->setFont(linesViewerFont());
  DiffView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lines_ = new DiffLinesModel(this);
  DiffView->setModel(lines_);
  ModifyAllButton = new QPushButton("Modify All", this);
  ModifyAllButton->setObjectName("PreviewModifyAllButton");
  ModifySelectedButton = new QPushButton("Modify Selected", this);
  ModifySelectedButton->setObjectName("PreviewModifySelectedButton");
  CloseButton = new QPushButton("Close", this);
  CloseButton->setObjectName("PreviewCloseButton");
  CloseButton->setDefault(true);
  connect(ModifyAllButton, &QPushButton::clicked, this, [this] { done(ModifyAllChoice); });
  connect(ModifySelectedButton, &QPushButton::clicked, this,
          [this] { done(ModifySelectedChoice); });
  connect(CloseButton, &QPushButton::clicked, this, [this] { done(CloseChoice); });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {ModifyAllButton, ModifySelectedButton, CloseButton})
    buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(SummaryLabel);
  layout->addWidget(DiffView, 1);
  layout->addLayout(buttons);
  resize(820, 560);
}

void PreviewDialog::setPreview(const modify::PreviewSummary& summary, bool anySelected) {
  SummaryLabel->setText(
      QString("%1 files would change, %2 would fail. Nothing has been written yet.%3")
          .arg(summary.changes.size())
          .arg(summary.failures.size())
          .arg(summary.stopped ? " (stopped: the preview is incomplete)" : ""));
  text_ = previewText(summary);
  QStringList lines = text_.split('\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  static_cast<DiffLinesModel*>(lines_)->setLines(std::move(lines));
  ModifySelectedButton->setEnabled(anySelected);
  ModifyAllButton->setEnabled(!summary.changes.empty() || !summary.failures.empty());
}

QString PreviewDialog::text() const {
  return text_;
}

}  // namespace kestrix::ui
