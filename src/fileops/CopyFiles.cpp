// Copy Files: each source into the destination folder, asking before replacing a file.
#include <sys/stat.h>

#include "fileops/FileOps.h"
#include "platform/AtomicWrite.h"
#include "platform/Platform.h"

namespace kestrix::fileops {
namespace {

// True when `target` names the file `source` itself (the same path, or the same file
// reached through a link or another spelling of the folder).
bool sameFile(const std::string& source, const std::string& target) {
  if (source == target) return true;
  struct ::stat a {
  }, b{};
  if (::stat(source.c_str(), &a) != 0 || ::stat(target.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Copies through the safe write; returns the reason of a failure, or "".
std::string copyOne(const std::string& source, const std::string& target) {
  try {
    // Only regular files are copied: a pipe or device would block or never end.
    struct ::stat st {};
    if (::stat(source.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "not a regular file";
    const platform::FileInfo info = platform::stat(source);
    const std::string bytes = platform::readFile(source);
    platform::AtomicWriteBatch batch;
    batch.stage(target, bytes, info.mode);
    return batch.commit().front();
  } catch (const std::exception& error) {
    return error.what();
  }
}

}  // namespace

CopyOutcome copyFiles(const std::vector<std::string>& sources, const std::string& destination,
                      const AskOverwrite& askOverwrite) {
  CopyOutcome outcome;
  bool yesToAll = false;
  for (const std::string& source : sources) {
    const std::string target = platform::joinPath(destination, platform::nameOf(source));
    if (sameFile(source, target)) continue;
    struct ::stat st {};
    if (!yesToAll && ::lstat(target.c_str(), &st) == 0) {
      const Decision d = askOverwrite(target);
      if (d == Decision::Cancel) {
        outcome.cancelled = true;
        break;
      }
      if (d == Decision::YesToAll) yesToAll = true;
      if (d != Decision::Yes && d != Decision::YesToAll) continue;
    }
    const std::string reason = copyOne(source, target);
    if (reason.empty()) {
      outcome.copied.push_back(target);
    } else {
      outcome.failed.push_back(target + ": " + reason);
    }
  }
  return outcome;
}

}  // namespace kestrix::fileops
