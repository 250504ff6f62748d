// The questions of `ksr replace --interactive` and the run that writes the answers.
#include "cli/InteractiveReplace.h"

#include <cctype>

#include "cli/Color.h"
#include "cli/Commands.h"
#include "search/RowOutcome.h"

namespace kestrix::cli {
namespace {

constexpr const char* kQuestion = "Apply? [y]es [n]o [a]ll in this file [s]kip file [q]uit ";

// `text` with [from, from + length) marked, each of its lines after `prefix`.
std::string markedLines(const std::string& text, std::size_t from, std::size_t length,
                        const char* prefix, bool color, bool added) {
  const std::string open = color ? (added ? kAdded : kHit) : (added ? "{+" : "[-");
  const std::string close = color ? kReset : (added ? "+}" : "-]");
  const std::string marked =
      text.substr(0, from) + open + text.substr(from, length) + close + text.substr(from + length);
  std::string out = prefix;
  for (std::size_t i = 0; i < marked.size(); ++i) {
    const char c = marked[i];
    if (c == '\r' && i + 1 < marked.size() && marked[i + 1] == '\n') continue;
    if (c == '\r' || c == '\n') {
      out += '\n';
      out += prefix;
    } else {
      out += c;
    }
  }
  return out + "\n";
}

void showChange(std::FILE* out, const modify::FileChanges& file, const modify::Change& change,
                bool color) {
  const modify::ChangeLines lines = modify::linesOfChange(file, change);
  std::string header = file.fullName + ":" + std::to_string(change.firstLine);
  if (change.lastLine != change.firstLine)
    header.append("-").append(std::to_string(change.lastLine));
  if (color) header = kHeader + header + kReset;
  std::string text = header + "\n";
  text += markedLines(lines.before, lines.markFrom, lines.beforeLength, "- ", color, false);
  text += markedLines(lines.after, lines.markFrom, lines.afterLength, "+ ", color, true);
  std::fputs(text.c_str(), out);
}

// One answer read from `in`; Quit at its end, Stopped as soon as `stopped` says so (a stop
// signal breaks off the read).
Answer readAnswer(std::FILE* in, std::FILE* out, const std::function<bool()>& stopped) {
  auto stop = [&] { return stopped && stopped(); };
  for (;;) {
    std::fputs(kQuestion, out);
    std::fflush(out);
    std::string line;
    int c = 0;
    while (!stop() && (c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
    if (stop()) {
      std::fputs("\n", out);
      return Answer::Stopped;
    }
    if (c == EOF && line.empty()) {
      std::fputs("\n", out);
      return Answer::Quit;
    }
    const std::size_t at = line.find_first_not_of(" \t\r");
    switch (at == std::string::npos ? 0 : std::tolower(static_cast<unsigned char>(line[at]))) {
      case 'y':
        return Answer::Yes;
      case 'n':
        return Answer::No;
      case 'a':
        return Answer::AllInFile;
      case 's':
        return Answer::SkipFile;
      case 'q':
        return Answer::Quit;
      default:
        break;  // asked again
    }
  }
}

}  // namespace

std::vector<modify::Accepted> askForChanges(const modify::Review& review, std::FILE* in,
                                            std::FILE* out, bool color,
                                            const std::function<bool()>& stopped) {
  std::vector<modify::Accepted> accepted;
  for (const modify::FileChanges& file : review.files) {
    accepted.emplace_back(file.changes.size(), false);
  }
  for (std::size_t f = 0; f < review.files.size(); ++f) {
    const modify::FileChanges& file = review.files[f];
    for (std::size_t c = 0; c < file.changes.size(); ++c) {
      showChange(out, file, file.changes[c], color);
      const Answer answer = readAnswer(in, out, stopped);
      if (answer == Answer::Quit || answer == Answer::Stopped) return accepted;
      if (answer == Answer::SkipFile) break;
      if (answer == Answer::AllInFile) {
        std::fill(accepted[f].begin() + static_cast<std::ptrdiff_t>(c), accepted[f].end(), true);
        break;
      }
      accepted[f][c] = answer == Answer::Yes;
    }
  }
  return accepted;
}

int replaceInteractively(const modify::ModifyRequest& request,
                         std::vector<search::ResultItem>& rows, const ModifyArgs& args,
                         const FindOptions& find, ConsoleModifyObserver& observer) {
  const modify::Review review =
      modify::reviewModifyPass(request, rows, {}, observer, find.request.folder);
  for (const modify::FileFailurePreview& failure : review.failures) {
    observer.fileFailed(failure.fullName, failure.reason);
  }
  if (review.stopped) return kExitError;
  std::vector<modify::Accepted> accepted;
  {
    const InterruptibleReads interruptible;
    accepted = askForChanges(review, stdin, stdout, colorWanted(find.color, stdout),
                             [&observer] { return observer.poll(); });
  }
  if (observer.poll()) return kExitError;  // stopped while asking: nothing is written
  modify::UndoJournal journal;
  const modify::PassSummary summary =
      modify::applyReview(request, rows, review, accepted, journal, observer,
                          consolePassOptions(args, find.request.folder, "ksr replace"));
  for (const search::ResultItem& row : rows) {
    const search::RowResult result = row.outcome.result;
    if (result == search::RowResult::Modified || result == search::RowResult::FailedModification) {
      std::printf("%s\t%s\n", row.fullName().c_str(),
                  std::string(search::resultWord(result)).c_str());
    }
  }
  if (summary.stopped) return kExitError;
  return summary.failed > 0 || !review.failures.empty() ? kExitSomeFailed : kExitListed;
}

}  // namespace kestrix::cli
