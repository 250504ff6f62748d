// The log of a command-line run: "Command Line: " and the process's command line, an
// empty line, then one line per reported error. It reaches its file only when an error
// was reported, through the safe write, each line ending in CR LF.
#pragma once

#include <string>
#include <vector>

namespace kestrix::app {

class CommandLog {
 public:
  // Adds the two opening lines.
  void begin(const std::string& commandLine);
  void add(const std::string& message);

  const std::vector<std::string>& lines() const { return lines_; }
  // Every line followed by CR LF.
  std::string text() const;
  // Replaces `path` with text(); the written file is left writable by its owner, so that
  // a later run can replace a file that was read-only. Throws platform::AtomicWriteError.
  void writeTo(const std::string& path) const;

 private:
  std::vector<std::string> lines_;
};

// The process's command line as one text a POSIX shell reads back into the same words:
// words made only of safe characters stay as they are, every other word is put in single
// quotes (a quote inside becomes '\''), an empty word becomes ''.
std::string shellCommandLine(const std::vector<std::string>& words);

}  // namespace kestrix::app
