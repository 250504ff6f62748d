// Line splitting of the text model.
#include "text/Lines.h"

#include <cstring>

namespace kestrix::text {

std::string_view textUntilNul(std::string_view bytes) {
  const void* nul = std::memchr(bytes.data(), '\0', bytes.size());
  if (!nul) return bytes;
  return bytes.substr(0, static_cast<const char*>(nul) - bytes.data());
}

bool hasNul(std::string_view bytes) {
  return std::memchr(bytes.data(), '\0', bytes.size()) != nullptr;
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  forEachLine(text, [&](const Line& line) { lines.push_back(line.text); });
  return lines;
}

std::size_t countLines(std::string_view text) {
  std::size_t count = 0;
  forEachLine(text, [&](const Line&) { ++count; });
  return count;
}

}  // namespace kestrix::text
