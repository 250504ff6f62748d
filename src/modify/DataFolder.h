// Where the program keeps its per-user files: `DataFolder`, the XDG data home +
// "/Kestrix Search & Replace" (~/.local/share/... when XDG_DATA_HOME is unset or relative).
#pragma once

#include <string>

namespace kestrix::modify {

// The data folder's full name; nothing is created. Throws std::runtime_error when neither
// XDG_DATA_HOME (absolute) nor HOME is set.
std::string dataFolder();

// The data folder, created with its parents when missing. Throws platform::PlatformError
// (or std::runtime_error as above) when it cannot be created.
std::string ensureDataFolder();

}  // namespace kestrix::modify
