// Undo of the in-memory journal: each backup renamed over its file, attributes kept.
#include "modify/Undo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

#include "modify/Backup.h"
#include "modify/ContentHash.h"
#include "modify/Interval.h"
#include "modify/UndoRows.h"
#include "platform/FileAt.h"
#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/Find.h"

namespace kestrix::modify {
namespace {

// A journal file reached through folder descriptors: its folder, opened from "/" without
// following a link, and its name there. Every step of an undo works relative to the
// folder, so a folder swapped for a link since the run cannot redirect it, and names of
// any length work.
struct Place {
  platform::UniqueFd folder;
  std::string name;
  std::string fullName;

  std::string backup() const { return backupName(name); }
};

[[noreturn]] void fail(const Place& p, int err) {
  throw platform::PlatformError("Cannot undo " + p.fullName + ": " + std::strerror(err), err);
}

// The entry `name` of the place's folder, links not followed; false when it is missing.
bool statAt(const Place& p, const std::string& name, struct ::stat& st) {
  if (::fstatat(p.folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return true;
  if (errno != ENOENT) fail(p, errno);
  return false;
}

void unlinkAt(const Place& p, const std::string& name) {
  if (::unlinkat(p.folder.get(), name.c_str(), 0) != 0) fail(p, errno);
}

// Gives the entry `name` the owner and group (when `owner`; the owner first, since that
// clears setuid and setgid) and then the mode, through the file itself, never a link.
void setAttributes(const Place& p, const std::string& name, std::optional<std::uint32_t> mode,
                   const UndoEntry* owner) {
  if (!mode && !owner) return;
  platform::UniqueFd fd(::openat(p.folder.get(), name.c_str(),
                                 O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd) {
    // A file we may not read (mode 0200): its mode is still ours to set, once it is
    // known to be a regular file.
    struct ::stat st {};
    if (!statAt(p, name, st) || !S_ISREG(st.st_mode)) fail(p, ELOOP);
    if (mode && ::fchmodat(p.folder.get(), name.c_str(), *mode, 0) != 0) fail(p, errno);
    return;
  }
  if (owner && ::fchown(fd.get(), owner->uid, owner->gid) != 0) {
    [[maybe_unused]] int ignored = ::fchown(fd.get(), static_cast<uid_t>(-1), owner->gid);
  }
  if (mode && ::fchmod(fd.get(), *mode) != 0) fail(p, errno);
}

// Puts the backup in place of the file with one rename, after giving the backup the mode
// `finalMode` (else the mode a protected file had) and the owner: a kill at any point
// leaves the file either as the run left it or restored, never missing, and no temporary
// name is needed that could meet a file of the user's. Throws platform::PlatformError;
// the modified file is then still in place.
void restoreFromBackup(const Place& p, std::optional<std::uint32_t> finalMode,
                       const UndoEntry* owner, const platform::AtomicWriteOps& ops) {
  struct ::stat st {};
  if (!statAt(p, p.name, st)) fail(p, ENOENT);
  std::optional<std::uint32_t> savedMode;
  if ((st.st_mode & S_IWUSR) == 0 || p.name[0] == '.') savedMode = st.st_mode & 07777;
  if (finalMode) savedMode = finalMode;
  setAttributes(p, p.backup(), savedMode, owner);
  const int rc =
      ops.rename ? ops.rename(p.folder.get(), p.backup().c_str(), p.name.c_str())
                 : ::renameat(p.folder.get(), p.backup().c_str(), p.folder.get(), p.name.c_str());
  if (rc != 0) fail(p, errno);
}

// Why `name` cannot take part in an undo ("" when it is a regular file, links not followed).
std::string notRegular(const Place& p, const std::string& name, const char* missing) {
  struct ::stat st {};
  if (!statAt(p, name, st)) return missing;
  return S_ISREG(st.st_mode) ? "" : "not a regular file";
}

ContentStamp stampAt(const Place& p, const std::string& name, std::int64_t* mtimeNs = nullptr) {
  return stampOfFileAt(p.folder.get(), name, p.fullName, mtimeNs);
}

// True when the run never replaced the file (it was stopped first): it still has the
// content it had before. A backup of the same bytes that the run left is removed.
bool neverReplaced(const Place& p, const UndoEntry& e) {
  if (!(stampAt(p, p.name) == e.before)) return false;
  struct ::stat st {};
  if (statAt(p, p.backup(), st) && S_ISREG(st.st_mode) && stampAt(p, p.backup()) == e.before) {
    unlinkAt(p, p.backup());
  }
  return true;
}

// Throws std::runtime_error with the reason when the file or its backup changed since the
// run (size, time or content), so that undo never overwrites a later edit.
void requireUnchanged(const Place& p, const UndoEntry& e) {
  std::int64_t mtimeNs = 0;
  if (!(stampAt(p, p.name, &mtimeNs) == e.after) || mtimeNs != e.afterMtimeNs) {
    throw std::runtime_error("changed since the run");
  }
  if (!(stampAt(p, p.backup()) == e.before)) {
    throw std::runtime_error("the backup changed since the run");
  }
}

std::string reasonOf(const platform::PlatformError& error) {
  if (error.errorCode() == ELOOP || error.errorCode() == ENOTDIR) {
    return "a link on its path changed since the run";
  }
  return std::strerror(error.errorCode());
}

// Undoes one entry; returns the reason it failed, or "" when it was undone.
std::string undoOne(const UndoEntry& e, const platform::AtomicWriteOps& ops) {
  try {
    Place p;
    p.fullName = e.fullName;
    p.folder = platform::openFolderOf(e.fullName, p.name);
    if (auto why = notRegular(p, p.name, "the file is missing"); !why.empty()) return why;
    if (e.stamped && neverReplaced(p, e)) return "";
    if (auto why = notRegular(p, p.backup(), "the backup is missing"); !why.empty()) {
      return why;
    }
    if (e.stamped) requireUnchanged(p, e);
    restoreFromBackup(p, e.stamped ? std::optional<std::uint32_t>(e.mode) : std::nullopt,
                      e.stamped ? &e : nullptr, ops);
    return "";
  } catch (const platform::PlatformError& error) {
    return reasonOf(error);
  } catch (const std::runtime_error& error) {
    return error.what();
  }
}

}  // namespace

UndoSummary undoLastRun(UndoJournal& journal, std::vector<search::ResultItem>& rows,
                        ModifyObserver& observer, const UndoOptions& options) {
  UndoRows marks(rows, options);
  UndoSummary summary;
  std::size_t done = 0;
  for (const UndoEntry& entry : journal.entries) {
    const std::string& file = entry.fullName;
    observer.fileStarted(file);
    const std::string reason = undoOne(entry, options.writeOps);
    const bool undone = reason.empty();
    if (!undone) observer.fileFailed(file, reason);
    summary.outcomes.push_back({file, undone, reason});
    ++done;
    marks.mark(file, reason, observer);
    if (observer.poll()) {
      summary.stopped = true;
      break;
    }
  }
  journal.entries.erase(journal.entries.begin(),
                        journal.entries.begin() + static_cast<std::ptrdiff_t>(done));
  return summary;
}

}  // namespace kestrix::modify
