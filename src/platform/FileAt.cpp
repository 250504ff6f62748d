// Descriptor-relative opening and reading (POSIX).
#include "platform/FileAt.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

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
  const std::size_t expected = sizeHint > 0 ? static_cast<std::size_t>(sizeHint) : 0;
  out.resize(expected + 1);  // one byte more, so the end is seen without a regrow
  std::size_t used = 0;
  for (;;) {
    if (used == out.size()) out.resize(out.size() + out.size() / 2 + 4096);
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

std::string realPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) fail("Cannot find", path, errno);
  std::string out(resolved);
  std::free(resolved);
  return out;
}

}  // namespace kestrix::platform
