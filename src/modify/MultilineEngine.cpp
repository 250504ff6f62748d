// The Multiline engine: blocks of whole lines found after folding and trimming, then
// replaced, deleted, blanked or surrounded by the replacement lines.
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

}  // namespace

void transformMultiline(LineList& lines, const ModifyRequest& request, StopPoll& poll) {
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
  out.reserve(lines.size() + starts.size() * request.replacementLines.size());
  std::size_t cursor = 0;
  for (std::size_t p : starts) {
    for (; cursor < p; ++cursor) out.push_back(std::move(lines[cursor]));
    appendBlockChange(out, lines, p, n, request);
    cursor = p + n;
  }
  for (; cursor < lines.size(); ++cursor) out.push_back(std::move(lines[cursor]));
  lines = std::move(out);
}

}  // namespace kestrix::modify
