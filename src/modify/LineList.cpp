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
    case LineSeparator::Keep:
      break;
  }
  return "\n";
}

LineList splitIntoLines(std::string_view text) {
  LineList lines;
  text::forEachLine(text, [&](const text::Line& line) { lines.emplace_back(line.text); });
  return lines;
}

LineList splitKeepingBreaks(std::string_view text, BreakList& breaks) {
  LineList lines;
  breaks.clear();
  text::forEachLine(text, [&](const text::Line& line) {
    lines.emplace_back(line.text);
    const std::size_t end = line.offset + line.text.size();
    LineBreak b = LineBreak::None;
    if (end < text.size()) {
      const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
      b = crLf ? LineBreak::CrLf : (text[end] == '\r' ? LineBreak::Cr : LineBreak::Lf);
    }
    breaks.push_back(b);
  });
  return lines;
}

std::string_view breakBytes(LineBreak lineBreak) {
  switch (lineBreak) {
    case LineBreak::Lf:
      return "\n";
    case LineBreak::Cr:
      return "\r";
    case LineBreak::CrLf:
      return "\r\n";
    case LineBreak::None:
      break;
  }
  return {};
}

std::string joinWithBreaks(const LineList& lines, const BreakList& breaks) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out += lines[i];
    out += breakBytes(i < breaks.size() ? breaks[i] : LineBreak::Lf);
  }
  return out;
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
