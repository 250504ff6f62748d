// The arguments `kestrix` reads before its window exists: --help and --version, which
// print and exit, and the folder of a first argument "-path=FOLDER".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestrix::ui {

// What the first argument asks for.
enum class StartAction { OpenWindow, PrintHelp, PrintVersion };

// --help / -h and --version as the only argument print and exit; anything else opens
// the window (the window's own switches begin with "-path" or name a project file).
StartAction startActionOf(const std::vector<std::string>& args);

// The search folder of a first argument beginning with "-path" (ASCII case ignored, leading
// blanks and control characters removed): the text from its seventh character on. Nothing
// when there is no such argument or the folder is empty, so that a launcher that passes
// "-path=" with no folder keeps the folder the window remembers.
std::optional<std::string> startFolderOf(const std::vector<std::string>& args);

// The text of `kestrix --help` and `kestrix --version` (the manual page is made from them).
const char* startHelpText();
std::string startVersionText();

}  // namespace kestrix::ui
