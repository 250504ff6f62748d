// Listing, reading and copying extended attributes through descriptors (Linux xattr calls).
#include "platform/ExtendedAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstring>

#include "platform/Platform.h"

namespace kestrix::platform {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
  throw PlatformError(what + " " + path + ": " + std::strerror(err), err);
}

bool unsupported(int err) {
  return err == ENOTSUP || err == ENOSYS;
}

// The names of the attributes of `fd`, NUL-separated as the system lists them. The list can
// grow between the size query and the read (ERANGE): then it is asked again.
std::string listNames(int fd, const std::string& displayName) {
  for (;;) {
    const ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size < 0 && unsupported(errno)) return {};
    if (size < 0) fail("Cannot list the attributes of", displayName, errno);
    std::string names(static_cast<std::size_t>(size), '\0');
    const ssize_t got = size == 0 ? 0 : ::flistxattr(fd, names.data(), names.size());
    if (got < 0 && errno == ERANGE) continue;
    if (got < 0) fail("Cannot list the attributes of", displayName, errno);
    names.resize(static_cast<std::size_t>(got));
    return names;
  }
}

// The value of `name`; false when it went away meanwhile.
bool readValue(int fd, const std::string& name, const std::string& displayName,
               std::string& value) {
  for (;;) {
    const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
    if (size < 0 && errno == ENODATA) return false;
    if (size < 0) fail("Cannot read the attributes of", displayName, errno);
    value.assign(static_cast<std::size_t>(size), '\0');
    const ssize_t got = size == 0 ? 0 : ::fgetxattr(fd, name.c_str(), value.data(), value.size());
    if (got < 0 && errno == ERANGE) continue;
    if (got < 0 && errno == ENODATA) return false;
    if (got < 0) fail("Cannot read the attributes of", displayName, errno);
    value.resize(static_cast<std::size_t>(got));
    return true;
  }
}

// Security labels and trusted values may need privileges the process lacks; the rest
// (ACLs, user.*) says who may read the file and must never be dropped.
bool mayBeSkipped(const std::string& name, int err) {
  const bool privileged = name.rfind("security.", 0) == 0 || name.rfind("trusted.", 0) == 0;
  return privileged && (err == EPERM || err == EACCES || unsupported(err));
}

}  // namespace

std::vector<ExtendedAttribute> readExtendedAttributes(int fd, const std::string& displayName) {
  const std::string names = listNames(fd, displayName);
  std::vector<ExtendedAttribute> attributes;
  for (std::size_t start = 0; start < names.size();) {
    const std::size_t end = names.find('\0', start);
    std::string name = names.substr(start, end == std::string::npos ? end : end - start);
    start = end == std::string::npos ? names.size() : end + 1;
    if (name.empty()) continue;
    std::string value;
    if (readValue(fd, name, displayName, value)) {
      attributes.push_back({std::move(name), std::move(value)});
    }
  }
  return attributes;
}

void copyExtendedAttributes(int fromFd, int toFd, const std::string& displayName) {
  for (const ExtendedAttribute& a : readExtendedAttributes(fromFd, displayName)) {
    if (::fsetxattr(toFd, a.name.c_str(), a.value.data(), a.value.size(), 0) == 0) continue;
    if (mayBeSkipped(a.name, errno)) continue;
    fail("Cannot keep the attribute " + a.name + " of", displayName, errno);
  }
}

}  // namespace kestrix::platform
