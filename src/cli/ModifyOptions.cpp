// Parsing of the modify options, the console observer and the shared output of the
// modifying commands.
#include "cli/ModifyOptions.h"

#include "cli/Commands.h"

#include <signal.h>

#include <csignal>
#include <cstdio>
#include <new>

#include "modify/DataFolder.h"
#include "modify/History.h"
#include "modify/TemporaryLog.h"
#include "modify/UnifiedDiff.h"
#include "platform/AtomicWrite.h"
#include "platform/Platform.h"
#include "search/QueryLines.h"
#include "search/SearchError.h"

namespace kestrix::cli {
namespace {

using modify::LineSeparator;
using modify::ModificationType;

volatile std::sig_atomic_t interrupted = 0;
extern "C" void onInterrupt(int) {
  interrupted = 1;
}

const std::string& valueAfter(const std::vector<std::string>& args, std::size_t& i) {
  if (i + 1 >= args.size()) throw UsageError("missing value after " + args[i]);
  return args[++i];
}

ModificationType parseMode(const std::string& v) {
  if (v == "replace") return ModificationType::Replace;
  if (v == "insert-before") return ModificationType::InsertBefore;
  if (v == "insert-after") return ModificationType::InsertAfter;
  if (v == "delete") return ModificationType::Delete;
  if (v == "clear") return ModificationType::Clear;
  throw UsageError("bad --mode \"" + v +
                   "\" (replace, insert-before, insert-after, delete, clear)");
}

LineSeparator parseSeparator(const std::string& v) {
  if (v == "keep") return LineSeparator::Keep;
  if (v == "unix") return LineSeparator::Unix;
  if (v == "windows") return LineSeparator::Windows;
  if (v == "mac") return LineSeparator::Macintosh;
  throw UsageError("bad --line-separator \"" + v + "\" (keep, unix, windows, mac)");
}

std::string readWithFile(const std::string& path) {
  try {
    return platform::readRegularFile(path, kMaxTextFileBytes);
  } catch (const platform::PlatformError& e) {
    throw UsageError(std::string("cannot read --with-file: ") + e.what());
  }
}

}  // namespace

bool consumeModifyOption(const std::vector<std::string>& args, std::size_t& i, ModifyArgs& out) {
  const std::string& arg = args[i];
  if (arg == "--with") {
    out.withText = valueAfter(args, i);
  } else if (arg == "--with-file") {
    out.withFile = valueAfter(args, i);
  } else if (arg == "--mode") {
    out.mode = parseMode(valueAfter(args, i));
  } else if (arg == "--line-separator") {
    out.separator = parseSeparator(valueAfter(args, i));
  } else if (arg == "--no-backup") {
    out.noBackup = true;
  } else if (arg == "--modify-read-only") {
    out.modifyReadOnly = true;
  } else if (arg == "--modify-hidden") {
    out.modifyHidden = true;
  } else if (arg == "--dry-run") {
    out.dryRun = true;
  } else if (arg == "--interactive") {
    out.interactive = true;
  } else {
    return false;
  }
  return true;
}

std::vector<std::string> parseModifyArguments(const std::vector<std::string>& args,
                                              FindOptions& find, ModifyArgs& modify) {
  find.request.folder.assign(1, '.');  // "." (assign: GCC 12 warns falsely on = ".")
  std::vector<std::string> positional;
  bool onlyPositional = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!onlyPositional && arg == "--") {
      onlyPositional = true;
    } else if (onlyPositional || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
    } else if (!consumeModifyOption(args, i, modify) && !consumeFindOption(args, i, find)) {
      if (arg.rfind("--", 0) == 0) throw UsageError("unknown option " + arg);
      positional.push_back(arg);
    }
  }
  return positional;
}

modify::ModifyRequest buildModifyRequest(FindOptions& find, const ModifyArgs& args) {
  search::SearchRequest& s = find.request;
  using search::QueryType;
  if (!search::queryTypeInfo(s.queryType).onReplaceTab) {
    throw UsageError("modifications run with --type phrase, multiline or regex");
  }
  if (s.queryType == QueryType::RegExpr && args.mode == ModificationType::Clear) {
    throw UsageError("--mode clear cannot be used with --type regex");
  }
  s.origin = search::Origin::SearchAndReplace;
  s.createBackups = !args.noBackup;  // a dry run lists what the real run would
  modify::ModifyRequest m = modify::fromSearchRequest(s);
  m.modificationType = args.mode;
  const std::string with =
      args.withFile.empty() ? args.withText.value_or("") : readWithFile(args.withFile);
  const std::vector<std::string> withLines = search::splitQueryLines(with);
  if (s.queryType == QueryType::Phrase) {
    m.replacementText = args.withFile.empty() || withLines.empty() ? with : withLines.front();
  } else {
    m.replacementLines = withLines;
  }
  m.modifyReadOnly = args.modifyReadOnly;
  m.modifyHidden = args.modifyHidden;
  m.lineSeparator = args.separator;
  m.scope = modify::ModifyScope::All;
  return m;
}

