// The command-line run's log and the re-quoted command line of its first line.
#include "app/CommandLog.h"

#include <sys/stat.h>

#include <cctype>
#include <cstring>

#include "platform/AtomicWrite.h"

namespace kestrix::app {

namespace {

bool isSafeShellChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 0x80) return true;  // bytes of multi-byte characters need no quoting
  return std::isalnum(u) != 0 || std::strchr("_-+=:,./@%", c) != nullptr;
}

std::string shellWord(const std::string& word) {
  bool safe = !word.empty();
  for (char c : word) safe = safe && isSafeShellChar(c);
  if (safe) return word;
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

}  // namespace

void CommandLog::begin(const std::string& commandLine) {
  lines_.push_back("Command Line: " + commandLine);
  lines_.emplace_back();
}

void CommandLog::add(const std::string& message) {
  lines_.push_back(message);
}

std::string CommandLog::text() const {
  std::string text;
  for (const std::string& line : lines_) text += line + "\r\n";
  return text;
}

void CommandLog::writeTo(const std::string& path) const {
  platform::writeFileAtomically(path, text());
  struct ::stat st {};
  if (::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0)
    ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

std::string shellCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    line += shellWord(word);
  }
  return line;
}

}  // namespace kestrix::app
