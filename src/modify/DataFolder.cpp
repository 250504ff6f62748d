// The per-user data folder.
#include "modify/DataFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "platform/Platform.h"

namespace kestrix::modify {

std::string dataFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) throw std::runtime_error("Cannot find the home folder (HOME)");
    base = std::string(home) + "/.local/share";
  }
  return platform::joinPath(base, "Kestrix Search & Replace");
}

std::string ensureDataFolder() {
  const std::string folder = dataFolder();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec)
    throw platform::PlatformError("Cannot create " + folder + ": " + ec.message(), ec.value());
  return folder;
}

}  // namespace kestrix::modify
