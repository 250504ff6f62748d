// Erase Backups' messages.
#include "ui/history/EraseMessages.h"

namespace kestrix::ui {

namespace {
QString files(std::size_t count) {
  return count == 1 ? QString("1 backup file") : QString("%1 backup files").arg(count);
}
}  // namespace

QString runs(std::size_t count) {
  return count == 1 ? QString("1 run") : QString("%1 runs").arg(count);
}

QString eraseQuestion(std::size_t count, const QString& folder, bool toTrash) {
  return QString("Erase %1 in %2?\n\n%3")
      .arg(files(count), folder,
           toTrash ? QString("They are moved to the trash.")
                   : QString("They are deleted for good."));
}

QString untrashableQuestion(const QString& fullName) {
  return QString(
             "The trash cannot take \"%1\" (its file system has no trash folder).\n\n"
             "Delete the backup files the trash cannot take for good?")
      .arg(fullName);
}

QString erasedReport(const modify::EraseSummary& summary, bool toTrash) {
  if (summary.found == 0) return "No backup files (\".bak\") were found.";
  const std::size_t trashed = summary.removed - summary.deleted;
  QString text;
  if (!toTrash) {
    text = QString("Erased %1 (\".bak\")").arg(files(summary.removed));
  } else if (trashed > 0 || summary.deleted == 0) {
    text = QString("Moved %1 (\".bak\") to the trash").arg(files(trashed));
    if (summary.deleted > 0) text += QString(", deleted %1 for good").arg(summary.deleted);
  } else {
    text = QString("Deleted %1 (\".bak\") for good").arg(files(summary.deleted));
  }
  const std::size_t left = summary.found - summary.removed;
  if (left > 0) text += QString(", %1 left in place").arg(left);
  if (summary.stopped) text += " (stopped)";
  return text + ".";
}

QString removedRuns(std::size_t count) {
  return QString("%1 removed from the undo history.").arg(runs(count));
}

QString clearFolderHistoryQuestion(const QString& report, const QString& folder,
                                   std::size_t count) {
  return QString(
             "%1\n\nAlso clear the undo history of %2 (%3)? Those runs can then no longer "
             "be undone.")
      .arg(report, folder, kestrix::ui::runs(count));
}

}  // namespace kestrix::ui
