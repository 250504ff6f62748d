// POSIX folders as descriptors: openat with O_NOFOLLOW, listing through a duplicate of the
// descriptor, the ".." check for walks deeper than the descriptors they keep open, and the
// file-system type test (statfs magic; devtmpfs, which reports the tmpfs magic, by its entry
// in the mount table).
#include "platform/FolderHandle.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kestrix::platform {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
constexpr long kConfigFsMagic = 0x62656570;
constexpr long kFuseCtlMagic = 0x65735543;

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
  throw PlatformError(what + " " + path + ": " + std::strerror(err), err);
}

// Opens `path` relative to `at` in pieces below the system's path limit, each ending at a
// "/"; a single piece behaves like openat.
int openInPieces(int at, std::string_view path, int flags) {
  UniqueFd held;
  while (path.size() >= PATH_MAX) {
    std::size_t cut = path.rfind('/', PATH_MAX - 1);
    if (cut == std::string_view::npos || cut == 0) {
      errno = ENAMETOOLONG;
      return -1;
    }
    const std::string piece(path.substr(0, cut));
    const int fd = ::openat(at, piece.c_str(), kFolderFlags);
    if (fd < 0) return -1;
    held = UniqueFd(fd);
    at = fd;
    path.remove_prefix(cut + 1);
  }
  const std::string last(path.empty() ? std::string_view(".") : path);
  return ::openat(at, last.c_str(), flags);
}

// One record of getdents64.
struct LinuxDirent {
  std::uint64_t inode;
  std::int64_t offset;
  unsigned short reclen;
  unsigned char type;
  char name[1];
};

EntryKind kindOf(mode_t mode) {
  if (S_ISREG(mode)) return EntryKind::File;
  if (S_ISDIR(mode)) return EntryKind::Directory;
  return EntryKind::Other;
}

FolderEntry entryAt(int fd, const char* name, unsigned char type) {
  FolderEntry entry{name, EntryKind::Other, type == DT_LNK};
  if (type == DT_DIR) entry.kind = EntryKind::Directory;
  if (type == DT_REG) entry.kind = EntryKind::File;
  if (type != DT_LNK && type != DT_UNKNOWN) return entry;
  struct ::stat st {};
  if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return entry;
  entry.link = S_ISLNK(st.st_mode);
  if (!entry.link) {
    entry.kind = kindOf(st.st_mode);
  } else if (::fstatat(fd, name, &st, 0) == 0 && S_ISREG(st.st_mode)) {
    entry.kind = EntryKind::File;  // a link to a folder stays Other: walks never follow it
  }
  return entry;
}

// The file-system type named in the mount table for the device `device`.
std::string mountedType(dev_t device) {
  std::ifstream table("/proc/self/mountinfo");
  const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
  for (std::string line; std::getline(table, line);) {
    std::istringstream fields(line);
    std::string id, parent, numbers;
    fields >> id >> parent >> numbers;
    if (numbers != wanted) continue;
    const std::size_t dash = line.find(" - ");
    if (dash == std::string::npos) continue;
    std::istringstream rest(line.substr(dash + 3));
    std::string type;
    rest >> type;
    return type;
  }
  return {};
}

}  // namespace

UniqueFd openFolder(const std::string& path) {
  const int fd = openInPieces(AT_FDCWD, path.empty() ? std::string_view(".") : path, kFolderFlags);
  if (fd < 0) fail("Cannot list", path, errno);
  return UniqueFd(fd);
}

UniqueFd openSubfolder(int parentFd, const std::string& name, const std::string& shown) {
  const int fd = ::openat(parentFd, name.c_str(), kFolderFlags | O_NOFOLLOW);
  if (fd < 0) fail("Cannot list", shown, errno == ELOOP ? ENOTDIR : errno);
  return UniqueFd(fd);
}

UniqueFd reopenParent(int childFd, const FileId& expected) {
  UniqueFd parent(::openat(childFd, "..", kFolderFlags | O_NOFOLLOW));
  if (!parent) fail("Cannot list", "..", errno);
  if (!(idOf(parent.get()) == expected)) fail("Cannot list", "..", ESTALE);
  return parent;
}

FileId idOf(int fd) {
  struct ::stat st {};
  if (::fstat(fd, &st) != 0) fail("Cannot examine", "folder", errno);
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::vector<FolderEntry> listFolder(int fd) {
  // The records are read straight from the descriptor in large batches: no duplicate
  // descriptor, no directory stream, and the entry types the records carry spare a stat
  // for every plain file and folder.
  if (::lseek(fd, 0, SEEK_SET) != 0) fail("Cannot list", "folder", errno);
  constexpr std::size_t kBatchBytes = std::size_t{64} << 10;
  thread_local std::unique_ptr<char[]> batch(new char[kBatchBytes]);
  std::vector<FolderEntry> entries;
  for (;;) {
    const long got = ::syscall(SYS_getdents64, fd, batch.get(), kBatchBytes);
    if (got < 0) {
      if (errno == EINTR) continue;
      fail("Cannot list", "folder", errno);
    }
    if (got == 0) break;
    for (long at = 0; at < got;) {
      const auto* e = reinterpret_cast<const LinuxDirent*>(batch.get() + at);
      at += e->reclen;
      const char* n = e->name;
      if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
      entries.push_back(entryAt(fd, n, e->type));
    }
  }
  return entries;
}

bool onVirtualFileSystem(int fd) {
  struct ::statfs fs {};
  if (::fstatfs(fd, &fs) != 0) return false;
  switch (static_cast<long>(fs.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case kConfigFsMagic:
    case kFuseCtlMagic:
      return true;
    case TMPFS_MAGIC:
    case RAMFS_MAGIC: {
      struct ::stat st {};
      return ::fstat(fd, &st) == 0 && mountedType(st.st_dev) == "devtmpfs";
    }
    default:
      return false;
  }
}

}  // namespace kestrix::platform
