// The protection rule and the backup write.
#include "modify/Backup.h"

#include <filesystem>
#include <system_error>

namespace kestrix::modify {

std::string realFile(const std::string& fullName) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(fullName, ec)) return fullName;
  auto target = std::filesystem::canonical(fullName, ec);
  return ec ? fullName : target.string();
}

bool isProtected(const platform::Attributes& attributes) {
  return attributes.readOnly || attributes.hidden || attributes.system;
}

bool mayModify(const platform::Attributes& attributes, bool modifyReadOnly, bool modifyHidden) {
  if (attributes.system) return false;
  if (attributes.readOnly && !modifyReadOnly) return false;
  return !attributes.hidden || modifyHidden;
}

}  // namespace kestrix::modify
