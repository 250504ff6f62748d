// Line splitting and joining for the modify pass.
#include "modify/LineList.h"

#include "text/Lines.h"

namespace kestrix::modify {

std::string_view separatorBytes(LineSeparator separator) {
  switch (separator) {
    case LineSeparator::Windows:
      return "\r\n";
    case LineSeparator::Macintosh:
      return "\r";
    case LineSeparator::Unix:
      break;
  }
  return "\n";
}

LineList splitIntoLines(std::string_view text) {
  LineList lines;
  text::forEachLine(text, [&](const text::Line& line) { lines.emplace_back(line.text); });
  return lines;
}

bool endsWithLineBreak(std::string_view bytes) {
  return !bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r');
}

std::string joinLines(const LineList& lines, LineSeparator separator, bool finalBreak) {
  const std::string_view sep = separatorBytes(separator);
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + sep.size();
  std::string out;
  out.reserve(size);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out += lines[i];
    if (i + 1 < lines.size() || finalBreak) out += sep;
  }
  return out;
}

}  // namespace kestrix::modify
