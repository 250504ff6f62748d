// Backups and the protection rule: which files the pass may change, and the names of the
// ".bak" backup.
#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace kestrix::modify {

// The backup of a file: its full name + ".bak".
inline std::string backupName(std::string_view fullName) {
  return std::string(fullName) + ".bak";
}

// True when the file's attributes protect it (read-only, hidden or system).
bool isProtected(const platform::Attributes& attributes);

// True when a protected file may be changed: read-only needs `modifyReadOnly`, hidden needs
// `modifyHidden`, both need both; a system file never. Unprotected files always may.
// Decided here, never by the file system, so running as root changes nothing.
bool mayModify(const platform::Attributes& attributes, bool modifyReadOnly, bool modifyHidden);

}  // namespace kestrix::modify
