// The file operations' confirmation dialog and the shortening of its long lines.
#include "ui/fileops/ConfirmDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/window/MessageBoxes.h"
#include "ui/window/ScreenScale.h"

namespace kestrix::ui {

using fileops::Decision;

ConfirmDialog::ConfirmDialog(QWidget* parent, const QString& objectName) : QDialog(parent) {
  setObjectName(objectName);
  setDialogFlags(*this);
  setModal(true);
  TextLabel = new QLabel(this);
  TextLabel->setObjectName("TextLabel");
  TextLabel->setTextFormat(Qt::PlainText);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TextLabel);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  struct {
    QPushButton** button;
    const char* caption;
    const char* name;
    Decision decision;
  } buttons[] = {{&YesButton, "Yes", "YesButton", Decision::Yes},
                 {&SkipButton, "Skip", "SkipButton", Decision::Skip},
                 {&YesToAllButton, "Yes to All", "YesToAllButton", Decision::YesToAll},
                 {&CancelButton, "Cancel", "CancelButton", Decision::Cancel}};
  for (const auto& b : buttons) {
    *b.button = new QPushButton(b.caption, this);
    (*b.button)->setObjectName(b.name);
    row->addWidget(*b.button);
    const Decision d = b.decision;
    connect(*b.button, &QPushButton::clicked, this, [this, d] {
      decision_ = d;
      d == Decision::Cancel ? reject() : accept();
    });
  }
  layout->addLayout(row);
}

Decision ConfirmDialog::ask(const QString& caption, const QStringList& lines, Buttons buttons) {
  const bool several = buttons == Buttons::YesSkipAllCancel;
  setWindowTitle(caption);
  TextLabel->setText(lines.join('\n'));
  YesButton->setText(several ? "Yes" : "OK");
  SkipButton->setVisible(several);
  YesToAllButton->setVisible(several);
  YesButton->setDefault(true);
  YesButton->setFocus();
  decision_ = Decision::Cancel;
  adjustSize();
  exec();
  return decision_;
}

QString shortenedLine(const QString& line, const QFontMetrics& metrics, int limitPx, int head) {
  const int limit = scaled(limitPx);
  if (metrics.horizontalAdvance(line) <= limit) return line;
  const QString start = line.left(head) + "...";
  for (int k = 0; k <= line.size(); ++k) {
    const QString candidate = start + line.right(k);
    if (metrics.horizontalAdvance(candidate) > limit) return candidate;
  }
  return line;
}

}  // namespace kestrix::ui
