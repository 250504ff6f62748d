// Delete Files: the listed files go to the trash; protected files are asked about first.
#include <sys/stat.h>

#include "fileops/FileOps.h"

namespace kestrix::fileops {

bool isProtected(const std::string& fullName) {
  struct ::stat st {};
  if (::lstat(fullName.c_str(), &st) != 0) return false;
  return (st.st_mode & S_IWUSR) == 0;
}

namespace {

void deselectFrom(DeleteOutcome& outcome, std::size_t first) {
  for (std::size_t k = first; k < outcome.deselected.size(); ++k) outcome.deselected[k] = true;
}

bool missing(const std::string& fullName) {
  struct ::stat st {};
  return ::lstat(fullName.c_str(), &st) != 0;
}

}  // namespace

DeleteOutcome deleteFiles(const std::vector<std::string>& fullNames, const TrashFunction& trash,
                          const AskProtected& askProtected) {
  DeleteOutcome outcome;
  outcome.deleted.assign(fullNames.size(), false);
  outcome.deselected.assign(fullNames.size(), false);
  bool yesToAllReadOnly = false;
  for (std::size_t i = 0; i < fullNames.size(); ++i) {
    const std::string& name = fullNames[i];
    if (missing(name)) {
      outcome.error = "Cannot delete " + name + ": Cannot find the specified file.";
      deselectFrom(outcome, i);
      break;
    }
    if (!yesToAllReadOnly && isProtected(name)) {
      const Decision d = askProtected(name);
      if (d == Decision::Cancel) {
        deselectFrom(outcome, i);
        break;
      }
      if (d == Decision::YesToAll) yesToAllReadOnly = true;
      if (d == Decision::Skip) {
        outcome.deselected[i] = true;
        continue;
      }
    }
    if (!trash(name)) {
      outcome.error = "Cannot delete " + name;
      deselectFrom(outcome, i);
      break;
    }
    outcome.deleted[i] = true;
  }
  return outcome;
}

}  // namespace kestrix::fileops
