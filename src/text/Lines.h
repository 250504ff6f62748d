// The text model: a file's text ends at its first NUL byte and breaks into lines at CR,
// LF or CR LF. Lines are views into the text; nothing is copied.
#pragma once

#include <cstddef>
#include <type_traits>
#include <string_view>
#include <vector>

namespace kestrix::text {

// The part of `bytes` before the first NUL byte (all of it when there is none).
std::string_view textUntilNul(std::string_view bytes);

// True when `bytes` holds a NUL byte.
bool hasNul(std::string_view bytes);

// One line: its bytes (without the break) and where it starts in the text.
struct Line {
  std::string_view text;
  std::size_t offset = 0;
};

// Calls f(Line) for each line of `text` in order. The breaks are not part of the lines;
// a trailing break does not make an empty last line; an empty text has no lines.
// f may return void, or bool where false stops the walk.
template <class F>
void forEachLine(std::string_view text, F&& f) {
  std::size_t pos = 0;
  const std::size_t n = text.size();
  while (pos < n) {
    std::size_t end = pos;
    while (end < n && text[end] != '\n' && text[end] != '\r') ++end;
    Line line{text.substr(pos, end - pos), pos};
    if constexpr (std::is_same_v<decltype(f(line)), bool>) {
      if (!f(line)) return;
    } else {
      f(line);
    }
    if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n') ++end;
    pos = end + 1;
  }
}

// All lines of `text` as views (see forEachLine).
std::vector<std::string_view> splitLines(std::string_view text);

// Number of lines of `text` (see forEachLine).
std::size_t countLines(std::string_view text);

}  // namespace kestrix::text
