// The default of the external editor command on this system.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kestrix::app {

// Finds a program by bare name and returns its full path, or nothing.
using ProgramFinder = std::function<std::optional<std::string>(const std::string& name)>;

// The full path of the executable file `name` in one of the folders of PATH, or nothing.
std::optional<std::string> findInPath(const std::string& name);

// The `Editor` default: the first installed of gnome-text-editor, gedit, kate, kwrite,
// mousepad, pluma, xed and geany as a double-quoted full path, else "xdg-open". `find`
// defaults to findInPath.
std::string defaultEditor(const ProgramFinder& find = {});

}  // namespace kestrix::app
