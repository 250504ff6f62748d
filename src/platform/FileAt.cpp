// Descriptor-relative opening and reading (POSIX).
#include "platform/FileAt.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/Platform.h"

namespace kestrix::platform {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
  throw PlatformError(what + " " + path + ": " + std::strerror(err), err);
}

}  // namespace

UniqueFd openFolderBelow(int base, const std::vector<std::string>& components,
                         const std::string& displayName) {
  UniqueFd current(::fcntl(base, F_DUPFD_CLOEXEC, 0));
  if (!current) fail("Cannot open", displayName, errno);
  for (const std::string& name : components) {
    UniqueFd next(
        ::openat(current.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next) fail("Cannot open", displayName, errno);
    current = std::move(next);
  }
  return current;
}

UniqueFd openRegularAt(int dirFd, const std::string& name, const std::string& displayName,
                       struct ::stat& st) {
  UniqueFd fd(
      ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd) fail("Cannot open", displayName, errno);
  if (::fstat(fd.get(), &st) != 0) fail("Cannot examine", displayName, errno);
  if (!S_ISREG(st.st_mode)) {
    throw PlatformError("Cannot read " + displayName + ": not a regular file", EINVAL);
  }
  return fd;
}

void readAll(int fd, std::int64_t sizeHint, const std::string& displayName, std::string& out) {
  const auto cap = static_cast<std::size_t>(readCap());
  const std::size_t expected = sizeHint > 0 ? static_cast<std::size_t>(sizeHint) : 0;
  if (expected > cap) failTooLarge(displayName, readCap());
  out.resize(expected + 1);  // one byte more, so the end is seen without a regrow
  std::size_t used = 0;
  for (;;) {
    if (used > cap) failTooLarge(displayName, readCap());
    if (used == out.size()) out.resize(std::min(out.size() + out.size() / 2 + 4096, cap + 1));
    const ssize_t got = ::read(fd, out.data() + used, out.size() - used);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) fail("Cannot read", displayName, errno);
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  out.resize(used);
}

bool componentsBelow(std::string_view folder, std::string_view path,
                     std::vector<std::string>& components) {
  components.clear();
  if (folder != "/") {
    if (path.size() <= folder.size() + 1 || path.substr(0, folder.size()) != folder ||
        path[folder.size()] != '/') {
      return false;
    }
    path.remove_prefix(folder.size() + 1);
  } else {
    if (path.size() < 2 || path[0] != '/') return false;
    path.remove_prefix(1);
  }
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string_view::npos) slash = path.size();
    const std::string_view part = path.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    components.emplace_back(part);
    start = slash + 1;
  }
  return !components.empty();
}

std::string absoluteName(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(path, ec);
  if (ec) p = path;
  std::string out = p.lexically_normal().string();
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

namespace {

// The names of `path` ("" and "." dropped), in order.
std::vector<std::string> splitNames(std::string_view path) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string_view::npos) slash = path.size();
    const std::string_view part = path.substr(start, slash - start);
    if (!part.empty() && part != ".") names.emplace_back(part);
    start = slash + 1;
  }
  return names;
}

std::string joinNames(const std::vector<std::string>& names) {
  if (names.empty()) return "/";
  std::string out;
  for (const auto& n : names) out += "/" + n;
  return out;
}

// The target of the link `name` in `dirFd`, of any length.
std::string readLinkAt(int dirFd, const std::string& name, const std::string& shown) {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t got = ::readlinkat(dirFd, name.c_str(), target.data(), target.size());
    if (got < 0) fail("Cannot find", shown, errno);
    if (static_cast<std::size_t>(got) < target.size()) {
      target.resize(static_cast<std::size_t>(got));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

// Resolves the absolute `path` one component at a time through folder descriptors, so
// that its length does not matter: "..", "." and links are resolved as the system would,
// at most 40 links deep. One descriptor is held at a time ("..": the parent of the folder
// reached), so that a tree deeper than the descriptor limit resolves too.
std::string resolveInPieces(const std::string& path) {
  std::vector<std::string> pending = splitNames(path);
  std::reverse(pending.begin(), pending.end());  // the next name is at the back
  std::vector<std::string> done;
  auto openRoot = [&path] {
    UniqueFd root(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root) fail("Cannot find", path, errno);
    return root;
  };
  UniqueFd folder = openRoot();
  auto enter = [&](const char* name) {
    UniqueFd next(::openat(folder.get(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next) fail("Cannot find", path, errno);
    folder = std::move(next);
  };
  int links = 0;
  while (!pending.empty()) {
    const std::string name = std::move(pending.back());
    pending.pop_back();
    if (name == "..") {
      if (!done.empty()) {
        done.pop_back();
        enter("..");
      }
      continue;
    }
    struct ::stat st {};
    if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      fail("Cannot find", path, errno);
    }
    if (S_ISLNK(st.st_mode)) {
      if (++links > 40) fail("Cannot find", path, ELOOP);
      const std::string target = readLinkAt(folder.get(), name, path);
      std::vector<std::string> names = splitNames(target);
      pending.insert(pending.end(), names.rbegin(), names.rend());
      if (!target.empty() && target[0] == '/') {
        done.clear();
        folder = openRoot();
      }
      continue;
    }
    if (!pending.empty()) {  // the last name needs no descriptor
      if (!S_ISDIR(st.st_mode)) fail("Cannot find", path, ENOTDIR);
      enter(name.c_str());
    }
    done.push_back(name);
  }
  return joinNames(done);
}

}  // namespace

std::string realPath(const std::string& path) {
  const std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr),
                                                        std::free);
  if (!resolved) {
    if (errno != ENAMETOOLONG) fail("Cannot find", path, errno);
    return resolveInPieces(absoluteName(path));
  }
  return std::string(resolved.get());
}

UniqueFd openFolderOf(const std::string& fullName, std::string& leaf) {
  std::vector<std::string> components;
  if (!componentsBelow("/", fullName, components)) fail("Cannot open", fullName, EINVAL);
  leaf = components.back();
  components.pop_back();
  UniqueFd root(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!root) fail("Cannot open", fullName, errno);
  return openFolderBelow(root.get(), components, fullName);
}

}  // namespace kestrix::platform
