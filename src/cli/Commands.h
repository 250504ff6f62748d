// The commands of the console front end `ksr`. Each takes the arguments after the program
// name (argv[0] is the command's own name) and returns the process exit status.
#pragma once

namespace kestrix::cli {

// Exit statuses shared by the commands.
inline constexpr int kExitListed = 0;  // at least one file was listed
inline constexpr int kExitNone = 1;    // nothing was listed
inline constexpr int kExitError = 2;   // an error ended the command (message on stderr)

// One entry of the dispatch table of main.cpp.
struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
  const char* summary;  // one line for `ksr --help`
};

// ksr find [options] QUERY [FOLDER]
int runFindCommand(int argc, char** argv);
// ksr replace [options] QUERY [FOLDER], ksr undo, ksr batch TABLE.tbl [options] [FOLDER]
int runReplaceCommand(int argc, char** argv);
int runUndoCommand(int argc, char** argv);
int runBatchCommand(int argc, char** argv);
// ksr history [--json] [--folder FOLDER] [--clear] [--max-size MB] [--max-runs N]
int runHistoryCommand(int argc, char** argv);
// ksr erase-backups [options] FOLDER
int runEraseBackupsCommand(int argc, char** argv);
const char* eraseBackupsHelp();  // the options of erase-backups, for --help

// Prints the help of `ksr` (every command and every find option) to standard output.
void printHelp(const Command* commands, int count);
// Prints "ksr (Kestrix Search & Replace) VERSION".
void printVersion();

}  // namespace kestrix::cli
