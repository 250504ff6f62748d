// Line breaks for the modify pass: their bytes, and a text's breaks made one separator.
#include "modify/LineBreaks.h"

#include <cstring>

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

bool endsWithLineBreak(std::string_view bytes) {
  return !bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r');
}

namespace {

// The end of the break that follows the line ending at `end` (`end` itself when none).
std::size_t breakEnd(std::string_view text, std::size_t end) {
  if (end >= text.size()) return end;
  return text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? end + 2 : end + 1;
}

std::size_t lineEnd(std::string_view text, std::size_t from) {
  const std::size_t at = text.find_first_of("\r\n", from);
  return at == std::string_view::npos ? text.size() : at;
}

}  // namespace

std::size_t sizeWithLongBreaks(std::string_view text) {
  std::size_t size = text.size();
  for (std::size_t at = lineEnd(text, 0); at < text.size();
       at = lineEnd(text, breakEnd(text, at))) {
    if (breakEnd(text, at) == at + 1) ++size;
  }
  return size;
}

std::string withBreaks(std::string_view text, std::string_view separator, bool finalBreak) {
  std::string out;
  out.reserve((separator.size() > 1 ? sizeWithLongBreaks(text) : text.size()) + 2);
  bool lastBroken = false;
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t end = lineEnd(text, from);
    out.append(text.substr(from, end - from));
    from = breakEnd(text, end);
    lastBroken = from > end;
    if (lastBroken) out += separator;
  }
  if (!text.empty() && finalBreak && !lastBroken) out += separator;
  if (!text.empty() && !finalBreak && lastBroken) out.resize(out.size() - separator.size());
  return out;
}

void convertBreaks(std::string& text, std::string_view separator, bool finalBreak) {
  if (separator.size() > 1 && sizeWithLongBreaks(text) > text.size()) {
    text = withBreaks(text, separator, finalBreak);
    return;
  }
  // Every separator written is no longer than the break it replaces, so the write
  // position never passes the read position.
  std::size_t w = 0;
  bool lastBroken = false;
  const bool any = !text.empty();
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t end = lineEnd(text, from);
    std::memmove(text.data() + w, text.data() + from, end - from);
    w += end - from;
    from = breakEnd(text, end);
    lastBroken = from > end;
    if (lastBroken) {
      std::memcpy(text.data() + w, separator.data(), separator.size());
      w += separator.size();
    }
  }
  text.resize(w);
  if (any && finalBreak && !lastBroken) text += separator;
  if (any && !finalBreak && lastBroken) text.resize(w - separator.size());
}

}  // namespace kestrix::modify
