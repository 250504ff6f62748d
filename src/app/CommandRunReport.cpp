// The report of a command-line run and its texts.
#include "app/CommandRunReport.h"

#include "search/SearchError.h"

namespace kestrix::app {

void CommandRunReport::begin(bool logErrors, const std::string& commandLine) {
  *this = CommandRunReport();
  logErrors_ = logErrors;
  if (logErrors_) log_.begin(commandLine);
}

void CommandRunReport::error(const std::string& caption, const std::string& text) {
  errorReported_ = true;
  if (logErrors_) log_.add(warningLogLine(caption, text));
}

std::vector<std::string> CommandRunReport::countFailedFiles(
    const std::vector<search::ResultItem>& items) {
  std::vector<std::string> names;
  for (const search::ResultItem& item : items)
    if (item.outcome.result == search::RowResult::FailedModification)
      names.push_back(item.fullName());
  failedFiles_ += static_cast<int>(names.size());
  return names;
}

int CommandRunReport::exitStatus() const {
  if (errorReported_) return 1;
  return failedFiles_ > 0 || listFailed_ ? 2 : 0;
}

bool CommandRunReport::takeLogDue() {
  if (!logErrors_ || !errorReported_ || logWritten_) return false;
  logWritten_ = true;
  return true;
}

std::string warningLogLine(const std::string& caption, const std::string& text) {
  return caption == search::kRegexCaption ? "Error: " + text : text;
}

std::string errorLine(const std::string& message) {
  return "kestrix: " + message + "\n";
}

std::string failedFileLine(const std::string& fullName) {
  const std::string_view word = search::resultWord(search::RowResult::FailedModification);
  return errorLine(fullName + ": " + std::string(word));
}

std::string listNotWrittenLine(const std::string& listFile) {
  return errorLine(listFile + ": the list could not be written");
}

}  // namespace kestrix::app
