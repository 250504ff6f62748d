// Streaming line rewrite for the Phrase and per-line Reg Expr engines.
#include "modify/LineRewrite.h"

#include "modify/InsertedBreaks.h"
#include "text/Lines.h"

namespace kestrix::modify {
namespace {

// Where the break after a line ending at `end` ends (`end` itself for the last line
// without a break).
std::size_t breakEnd(std::string_view bytes, std::size_t end) {
  if (end >= bytes.size()) return end;
  if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') return end + 2;
  return end + 1;
}

}  // namespace

std::optional<std::string> rewriteLines(std::string_view bytes, LineSeparator separator,
                                        const LineChange& change, StopPoll& poll) {
  const bool keep = separator == LineSeparator::Keep;
  const std::string_view sep = separatorBytes(separator);
  std::optional<std::string> out;
  if (!keep) out.emplace().reserve(bytes.size() + bytes.size() / 8 + 16);
  std::size_t copied = 0;  // Keep: bytes before this are in `out` (once it exists)
  std::int64_t number = 0;
  text::forEachLine(bytes, [&](const text::Line& line) {
    poll.check();
    std::optional<std::string> changed = change(line.text, ++number);
    const std::size_t end = line.offset + line.text.size();
    // Breaks inside the new text are the line's own (Keep) or the chosen separator.
    if (changed && holdsLineBreak(*changed)) {
      *changed = withInsertedBreaks(*changed, keep ? lineBreakAt(bytes, line.offset) : sep);
    }
    if (!keep) {
      out->append(changed ? std::string_view(*changed) : line.text);
      if (breakEnd(bytes, end) > end) out->append(sep);
      return;
    }
    if (!changed) return;
    if (!out) out.emplace().reserve(bytes.size() + changed->size() + 16);
    out->append(bytes.substr(copied, line.offset - copied));
    out->append(*changed);
    copied = end;  // the line's own break goes out with the next piece
  });
  if (keep && out) out->append(bytes.substr(copied));
  return out;
}

}  // namespace kestrix::modify
