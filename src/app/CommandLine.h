// The window's command line as plain data: which kind of start the first argument asks
// for, the switches that run a search and Modify All without the user, and every message
// such a run reports before it starts, in the order it reports them.
//
// Syntax: the first argument is either "-path" plus one character (normally "=") plus the
// search folder, or the name of a project file. After a "-path" argument come switches,
// each recognised by its first four characters in any ASCII letter case, with leading
// blanks and control characters removed. "-com" (run) and "-shr" (show errors) must be
// exactly four characters once trailing blanks are removed; the switches ending in "="
// need a value, which is everything after the four characters as written: "-fr=" (log
// file), "-s1=" / "-r1=" (one-line search / replacement), "-s2=" / "-r2=" (multi-line
// texts, "|" between lines and "||" for a literal "|"), "-pt=" (folder), "-ms=" (masks),
// "-fs=" (file list). The arguments end at the first one that is empty.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "modify/ModificationType.h"

namespace kestrix::app {

// What the first argument asks the window to do when it is shown.
enum class StartKind {
  Plain,        // no arguments
  CommandLine,  // "-path...": set the folder, maybe run
  Project,      // anything else: open it as a project file and run nothing
};

struct StartArguments {
  StartKind kind = StartKind::Plain;
  // CommandLine: the first argument from its seventh character on (may be empty).
  std::string folder;
  // Project: the first argument without its leading blanks.
  std::string projectFile;
  bool commandLineRun = false;  // "-com"
  bool showErrors = false;      // "-shr"
  bool logErrors = false;       // "-fr=" with a file name
  std::string logFileName;
};

// Reads the first argument and the reporting switches ("-com", "-shr", "-fr=") that
// follow a "-path" argument. `args` are the arguments without the program name.
StartArguments parseStartArguments(const std::vector<std::string>& args);

// The folder the window takes from a "-path" start. An empty one is taken only by a run
// ("-com"), which then refuses it rather than search the remembered folder; a launcher that
// passes "-path=" without a folder leaves the remembered one. Nothing for other starts.
std::optional<std::string> startFolderOf(const StartArguments& start);

// The window's values that a command-line run reads and the switches can set.
struct CommandRunFields {
  std::string folder;
  std::string masks;
  bool phraseSearch = true;  // the Search and Replace tab's search type is Phrase
  modify::ModificationType modification = modify::ModificationType::None;
  std::string searchText;
  std::vector<std::string> searchLines;
  std::string replaceText;
  std::vector<std::string> replaceLines;
};

// What the window must do for "-com": set `fields`, then run Find, Modify All and, when
// `listFile` is not empty, save the list there; unless `messages` is not empty, in which
// case each is reported in order and nothing runs.
struct CommandRunPlan {
  CommandRunFields fields;
  std::string listFile;
  std::vector<std::string> messages;
  bool runs() const { return messages.empty(); }
};

// Applies the switches after the first argument to `current` (the window's values now),
// then validates the result. Unknown switches give "Incorrect parameter \"...\"" in
// argument order; the checks of the texts follow, each failing one giving its message.
CommandRunPlan planCommandRun(const std::vector<std::string>& args, CommandRunFields current);

// The lines of a "-s2=" / "-r2=" value: 'a|b||c|' gives 'a', 'b|c' and ''.
std::vector<std::string> splitSwitchLines(const std::string& value);

// `text` without its leading blanks and control characters (bytes up to the space).
std::string withoutLeadingBlanks(const std::string& text);

}  // namespace kestrix::app
