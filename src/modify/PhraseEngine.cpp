// The Phrase engine: a single-line phrase replaced, deleted, blanked or surrounded in every
// line (or every line of the row's interval).
#include <optional>

#include "modify/TextEngines.h"
#include "search/Matchers.h"
#include "text/CodePage.h"

namespace kestrix::modify {
namespace {

std::string insertedText(const ModifyRequest& request) {
  if (request.modificationType == ModificationType::Clear) {
    return std::string(request.searchText.size(), ' ');
  }
  if (request.modificationType == ModificationType::Delete) return {};
  return request.replacementText;
}

// Appends the change of one accepted hit at `pos` and returns where copying resumes.
std::size_t applyHit(std::string& out, std::string_view line, std::size_t pos, std::size_t length,
                     ModificationType type, std::string_view inserted) {
  switch (type) {
    case ModificationType::InsertBefore:
      out += inserted;
      return pos;
    case ModificationType::InsertAfter:
      out.append(line.substr(pos, length));
      out += inserted;
      return pos + length;
    case ModificationType::Replace:
    case ModificationType::Clear:
      out += inserted;
      return pos + length;
    default:  // Delete (None never reaches an engine)
      return pos + length;
  }
}

}  // namespace

std::optional<std::string> changePhraseInLine(std::string_view line,
                                              const search::LiteralFinder& finder,
                                              const ModifyRequest& request,
                                              std::string_view inserted) {
  const std::size_t length = finder.term().size();
  std::optional<std::string> out;
  std::size_t copied = 0;
  std::size_t pos = 0;
  while ((pos = search::nextTermHit(line, finder, pos, request.wholeWords)) !=
         std::string_view::npos) {
    if (!out) out.emplace().reserve(line.size() + inserted.size());
    out->append(line.substr(copied, pos - copied));
    copied = applyHit(*out, line, pos, length, request.modificationType, inserted);
    pos += length;
  }
  if (out) out->append(line.substr(copied));
  return out;
}

void transformPhrase(LineList& lines, const ModifyRequest& request,
                     const std::optional<Interval>& interval, StopPoll& poll) {
  const auto count = static_cast<std::int64_t>(lines.size());
  LineSpan span{1, count};
  if (interval) {
    span = resolveInterval(*interval, count);
    if (!interval->isNil() && (interval->from > count || interval->to > count)) {
      throw FileFailure("The modification interval reaches past the end of the file");
    }
  }
  if (request.searchText.empty()) return;
  std::string term = request.searchText;
  if (!request.caseSensitive) text::activeCodePage().toUpperInPlace(term);
  const search::LiteralFinder finder(std::move(term), request.caseSensitive);
  const std::string inserted = insertedText(request);
  // Changes are collected first so that a stop leaves the list as it was.
  std::vector<std::pair<std::size_t, std::string>> changes;
  for (std::int64_t n = span.first; n <= span.last; ++n) {
    poll.check();
    auto index = static_cast<std::size_t>(n - 1);
    if (auto changed = changePhraseInLine(lines[index], finder, request, inserted)) {
      changes.emplace_back(index, std::move(*changed));
    }
  }
  for (auto& [index, line] : changes) lines[index] = std::move(line);
}

}  // namespace kestrix::modify
