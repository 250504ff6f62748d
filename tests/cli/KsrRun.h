// Test helper: runs the real `ksr` executable in a temporary tree and captures its output.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../search/TempTree.h"

namespace kestrix::testing {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the shell `command`; its standard output and exit status (-1 when killed).
inline RunResult runShell(const std::string& command) {
  RunResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// Runs ksr with `args` in `folder`; captures stdout and stderr.
inline RunResult ksr(const TempTree& tree, const std::vector<std::string>& args) {
  std::string command = "cd " + shellQuote(tree.path()) + " && LC_ALL=C " KSR_EXECUTABLE;
  for (const auto& a : args) command += " " + shellQuote(a);
  command += " 2>" + shellQuote(tree.at("stderr.out"));
  RunResult result = runShell(command);
  char buffer[4096];
  std::size_t n;
  FILE* err = std::fopen(tree.at("stderr.out").c_str(), "r");
  while (err && (n = std::fread(buffer, 1, sizeof buffer, err)) > 0) result.err.append(buffer, n);
  if (err) std::fclose(err);
  return result;
}

}  // namespace kestrix::testing
