// The rename run: missing and protected files, clashes, and a rename that never replaces.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "fileops/Rename.h"
#include "platform/Platform.h"

namespace kestrix::fileops {

int renameNoReplace(const std::string& from, const std::string& to) {
#ifdef SYS_renameat2
  if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 1 /* NOREPLACE */) ==
      0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) return errno;
#endif
  // File systems without the no-replace rename: a new hard link fails when `to` exists.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  if (::unlink(from.c_str()) != 0) {
    const int error = errno;
    ::unlink(to.c_str());
    return error;
  }
  return 0;
}

namespace {

bool exists(const std::string& path) {
  struct ::stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

class RenameRun {
 public:
  RenameRun(const RenameRules& rules, bool several, const RenamePrompts& prompts)
      : rules_(rules), several_(several), prompts_(prompts) {}

  // Renames one file; returns false when the run ends.
  bool file(const std::string& fullName, std::optional<std::string>& newName) {
    if (!exists(fullName)) {
      prompts_.error("Cannot rename " + fullName + ": Cannot find the specified file.");
      return false;
    }
    if (!yesToAll_ && isProtected(fullName)) {
      const Decision d = prompts_.askProtected(fullName);
      if (d == Decision::Cancel) return false;
      if (d == Decision::YesToAll) yesToAll_ = true;
      if (d == Decision::Skip) return true;
    }
    const std::string name = platform::nameOf(fullName);
    std::string stem;
    const std::string wanted = buildNewName(name, rules_, &stem);
    if (wanted == name) return true;
    const std::string target = platform::joinPath(platform::folderOf(fullName), wanted);
    if (stem.empty()) {
      return problem("Cannot rename \"" + fullName + "\" to \"" + wanted + "\"", "");
    }
    const int error = exists(target) ? EEXIST : renameNoReplace(fullName, target);
    if (error == EEXIST) return clash(fullName, wanted);
    if (error != 0) return problem("Cannot rename " + fullName + ":", std::strerror(error));
    newName = wanted;
    return true;
  }

 private:
  bool clash(const std::string& fullName, const std::string& wanted) {
    return problem("Cannot rename " + fullName + ":",
                   "A file with the name you specified (" + wanted + ") already exists.");
  }
  // With several rows the user may go on; with one the message ends the run.
  bool problem(const std::string& line1, const std::string& line2) {
    if (several_) return prompts_.askGoOn(line1, line2);
    prompts_.error(line2.empty() ? line1 : line1 + " " + line2);
    return false;
  }

  const RenameRules& rules_;
  bool several_;
  const RenamePrompts& prompts_;
  bool yesToAll_ = false;
};

}  // namespace

RenameOutcome renameFiles(const std::vector<std::string>& fullNames, const RenameRules& rules,
                          bool several, const RenamePrompts& prompts) {
  RenameOutcome outcome;
  outcome.newNames.resize(fullNames.size());
  RenameRun run(rules, several, prompts);
  for (std::size_t i = 0; i < fullNames.size(); ++i) {
    const bool goOn = run.file(fullNames[i], outcome.newNames[i]);
    if (outcome.newNames[i]) outcome.renamedAny = true;
    if (!goOn) break;
  }
  return outcome;
}

}  // namespace kestrix::fileops
