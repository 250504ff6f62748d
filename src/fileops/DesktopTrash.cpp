// Moving a file to the freedesktop.org trash of its file system: the info file first (its
// name reserved with O_EXCL), then one rename; tested in DesktopTrashTest.
#include "fileops/DesktopTrash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string_view>

namespace kestrix::fileops {
namespace {

struct TrashPlace {
  std::string folder;    // holds "files" and "info"
  std::string infoPath;  // the Path= value: absolute, or relative to the mount's top folder
};

std::string parentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

// A folder of ours: made (0700) when missing; true when it is a real folder, not a link.
bool ownFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

bool trashFolders(const std::string& folder) {
  return ownFolder(folder) && ownFolder(folder + "/files") && ownFolder(folder + "/info");
}

// The top folder of the mount `device` that holds `path`.
std::string mountTop(std::string path, dev_t device) {
  while (path != "/") {
    const std::string up = parentOf(path);
    struct stat st {};
    if (::stat(up.c_str(), &st) != 0 || st.st_dev != device) break;
    path = up;
  }
  return path;
}

std::optional<TrashPlace> placeFor(const std::string& fullName, const std::string& homeTrash) {
  struct stat file {};
  if (fullName.empty() || fullName[0] != '/' || ::lstat(fullName.c_str(), &file) != 0)
    return std::nullopt;
  // The home trash's parents (the data home) may not exist yet.
  std::error_code ignored;
  if (!homeTrash.empty()) std::filesystem::create_directories(parentOf(homeTrash), ignored);
  struct stat home {};
  if (!homeTrash.empty() && trashFolders(homeTrash) && ::stat(homeTrash.c_str(), &home) == 0 &&
      home.st_dev == file.st_dev)
    return TrashPlace{homeTrash, fullName};
  const std::string top = mountTop(parentOf(fullName), file.st_dev);
  const std::string relative = fullName.substr(top == "/" ? 1 : top.size() + 1);
  const std::string uid = std::to_string(::getuid());
  struct stat shared {};
  const std::string sharedTrash = (top == "/" ? "" : top) + "/.Trash";
  if (::lstat(sharedTrash.c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
      (shared.st_mode & S_ISVTX) && trashFolders(sharedTrash + "/" + uid))
    return TrashPlace{sharedTrash + "/" + uid, relative};
  const std::string own = (top == "/" ? "" : top) + "/.Trash-" + uid;
  if (trashFolders(own)) return TrashPlace{own, relative};
  return std::nullopt;
}

// The path as a URL path: bytes other than unreserved characters and "/" as %XX.
std::string encodedPath(std::string_view path) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : path) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string infoText(const std::string& path) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  ::localtime_r(&now, &tm);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &tm);
  return "[Trash Info]\nPath=" + encodedPath(path) + "\nDeletionDate=" + date + "\n";
}

bool writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return ::fsync(fd) == 0;
}

}  // namespace

std::string homeTrashFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return std::string(data) + "/Trash";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share/Trash";
  return {};
}

bool moveToTrash(const std::string& name, const std::string& homeTrash) {
  std::error_code failed;
  const std::string fullName =
      name.empty() || name[0] == '/' ? name : std::filesystem::absolute(name, failed).string();
  const std::optional<TrashPlace> place = placeFor(fullName, homeTrash);
  if (!place) return false;
  const std::string text = infoText(place->infoPath);
  const std::string base = nameOf(fullName);
  for (int attempt = 1; attempt < 10000; ++attempt) {
    const std::string name = attempt == 1 ? base : base + "." + std::to_string(attempt);
    const std::string info = place->folder + "/info/" + name + ".trashinfo";
    const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return false;
    const bool written = writeAll(fd, text);
    ::close(fd);
    const std::string target = place->folder + "/files/" + name;
    struct stat taken {};
    const bool free = ::lstat(target.c_str(), &taken) != 0 && errno == ENOENT;
    if (written && free && ::rename(fullName.c_str(), target.c_str()) == 0) return true;
    ::unlink(info.c_str());
    if (written && !free) continue;  // a file without its info file holds the name
    return false;
  }
  return false;
}

}  // namespace kestrix::fileops
