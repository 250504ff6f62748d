// The modification options of `ksr replace` and `ksr batch`, the request they build, and
// the console observer that prints the rows' results.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/FindOptions.h"
#include "modify/ModifyObserver.h"
#include "modify/ModifyPass.h"
#include "modify/ModifyRequest.h"
#include "modify/UndoJournal.h"
#include "search/ResultItem.h"

namespace kestrix::cli {

// Exit status when some rows failed (the others are 0, 1 and 2 of Commands.h).
inline constexpr int kExitSomeFailed = 3;

struct ModifyArgs {
  modify::ModificationType mode = modify::ModificationType::Replace;  // --mode
  std::optional<std::string> withText;                                // --with TEXT
  std::string withFile;                                               // --with-file FILE
  bool noBackup = false;                                              // --no-backup
  modify::LineSeparator separator = modify::LineSeparator::Keep;      // --line-separator
  bool modifyReadOnly = false;                                        // --modify-read-only
  bool modifyHidden = false;                                          // --modify-hidden
  bool dryRun = false;                                                // --dry-run
  bool interactive = false;                                           // --interactive
};

// When args[i] is a modify option, applies it (taking its value from the next argument),
// advances i past it and returns true; false for anything else. Throws UsageError for a
// missing or bad value.
bool consumeModifyOption(const std::vector<std::string>& args, std::size_t& i, ModifyArgs& out);

// Parses options (find and modify ones, anywhere) and returns the positional arguments.
// Throws UsageError for an unknown option.
std::vector<std::string> parseModifyArguments(const std::vector<std::string>& args,
                                              FindOptions& find, ModifyArgs& modify);

// Turns the parsed options into the run's two requests: `find.request` becomes a Search and
// Replace search (skipping ".bak" files while backups are on) and the returned
// ModifyRequest carries the query, the replacement and the modify settings. Throws
// UsageError for a query type other than phrase, multiline or regex, for clear with regex,
// or an unreadable --with-file.
modify::ModifyRequest buildModifyRequest(FindOptions& find, const ModifyArgs& args);

// Prints "FULLPATH<TAB>RESULT" for each row to standard output.
void printResults(const std::vector<search::ResultItem>& rows);

// 1 when no row, 3 when a row's Result is not "Modified", else 0.
int exitStatusOf(const std::vector<search::ResultItem>& rows);

// Prints warnings to standard error as "CAPTION: TEXT", each failed file as
// "FULLPATH: reason", and unified diffs of dry runs to standard output; poll() returns true
// once SIGINT (Ctrl+C), SIGTERM, SIGHUP or SIGPIPE arrived (the run then stops between
// files, with every finished file complete and journaled).
class ConsoleModifyObserver : public modify::ModifyObserver {
 public:
  ConsoleModifyObserver();
  bool poll() override;
  void warning(const modify::UserMessage& message) override;
  void fileFailed(const std::string& fullName, const std::string& reason) override;
  void preview(const std::string& fullName, std::string_view before,
               std::string_view after) override;
};

// While alive, the signals that stop a run (SIGINT, SIGTERM, SIGHUP) also break off a
// blocking read of a terminal or a pipe (it fails with EINTR instead of going on waiting),
// so that a question waiting for its answer ends at once. Needs a ConsoleModifyObserver
// made before it.
class InterruptibleReads {
 public:
  InterruptibleReads();
  ~InterruptibleReads();
  InterruptibleReads(const InterruptibleReads&) = delete;
  InterruptibleReads& operator=(const InterruptibleReads&) = delete;
};

// "CAPTION: TEXT" on standard error.
void printMessage(const modify::UserMessage& message);

// Runs the body of `ksr COMMAND` and returns its exit status. Its errors end it with status 2:
// a usage error as "ksr: TEXT (see ksr COMMAND --help)", search and modify errors as
// "CAPTION: TEXT", all on standard error.
int runGuarded(const char* command, const std::function<int()>& body);

// The undo history's folder in the data folder, the data folder created when missing.
// Throws std::runtime_error (or platform::PlatformError) when it cannot be created.
std::string historyFolder();

// The pass options of a replace or batch run (`origin` "ksr replace" or "ksr batch"): the
// run recorded in the undo history (except in a dry run), files changed only inside the
// searched folder. Throws modify::ModifyError "Cannot write the undo history: ..." when
// the data folder cannot be created.
modify::PassOptions consolePassOptions(const ModifyArgs& args, const std::string& folder,
                                       const char* origin);

// The lines of `ksr replace --help` that document the modify options.
const char* modifyOptionsHelp();

}  // namespace kestrix::cli
