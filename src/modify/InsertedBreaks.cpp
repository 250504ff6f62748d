// Breaks of inserted text made the file's own.
#include "modify/InsertedBreaks.h"

#include "modify/LineBreaks.h"

namespace kestrix::modify {
namespace {

std::string_view breakStartingAt(std::string_view bytes, std::size_t at) {
  const bool pair = bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n';
  return bytes.substr(at, pair ? 2 : 1);
}

}  // namespace

std::string_view lineBreakAt(std::string_view bytes, std::size_t pos) {
  const std::size_t next = bytes.find_first_of("\r\n", pos);
  if (next != std::string_view::npos) return breakStartingAt(bytes, next);
  const std::size_t last = pos == 0 ? std::string_view::npos
                                    : bytes.find_last_of("\r\n", std::min(pos, bytes.size()) - 1);
  if (last == std::string_view::npos) return "\n";
  // The last break: a pair when it is an LF behind a CR.
  if (bytes[last] == '\n' && last > 0 && bytes[last - 1] == '\r') return bytes.substr(last - 1, 2);
  return bytes.substr(last, 1);
}

bool holdsLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string withInsertedBreaks(std::string_view text, std::string_view lineBreak) {
  return withBreaks(text, lineBreak, endsWithLineBreak(text));
}

}  // namespace kestrix::modify
