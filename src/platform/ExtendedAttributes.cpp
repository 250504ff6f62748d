// Reading and setting extended attributes through a descriptor (never through a link).
#include "platform/ExtendedAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstring>

#include "platform/Platform.h"

namespace kestrix::platform {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& shown, int err) {
  throw PlatformError("Cannot " + what + " of " + shown + ": " + std::strerror(err), err);
}

// The value of `name`, read again when it grows between the size query and the read.
std::string valueOf(int fd, const std::string& name, const std::string& shown) {
  for (;;) {
    const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
    if (size < 0) fail("read the attribute " + name, shown, errno);
    std::string value(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
    if (got >= 0) {
      value.resize(static_cast<std::size_t>(got));
      return value;
    }
    if (errno != ERANGE) fail("read the attribute " + name, shown, errno);
  }
}

}  // namespace

ExtendedAttributes readExtendedAttributes(int fd, const std::string& shown) {
  std::string names;
  for (;;) {
    const ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size < 0 && (errno == ENOTSUP || errno == ENOSYS)) return {};
    if (size < 0) fail("list the extended attributes", shown, errno);
    names.assign(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::flistxattr(fd, names.data(), names.size());
    if (got >= 0) {
      names.resize(static_cast<std::size_t>(got));
      break;
    }
    if (errno != ERANGE) fail("list the extended attributes", shown, errno);
  }
  ExtendedAttributes attributes;
  for (std::size_t at = 0; at < names.size();) {
    const std::size_t end = names.find('\0', at);
    const std::string name = names.substr(at, end - at);
    at = end == std::string::npos ? names.size() : end + 1;
    if (!name.empty()) attributes.emplace_back(name, valueOf(fd, name, shown));
  }
  return attributes;
}

void writeExtendedAttributes(int fd, const ExtendedAttributes& attributes,
                             const std::string& shown) {
  for (const auto& [name, value] : attributes) {
    if (::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0) {
      fail("set the attribute " + name, shown, errno);
    }
  }
}

}  // namespace kestrix::platform
