// The preview dialog over a large review: every file opens with its changes beneath it,
// without the view keeping state for each change, and the keyboard pages through all of it.
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "modify/Review.h"
#include "ui/modify/ChangeTreeModel.h"
#include "ui/modify/PreviewDialog.h"

using namespace kestrix;
using kestrix::ui::ChangeTreeModel;
using kestrix::ui::PreviewDialog;

namespace {

// `files` files of `perFile` changes, one on every second line of "old word" lines.
modify::Review largeReview(int files, int perFile) {
  modify::Review review;
  for (int f = 0; f < files; ++f) {
    modify::FileChanges file;
    file.fullName = "/tree/f" + std::to_string(f) + ".txt";
    for (int c = 0; c < perFile; ++c) {
      const std::size_t at = file.text.size();
      file.text += "old word\nkept line\n";
      const auto line = static_cast<std::int64_t>(2 * c + 1);
      file.changes.push_back(
          {.offset = at, .length = 3, .replacement = "new", .firstLine = line, .lastLine = line});
    }
    review.files.push_back(std::move(file));
  }
  return review;
}

}  // namespace

class PreviewDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void largeReviewOpensExpandedAndPagesToItsEnd() {
    constexpr int kFiles = 400;
    constexpr int kPerFile = 50;
    PreviewDialog dialog;
    QSignalSpy expanded(dialog.ChangeView, &QTreeView::expanded);
    dialog.setReview(largeReview(kFiles, kPerFile));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    ChangeTreeModel& model = dialog.changes();
    QCOMPARE(model.totalChanges(), std::size_t(kFiles * kPerFile));
    QCOMPARE(dialog.countsText(), QString("20000 of 20000 changes in 400 files"));
    // The files are expanded, and only they: a change row is never an expanded parent.
    QCOMPARE(expanded.count(), kFiles);
    const QModelIndex lastFile = model.index(kFiles - 1, 0);
    QVERIFY(dialog.ChangeView->isExpanded(lastFile));
    QVERIFY(dialog.ChangeView->isFirstColumnSpanned(kFiles - 1, {}));
    const QModelIndex change = model.index(kPerFile - 1, ChangeTreeModel::AfterColumn, lastFile);
    QVERIFY(model.flags(change) & Qt::ItemNeverHasChildren);
    QCOMPARE(change.data().toString(), QString("new word"));
    QCOMPARE(model.index(kPerFile - 1, 0, lastFile).data().toString(), QString("99"));
    // Page Down walks from the first file to the last change of the last file.
    dialog.ChangeView->setCurrentIndex(model.index(0, 0));
    QModelIndex was;
    int pages = 0;
    while (dialog.ChangeView->currentIndex() != was && pages < kFiles * kPerFile) {
      was = dialog.ChangeView->currentIndex();
      QTest::keyClick(dialog.ChangeView, Qt::Key_PageDown);
      ++pages;
    }
    QCOMPARE(dialog.ChangeView->currentIndex().siblingAtColumn(0),
             model.index(kPerFile - 1, 0, lastFile));
    QVERIFY(pages > 10);
  }
};

QTEST_MAIN(PreviewDialogTest)
#include "tst_previewdialog.moc"