void printResults(const std::vector<search::ResultItem>& rows) {
  std::string out;
  for (const auto& row : rows)
    out += row.fullName() + "\t" + std::string(search::resultWord(row.outcome.result)) + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

int exitStatusOf(const std::vector<search::ResultItem>& rows) {
  if (rows.empty()) return kExitNone;
  for (const auto& row : rows) {
    if (row.outcome.result != search::RowResult::Modified) return kExitSomeFailed;
  }
  return kExitListed;
}

ConsoleModifyObserver::ConsoleModifyObserver() {
  // Each of these ends the run as cleanly as Ctrl+C: a closed output pipe (ksr replace ...
  // | head -1) included, whose writes then fail instead of killing the process.
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) std::signal(sig, onInterrupt);
  platform::ignoreFileSizeSignal();  // a write past the size limit fails that file (EFBIG)
}

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Installs the stop handler on the stop signals, restarting interrupted reads or not.
void installStopHandler(bool restartReads) {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = restartReads ? SA_RESTART : 0;
  for (int sig : kStopSignals) sigaction(sig, &action, nullptr);
}

}  // namespace

InterruptibleReads::InterruptibleReads() {
  installStopHandler(false);
}

InterruptibleReads::~InterruptibleReads() {
  installStopHandler(true);
}

bool ConsoleModifyObserver::poll() {
  return interrupted != 0;
}

void ConsoleModifyObserver::warning(const modify::UserMessage& message) {
  printMessage(message);
}

void ConsoleModifyObserver::fileFailed(const std::string& fullName, const std::string& reason) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s: %s\n", fullName.c_str(), reason.c_str());
}

void ConsoleModifyObserver::preview(const std::string& fullName, std::string_view before,
                                    std::string_view after) {
  const std::string diff = modify::unifiedDiff(fullName, before, after);
  std::fwrite(diff.data(), 1, diff.size(), stdout);
}

void printMessage(const modify::UserMessage& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), message.text.c_str());
}

std::string historyFolder() {
  return modify::historyFolderIn(modify::ensureDataFolder());
}

modify::PassOptions consolePassOptions(const ModifyArgs& args, const std::string& folder,
                                       const char* origin) {
  modify::PassOptions options;
  options.dryRun = args.dryRun;
  options.refreshHits = false;
  options.searchedFolder = folder;
  if (args.dryRun) return options;
  try {
    options.temporaryLog = modify::temporaryLogPath(modify::ensureDataFolder());
    options.historyFolder = historyFolder();
    options.historyHeader.origin = origin;
  } catch (const std::exception& e) {
    throw modify::ModifyError(modify::kProgramCaption,
                              std::string("Cannot write the undo history: ") + e.what());
  }
  return options;
}

const char* modifyOptionsHelp() {
  return R"(Modify options (ksr replace [options] QUERY [FOLDER]; ksr batch TABLE.tbl [options] [FOLDER]):
  --with TEXT           the replacement or inserted text (multiline/regex: lines split at
                        line feeds; regex: a template with $1, ${1}, $& and \ escapes);
                        required except with --mode delete or clear (--with '' deletes)
  --with-file FILE      read it from FILE (phrase: its first line; a regular file of at
                        most 16 MiB)
  --mode M              replace (default), insert-before, insert-after, delete, clear
                        (clear blanks the match; not with regex)
  --no-backup           make no FILE.bak backups (the run cannot be undone); with
                        backups the run is recorded in the undo history (ksr history),
                        and a FILE.bak this program did not make is kept, the original
                        going to the history instead
  --line-separator S    line breaks of changed files: keep (default: each line keeps its
                        own, only the matches change), unix, windows, mac
  --modify-read-only    also change read-only files (they stay read-only); needs backups:
                        with --no-backup a read-only file always fails
  --modify-hidden       also change hidden files (names starting with ".", and files
                        inside folders whose names start with ".", like .git)
  --dry-run             change nothing; print a unified diff of each file instead
  --interactive         show each change (the changed words marked) and ask "Apply? [y]es
                        [n]o [a]ll in this file [s]kip file [q]uit"; the answers are read a
                        line each from standard input (the terminal, or a pipe for scripts),
                        and only the accepted changes are written (ksr replace only)
Only --type phrase, multiline and regex can modify. Output: FULLPATH<TAB>RESULT per listed
file ("Modified" or "Failed Modification"; the reason of each failure goes to standard
error as FULLPATH: reason). A file is changed once per run, only when its real path lies
inside FOLDER; its mode, owner and group are kept. With backups each change is recorded
in the data folder before it is made, and `ksr undo` restores the run, even one that was
interrupted (FULLPATH<TAB>Undid or Failed Undo; a file changed since the run is left).
Exit status: 0 all listed files changed, 1 nothing listed, 2 error, 3 some files failed.
)";
}

int runGuarded(const char* command, const std::function<int()>& body) {
  try {
    return body();
  } catch (const UsageError& error) {
    std::fprintf(stderr, "ksr: %s (see ksr %s --help)\n", error.what(), command);
  } catch (const search::SearchError& error) {
    printMessage({error.caption(), error.text()});
  } catch (const modify::ModifyError& error) {
    printMessage(error.message());
  } catch (const std::bad_alloc&) {
    // Every file is old or new by now: the pass's temporaries went with the unwinding.
    std::fprintf(stderr, "ksr: %s: not enough memory\n", command);
  }
  return kExitError;
}

}  // namespace kestrix::cli
