// How a command-line run of the window tells the job that started it what went wrong: the
// log of its errors ("-fr="), the files its Modify All could not change, a list file that
// could not be written, the exit status they give, and the lines a run without a display
// writes to standard error in place of the boxes nobody sees.
#pragma once

#include <string>
#include <vector>

#include "app/CommandLog.h"
#include "search/ResultItem.h"

namespace kestrix::app {

class CommandRunReport {
 public:
  // Starts over for a run; with `logErrors` ("-fr=") its log opens with `commandLine`.
  void begin(bool logErrors, const std::string& commandLine);
  // An error of the run, or a warning another command shows during it (`caption` is the
  // box's): either ends the run. With "-fr=" it is logged as warningLogLine() makes it.
  void error(const std::string& caption, const std::string& text);
  // Counts the rows of `items` whose Result is "Failed Modification"; returns their full
  // names, in order.
  std::vector<std::string> countFailedFiles(const std::vector<search::ResultItem>& items);
  void listNotWritten() { listFailed_ = true; }

  bool errorReported() const { return errorReported_; }
  // 1 when an error was reported, else 2 when a listed file could not be modified or the
  // list file could not be written, else 0.
  int exitStatus() const;
  // True the first time it is asked after an error of a run with "-fr=": the log is due.
  bool takeLogDue();
  const CommandLog& log() const { return log_; }

 private:
  CommandLog log_;
  bool logErrors_ = false;
  bool errorReported_ = false;
  bool logWritten_ = false;
  bool listFailed_ = false;
  int failedFiles_ = 0;
};

// The log line of a warning: "Error: " and the text for a regular-expression error
// (caption search::kRegexCaption), else the text alone.
std::string warningLogLine(const std::string& caption, const std::string& text);

// Lines for standard error, each ending in "\n": "kestrix: " and `message`; a file the run
// could not modify ("kestrix: NAME: Failed Modification"); a list file that could not be
// written ("kestrix: FILE: the list could not be written").
std::string errorLine(const std::string& message);
std::string failedFileLine(const std::string& fullName);
std::string listNotWrittenLine(const std::string& listFile);

}  // namespace kestrix::app
