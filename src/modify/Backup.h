// The name of a file's ".bak" backup.
#pragma once

#include <string>
#include <string_view>

namespace kestrix::modify {

// The backup of a file: its full name + ".bak".
inline std::string backupName(std::string_view fullName) {
  return std::string(fullName) + ".bak";
}

}  // namespace kestrix::modify
