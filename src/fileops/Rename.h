// The rules of the Rename Files dialog, their validation, the new-name builder, and the
// rename run over the selected files.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fileops/FileOps.h"

namespace kestrix::fileops {

struct RenameRules {
  std::string prefix{};
  std::string suffix{};
  bool remove = false;
  int firstPosition = 1;  // 1-based, at least 1
  int number = 1;         // at least 1
  bool newExtension = false;
  std::string extension{};
};

// Checks the rules in order and returns the first message (caption "Rename Files"), or
// nothing. Trims prefix and suffix, and with a new extension trims it and drops a leading
// dot, writing them back into `rules` as the dialog shows them.
std::optional<std::string> validateRules(RenameRules& rules);

// The name `name` gets: base and extension split at the last dot, the characters removed
// from the base, the new extension, prefix + base + suffix + ("." + extension when not
// empty). `stem` receives prefix + base + suffix.
std::string buildNewName(const std::string& name, const RenameRules& rules,
                         std::string* stem = nullptr);

// What the rename run asks and reports. Messages have the caption "Error Renaming File".
struct RenamePrompts {
  AskProtected askProtected;
  // Several rows: a rename that cannot be made, with the two lines of the question;
  // returns false to end the run (Cancel).
  std::function<bool(const std::string& line1, const std::string& line2)> askGoOn;
  // A message with OK that ends the run (or, for a clash of one row, ends it too).
  std::function<void(const std::string& text)> error;
};

struct RenameOutcome {
  // Per file: the new name when it was renamed.
  std::vector<std::optional<std::string>> newNames;
  bool renamedAny = false;
};

// Renames the files (full names) by the rules, in order; `several` tells whether more than
// one row is selected. A rename never replaces a file: an existing name is reported, and
// the rename itself refuses to replace a file that appears meanwhile.
RenameOutcome renameFiles(const std::vector<std::string>& fullNames, const RenameRules& rules,
                          bool several, const RenamePrompts& prompts);

// Renames `from` to `to` in one step without ever replacing `to`. Returns 0, or the errno
// (EEXIST when `to` exists).
int renameNoReplace(const std::string& from, const std::string& to);

}  // namespace kestrix::fileops
