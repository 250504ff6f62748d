// The desktop editors Edit File knows, with the switch that opens a file at a line: the
// command used when the user set none, and a user's command completed with its switch.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kestrix::app {

// The first installed of the common desktop editors with its line switch where it takes
// one and "\"%PrFullName%\"", else "xdg-open \"%PrFullName%\"". `isInstalled` answers for a
// bare program name (default: found in PATH).
std::string defaultEditorCommand(const std::function<bool(const std::string&)>& isInstalled = {});

// `command` (trimmed) with the line switch of the desktop editor it starts ("\"+%NumLine%\""
// for gedit, "--line \"%NumLine%\"" for kate, ...) after the program, so that the editor
// opens at the browsed line; unchanged when it names "%NumLine%" already or another program.
// The program is the first word, or the first double-quoted text.
std::string withLineSwitch(std::string_view command);

}  // namespace kestrix::app
