// Lays out the preview dialog and colours the diff lines.
#include "ui/PreviewDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSyntaxHighlighter>
#include <QVBoxLayout>

#include "ui/LinesViewer.h"
#include "ui/TextDecoding.h"

namespace kestrix::ui {

namespace {

// Colours unified-diff lines: file headers bold, hunk headers blue, added lines green,
// removed lines red, the failure block dark red.
class DiffHighlighter : public QSyntaxHighlighter {
 public:
  using QSyntaxHighlighter::QSyntaxHighlighter;

 protected:
  void highlightBlock(const QString& line) override {
    QTextCharFormat format;
    if (line.startsWith("+++ ") || line.startsWith("--- ") || line.startsWith("Would fail")) {
      format.setFontWeight(QFont::Bold);
    } else if (line.startsWith("@@")) {
      format.setForeground(QColor(0, 0, 180));
    } else if (line.startsWith('+')) {
      format.setForeground(QColor(0, 120, 0));
      format.setBackground(QColor(230, 255, 230));
    } else if (line.startsWith('-')) {
      format.setForeground(QColor(170, 0, 0));
      format.setBackground(QColor(255, 232, 232));
    } else if (line.startsWith("  ! ")) {
      format.setForeground(QColor(150, 0, 0));
    } else {
      return;
    }
    setFormat(0, static_cast<int>(line.size()), format);
  }
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
    text += QString("Would fail (%1 files):\n").arg(summary.failures.size());
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
  DiffView = new QPlainTextEdit(this);
  DiffView->setObjectName("DiffView");
  DiffView->setReadOnly(true);
  DiffView->setLineWrapMode(QPlainTextEdit::NoWrap);
  DiffView->setFont(linesViewerFont());
  new DiffHighlighter(DiffView->document());
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
  DiffView->setPlainText(text_);
  ModifySelectedButton->setEnabled(anySelected);
  ModifyAllButton->setEnabled(!summary.changes.empty() || !summary.failures.empty());
}

QString PreviewDialog::text() const {
  return text_;
}

}  // namespace kestrix::ui
