// `ksr history`: lists the runs of the undo history (or clears it, or sets its limits).
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ModifyOptions.h"
#include "modify/DataFolder.h"
#include "modify/History.h"
#include "modify/HistoryTexts.h"
#include "platform/Platform.h"

namespace kestrix::cli {
namespace {

const char* const kHelp = R"(Usage: ksr history [options]
Lists the runs of the undo history, oldest first, one a line:
RUN<TAB>TIME<TAB>STATE<TAB>FILES<TAB>ORIGIN<TAB>FOLDER<TAB>WHAT
STATE is "done" (undoable), "undone", "undo interrupted" (ksr undo finishes it),
"running" or "damaged" (with the reason in place of WHAT). The window's runs and those of
ksr replace and ksr batch made with backups are all here; `ksr undo RUN` undoes one.
  --json            one JSON object per run, one a line
  --folder FOLDER   only the runs made in FOLDER
  --clear           remove the runs (with --folder, those of FOLDER only) and their
                    copies of the originals; the .bak files beside the files stay
  --max-size MB     keep the copies of the originals within MB megabytes (default 1024)
  --max-runs N      keep at most N runs (default 50); the oldest go first, the newest
                    always stays
Exit status: 0 listed or done, 1 the history is empty, 2 error.
)";

struct Args {
  bool json = false;
  bool clear = false;
  std::optional<std::string> folder;
  std::optional<long long> maxMegabytes;
  std::optional<long long> maxRuns;
};

long long positiveNumber(const std::string& option, const std::string& text) {
  std::size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || value <= 0) {
    throw UsageError(option + " needs a positive whole number");
  }
  return value;
}

Args parse(const std::vector<std::string>& args) {
  Args out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--json") {
      out.json = true;
    } else if (a == "--clear") {
      out.clear = true;
    } else if ((a == "--folder" || a == "--max-size" || a == "--max-runs") && !hasValue) {
      throw UsageError(a + " needs a value");
    } else if (a == "--folder") {
      out.folder = args[++i];
    } else if (a == "--max-size") {
      out.maxMegabytes = positiveNumber(a, args[++i]);
    } else if (a == "--max-runs") {
      out.maxRuns = positiveNumber(a, args[++i]);
    } else {
      throw UsageError("unknown argument " + a);
    }
  }
  return out;
}

const char* stateName(const modify::RunInfo& run) {
  switch (run.state) {
    case modify::RunState::Done:
      return "done";
    case modify::RunState::Undone:
      return "undone";
    case modify::RunState::UndoInterrupted:
      return "undo interrupted";
    case modify::RunState::Running:
      return "running";
    case modify::RunState::Damaged:
      return "damaged";
  }
  return "";
}

std::string lineOf(const modify::RunInfo& run, bool json) {
  const std::string what =
      run.state == modify::RunState::Damaged ? run.problem : run.header.summary;
  if (!json) {
    return run.id + "\t" + modify::localTimeText(run.header.timeSec) + "\t" + stateName(run) +
           "\t" + std::to_string(run.files) + "\t" + run.header.origin + "\t" + run.header.folder +
           "\t" + what + "\n";
  }
  const nlohmann::ordered_json record = {
      {"run", run.id},      {"time", run.header.timeSec},  {"state", stateName(run)},
      {"files", run.files}, {"origin", run.header.origin}, {"folder", run.header.folder},
      {"what", what},       {"bytes", run.bytes}};
  return record.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

int history(const Args& args) {
  const std::string folder = historyFolder();
  if (args.maxMegabytes || args.maxRuns) {
    modify::HistoryLimits limits = modify::readHistoryLimits(folder);
    if (args.maxMegabytes) limits.maxBytes = *args.maxMegabytes * 1024 * 1024;
    if (args.maxRuns) limits.maxRuns = static_cast<std::size_t>(*args.maxRuns);
    modify::writeHistoryLimits(folder, limits);
    const std::size_t dropped = modify::enforceHistoryLimits(folder, limits);
    std::fprintf(stderr, "%zu old run%s dropped\n", dropped, dropped == 1 ? "" : "s");
    return 0;
  }
  if (args.clear) {
    const std::size_t removed = modify::clearHistory(folder, args.folder);
    std::fprintf(stderr, "%zu run%s removed from the undo history\n", removed,
                 removed == 1 ? "" : "s");
    return 0;
  }
  const std::string wanted = args.folder ? modify::historyFolderName(*args.folder) : "";
  std::string out;
  for (const auto& run : modify::listRuns(folder)) {
    if (!args.folder || run.header.folder == wanted) out += lineOf(run, args.json);
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return out.empty() ? kExitNone : kExitListed;
}

}  // namespace

int runHistoryCommand(int argc, char** argv) {
  return runGuarded("history", [&] {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--help") {
      std::printf("%s", kHelp);
      return 0;
    }
    return history(parse(args));
  });
}

}  // namespace kestrix::cli
