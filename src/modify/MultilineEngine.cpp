// The Multiline engine: blocks of whole lines found after folding and trimming, then
// replaced, deleted, blanked or surrounded by the replacement lines.
#include <algorithm>

#include "modify/TextEngines.h"
#include "search/Matchers.h"

namespace kestrix::modify {
namespace {

// Start lines (0-based, ascending) of the non-overlapping blocks kept from the top: every
// matching start is considered once, and one that lies less than n lines behind a kept
// start is dropped.
std::vector<std::size_t> keptStarts(const LineList& file, const std::vector<std::string>& block,
                                    const search::BlockOptions& options, StopPoll& poll) {
  std::vector<std::size_t> starts;
  const std::size_t n = block.size();
  if (n == 0 || file.size() < n) return starts;
  std::size_t nextAllowed = 0;
  for (std::size_t p = 0; p + n <= file.size(); ++p) {
    poll.check();
    if (p < nextAllowed) continue;
    std::size_t j = 0;
    while (j < n && search::blockLineEquals(file[p + j], block[j], options)) ++j;
    if (j == n) {
      starts.push_back(p);
      nextAllowed = p + n;
    }
  }
  return starts;
}

void appendBlockChange(LineList& out, const LineList& lines, std::size_t p, std::size_t n,
                       const ModifyRequest& request) {
  const auto& r = request.replacementLines;
  auto block = lines.begin() + static_cast<std::ptrdiff_t>(p);
  switch (request.modificationType) {
    case ModificationType::Replace:
      out.insert(out.end(), r.begin(), r.end());
      break;
    case ModificationType::InsertBefore:
      out.insert(out.end(), r.begin(), r.end());
      out.insert(out.end(), block, block + static_cast<std::ptrdiff_t>(n));
      break;
    case ModificationType::InsertAfter:
      out.insert(out.end(), block, block + static_cast<std::ptrdiff_t>(n));
      out.insert(out.end(), r.begin(), r.end());
      break;
    case ModificationType::Clear:
      out.insert(out.end(), n, std::string());
      break;
    default:  // Delete
      break;
  }
}

// The breaks of the lines appendBlockChange wrote for the block at `p`, so that every line
// keeps a break of the file: a replacement line takes the break of the block line at its
// place, a line put in takes the break of the block line it stands by, and only a block at
// the very end of a file without a final break leaves its last line without one.
void appendBlockBreaks(BreakList& out, const BreakList& breaks, std::size_t p, std::size_t n,
                       const ModifyRequest& request, LineBreak usual) {
  const std::size_t m = request.replacementLines.size();
  auto at = [&](std::size_t k) { return breaks[p + std::min(k, n - 1)]; };
  auto orUsual = [usual](LineBreak b) { return b == LineBreak::None ? usual : b; };
  const LineBreak last = breaks[p + n - 1];
  switch (request.modificationType) {
    case ModificationType::Replace:
      for (std::size_t k = 0; k < m; ++k) out.push_back(k + 1 == m ? last : orUsual(at(k)));
      break;
    case ModificationType::InsertBefore:
      out.insert(out.end(), m, orUsual(at(0)));
      out.insert(out.end(), breaks.begin() + static_cast<std::ptrdiff_t>(p),
                 breaks.begin() + static_cast<std::ptrdiff_t>(p + n));
      break;
    case ModificationType::InsertAfter:
      out.insert(out.end(), breaks.begin() + static_cast<std::ptrdiff_t>(p),
                 breaks.begin() + static_cast<std::ptrdiff_t>(p + n));
      if (m == 0) break;
      out.back() = orUsual(out.back());
      for (std::size_t k = 0; k < m; ++k) out.push_back(k + 1 == m ? last : orUsual(last));
      break;
    case ModificationType::Clear:
      for (std::size_t k = 0; k < n; ++k) out.push_back(at(k));
      break;
    default:  // Delete
      break;
  }
}

// The break most lines of a file would get: the first one it has, else LF.
LineBreak usualBreak(const BreakList& breaks) {
  for (LineBreak b : breaks) {
    if (b != LineBreak::None) return b;
  }
  return LineBreak::Lf;
}

}  // namespace

void transformMultiline(LineList& lines, const ModifyRequest& request, StopPoll& poll,
                        BreakList* breaks) {
  const std::size_t n = request.searchLines.size();
  if (n == 0) return;
  const search::BlockOptions options{request.caseSensitive, request.ignoreLeadingSpaces,
                                     request.ignoreTrailingSpaces};
  std::vector<std::string> block;
  for (const auto& line : request.searchLines) {
    block.push_back(search::prepareBlockLine(line, options));
  }
  const auto starts = keptStarts(lines, block, options, poll);
  if (starts.empty()) return;
  LineList out;
  BreakList outBreaks;
  const LineBreak usual = breaks ? usualBreak(*breaks) : LineBreak::Lf;
  out.reserve(lines.size() + starts.size() * request.replacementLines.size());
  std::size_t cursor = 0;
  auto copyUpTo = [&](std::size_t end) {
    for (; cursor < end; ++cursor) {
      out.push_back(std::move(lines[cursor]));
      if (breaks) outBreaks.push_back((*breaks)[cursor]);
    }
  };
  for (std::size_t p : starts) {
    copyUpTo(p);
    appendBlockChange(out, lines, p, n, request);
    if (breaks) appendBlockBreaks(outBreaks, *breaks, p, n, request, usual);
    cursor = p + n;
  }
  copyUpTo(lines.size());
  lines = std::move(out);
  if (breaks) *breaks = std::move(outBreaks);
}

}  // namespace kestrix::modify
