// modify/: the Search and Replace tab: modification commands, enable rules, intervals, preview.
// The modification commands of the window: "Modify Selected", "Modify All", "Undo" and
// "Erase Backups". Each reads the controls into a request, enters the busy state, runs the
// core (modify::runModifyPass, undoLastRun, eraseBackups) with a ModifyRunObserver, writes
// the outcome into the list and restores the window. Owns the undo journal of the latest
// run and the enable rules of the commands.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modify/EraseBackups.h"
#include "modify/ModifyPass.h"
#include "modify/ModifyRequest.h"
#include "modify/Undo.h"
#include "modify/UndoJournal.h"
#include "ui/modify/ModifyHost.h"
#include "ui/modify/ModifyRequestReader.h"
#include "ui/modify/ModifyRunObserver.h"

namespace kestrix::ui {

class ModifyEnableRules;
class PreviewDialog;

class ModifyController : public QObject {
  Q_OBJECT
 public:
  explicit ModifyController(const ModifyContext& context);
  ~ModifyController() override;

  void modifySelected() { runPass(modify::ModifyScope::Selected); }
  void modifyAll() { runPass(modify::ModifyScope::All); }
  // What a pass did: its summary and the files it left as they were.
  struct PassReport {
    modify::PassSummary summary;
    bool stopped = false;  // a stop or a replacement limit ended it
    std::vector<ModifyRunObserver::Failure> failures;
  };
  // Modify All with `request` instead of the tab's (a batch pair): as modifyAll, with the
  // summary in the status bar but no failure notice. Nothing when the window is busy or
  // the request is refused (its message shown).
  std::optional<PassReport> modifyAllWith(const modify::ModifyRequest& request);
  // Puts `summary` ("11 modified, 3 failed") in the status bar and, when files failed,
  // shows a notice captioned `caption` listing them with their reasons.
  void reportOutcome(const QString& caption, const QString& summary,
                     const std::vector<ModifyRunObserver::Failure>& failures);
  // "Undo": undoes the latest run of the undo history not yet undone for the list's folder
  // (the path box's without a list), from the history's copies of the originals.
  void undo();
  // Undoes the run `id` of the undo history as "Undo" does (the listed rows of its files get
  // their results). Nothing when the window is busy or the history refused the run (its
  // message shown).
  // Whether a run's failed files are listed in a notice of the window (Left: the caller,
  // such as the History dialog, tells them itself).
  enum class FailureNotice { Shown, Left };
  std::optional<modify::UndoSummary> undoRun(const std::string& id,
                                             FailureNotice notice = FailureNotice::Shown);
  // Enables "Undo" when the history holds an undoable run for that folder.
  void enableUndoFromHistory();
  // "Erase Backups": counts the ".bak" files under the path box's folder, asks, moves them
  // to the trash (asking once before deleting those the trash does not take), reports the
  // count and offers to clear the undo history of the folder.
  void eraseBackups();
  // Seam: tests move files into a folder of their own; empty: files are deleted.
  void setTrash(std::function<bool(const std::string&)> trash) { trash_ = std::move(trash); }
  // "Preview": the pass of Modify All as a dry run that records every change, shown in the
  // preview dialog; "Apply" there writes exactly the checked changes, as Modify All writes
  // (backups, undo history, the rows' results).
  void preview();
  PreviewDialog* previewDialog() const { return previewDialog_; }

  // The request a run with `scope` would read now.
  modify::ModifyRequest currentRequest(modify::ModifyScope scope) const;
  // The listed rows in scope, ascending (all rows for scope All).
  std::vector<std::size_t> selectedRows() const;
  std::string searchedFolder() const;

  const modify::UndoJournal& journal() const { return journal_; }
  // True while Undo may run: a run with backups awaits it and nothing since (a search, a
  // rename, Hide List, Erase Backups ...) took its rows or backups away.
  bool canUndo() const { return undoOffered_; }
  // Offers Undo or takes it back; the Undo button shows the answer.
  void offerUndo(bool offered);
  ModifyEnableRules& rules() { return *rules_; }

 signals:
  // A pass, an undo or an erase ended and the window is idle again.
  void finished();

 private:
  // Runs the modify pass the way runModifyPass does (the apply of a reviewed preview runs
  // it through applyReview).
  using PassRunner = std::function<decltype(modify::runModifyPass)>;
  void runPass(modify::ModifyScope scope, const PassRunner& run = modify::runModifyPass);
  // Who asked for a pass: the tab's commands (its replacement joins the box's history and
  // failures get a notice) or a batch pair (whose texts are not the tab's).
  enum class PassSource { Tab, BatchPair };
  std::optional<PassReport> runRequest(const modify::ModifyRequest& request, const PassRunner& run,
                                       PassSource source);
  void applyPreview();
  void openChange(const QString& fullName, int lineNumber);
  bool validate(const modify::ModifyRequest& request);
  void beginBusy();
  void endBusy();
  void refreshViewerOnFirstSelected();
  void widenResultColumn();
  void eraseBackupsIn(const QString& path);
  void reportErased(const modify::EraseSummary& summary, const QString& path);
  void reportOutcome(FailureNotice notice, const QString& caption, const QString& summary,
                     const ModifyRunObserver& observer);

  const ModifyContext context_;
  QWidget& window_;
  ModifyHost& host_;
  std::string undoFolder() const;
  std::optional<std::string> undoableRun() const;
  modify::UndoJournal journal_;
  bool undoOffered_ = false;
  ModifyEnableRules* rules_;
  PreviewDialog* previewDialog_ = nullptr;
  std::function<bool(const std::string&)> trash_;
};

}  // namespace kestrix::ui
