// Splitting an editor command into words, then filling each word's placeholders.
#include "app/EditorCall.h"

#include <array>
#include <utility>

namespace kestrix::app {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string folderWithSeparator(const std::string& path) {
  return !path.empty() && path.back() == '/' ? path : path + '/';
}

}  // namespace

std::vector<std::string> commandWords(std::string_view command) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (std::size_t i = 0; i < command.size(); ++i) {
    const char c = command[i];
    if (c == '"') {
      inWord = true;
      if (quoted && i + 1 < command.size() && command[i + 1] == '"') {
        word += '"';
        ++i;
      } else {
        quoted = !quoted;
      }
    } else if (isBlank(c) && !quoted) {
      if (inWord) words.push_back(std::exchange(word, {}));
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

std::string expandPlaceholders(std::string_view word, const EditorFile& file) {
  const std::size_t dot = file.name.rfind('.');
  const std::string folder = folderWithSeparator(file.path);
  const std::array<std::pair<std::string_view, std::string>, 5> values = {{
      {"%PrFullName%", folder + file.name},
      {"%PrPath%", folder},
      {"%PrName%", file.name.substr(0, dot)},
      {"%PrExt%", dot == std::string::npos ? std::string() : file.name.substr(dot)},
      {"%NumLine%", std::to_string(file.lineNumber)},
  }};
  // One pass over the word: at each position the placeholders are tried in their order, and
  // text already put in is never looked at again.
  std::string out;
  std::size_t pos = 0;
  while (pos < word.size()) {
    bool replaced = false;
    for (const auto& [name, value] : values) {
      if (word.substr(pos, name.size()) == name) {
        out += value;
        pos += name.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += word[pos++];
  }
  return out;
}

EditorCall editorCall(std::string_view command, const EditorFile& file) {
  EditorCall call;
  std::vector<std::string> words = commandWords(command);
  if (words.empty()) return call;
  call.program = expandPlaceholders(words.front(), file);
  for (std::size_t i = 1; i < words.size(); ++i) {
    call.arguments.push_back(expandPlaceholders(words[i], file));
  }
  return call;
}

}  // namespace kestrix::app
