// Opening a listed file relative to the searched folder.
#include "modify/TargetFile.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "modify/ModifyMessages.h"
#include "platform/Platform.h"

namespace kestrix::modify {
namespace {

std::string reasonOf(const platform::PlatformError& e) {
  if (e.errorCode() == EINVAL) return "not a regular file";
  if (e.errorCode() == ELOOP || e.errorCode() == ENOTDIR) {
    return "a link on its path changed during the run";
  }
  return std::strerror(e.errorCode());
}

bool anyHidden(const std::vector<std::string>& components) {
  for (const auto& c : components) {
    if (!c.empty() && c[0] == '.') return true;
  }
  return false;
}

}  // namespace

SearchRoot openSearchRoot(const std::string& folder) {
  try {
    SearchRoot root;
    root.realName = platform::realPath(platform::absoluteName(folder));
    root.fd = platform::openFolder(root.realName);
    return root;
  } catch (const platform::PlatformError& e) {
    throw FileFailure("the searched folder: " + reasonOf(e));
  }
}

TargetFile openTarget(const SearchRoot& root, const std::string& listedName) {
  TargetFile t;
  std::vector<std::string> components;
  try {
    t.realName = platform::realPath(platform::absoluteName(listedName));
  } catch (const platform::PlatformError& e) {
    throw FileFailure(reasonOf(e));
  }
  if (!platform::componentsBelow(root.realName, t.realName, components)) {
    throw FileFailure("outside the searched folder");
  }
  const std::string listed = platform::nameOf(listedName);
  t.hidden = anyHidden(components) || (!listed.empty() && listed[0] == '.');
  t.name = components.back();
  components.pop_back();
  try {
    t.folder = platform::openFolderBelow(root.fd.get(), components, listedName);
    t.fd = platform::openRegularAt(t.folder.get(), t.name, listedName, t.st);
  } catch (const platform::PlatformError& e) {
    throw FileFailure(reasonOf(e));
  }
  return t;
}

}  // namespace kestrix::modify
