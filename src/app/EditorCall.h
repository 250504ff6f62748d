// The program and arguments an external editor command starts for one file. The stored
// command is split into words first and the placeholders are replaced inside each word, so
// a file name is always part of exactly one argument: its blanks, quotes and other
// characters never split it, and no shell ever sees it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrix::app {

// The file an editor command is made for.
struct EditorFile {
  std::string path;    // folder, without a trailing "/" (a root folder stays "/")
  std::string name;    // file name with extension
  int lineNumber = 1;  // the line the editor should show; 1 for none
};

struct EditorCall {
  std::string program;  // the first word: a path or a bare name to look up
  std::vector<std::string> arguments;
};

// The words of `command` (trimmed): blanks separate them; double quotes group blanks into a
// word and are removed; inside quotes, two double quotes stand for one; a quote left open
// runs to the end. "" alone is an empty word.
std::vector<std::string> commandWords(std::string_view command);

// Replaces in `word`, in this order, every "%PrFullName%" (full name), "%PrPath%" (folder +
// "/"), "%PrName%" (name without its extension), "%PrExt%" (the extension with its dot,
// from the last dot) and "%NumLine%" (the line number). A placeholder's value is inserted
// as it is: placeholders that appear inside a file name are not replaced again.
std::string expandPlaceholders(std::string_view word, const EditorFile& file);

// The words of `command` with their placeholders replaced: the first is the program, the
// rest its arguments. An empty command gives an empty program.
EditorCall editorCall(std::string_view command, const EditorFile& file);

// The placeholders, in the order a menu offers them.
inline constexpr const char* kEditorPlaceholders[] = {"%PrFullName%", "%PrPath%", "%PrName%",
                                                      "%PrExt%", "%NumLine%"};

}  // namespace kestrix::app
