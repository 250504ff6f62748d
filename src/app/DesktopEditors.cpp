// The desktop editors' line switches and the default editor command.
#include "app/DesktopEditors.h"

#include <array>

#include "app/EditorDefault.h"

namespace kestrix::app {
namespace {

struct Editor {
  const char* program;
  const char* lineSwitch;  // opens the file at "%NumLine%"; empty when the editor has none
};
// The desktop editors looked for, in order of preference, with their line switches.
constexpr std::array<Editor, 8> kEditors = {{
    {"gnome-text-editor", ""},
    {"gedit", "\"+%NumLine%\""},
    {"kate", "--line \"%NumLine%\""},
    {"kwrite", "--line \"%NumLine%\""},
    {"mousepad", ""},
    {"pluma", "\"+%NumLine%\""},
    {"xed", "\"+%NumLine%\""},
    {"geany", "\"+%NumLine%\""},
}};

std::string withSwitch(std::string_view program, std::string_view lineSwitch,
                       std::string_view rest) {
  std::string command(program);
  if (!lineSwitch.empty()) command.append(" ").append(lineSwitch);
  return command.append(rest);
}

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view kSpace = " \t\n\v\f\r";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// The end of the program in `command`: after its closing quote, or at the first blank.
std::size_t programEnd(std::string_view command) {
  if (command.starts_with('"')) {
    const std::size_t quote = command.find('"', 1);
    return quote == std::string_view::npos ? command.size() : quote + 1;
  }
  return std::min(command.find(' '), command.size());
}

}  // namespace

std::string defaultEditorCommand(const std::function<bool(const std::string&)>& isInstalled) {
  for (const Editor& editor : kEditors) {
    const bool installed =
        isInstalled ? isInstalled(editor.program) : findInPath(editor.program).has_value();
    if (installed) return withSwitch(editor.program, editor.lineSwitch, " \"%PrFullName%\"");
  }
  return "xdg-open \"%PrFullName%\"";
}

std::string withLineSwitch(std::string_view command) {
  const std::string_view text = trimmed(command);
  if (text.find("%NumLine%") != std::string_view::npos) return std::string(text);
  const std::size_t end = programEnd(text);
  std::string program;
  for (char c : text.substr(0, end))
    if (c != '"') program += c;
  const std::string_view name = std::string_view(program).substr(program.rfind('/') + 1);
  for (const Editor& editor : kEditors)
    if (name == editor.program)
      return withSwitch(text.substr(0, end), editor.lineSwitch, text.substr(end));
  return std::string(text);
}

}  // namespace kestrix::app
