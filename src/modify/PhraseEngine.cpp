// The Phrase engine: a single-line phrase replaced, deleted, blanked or surrounded in every
// line (or every line of the row's interval).
#include <algorithm>
#include <limits>
#include <optional>

#include "modify/ChangeSet.h"
#include "modify/InsertedBreaks.h"
#include "modify/LineRewrite.h"
#include "modify/TextEngines.h"
#include "search/Matchers.h"
#include "text/CodePage.h"
#include "text/Lines.h"
#include "text/Utf8.h"

namespace kestrix::modify {
namespace {

std::string insertedText(const ModifyRequest& request) {
  if (request.modificationType == ModificationType::Clear) {
    return std::string(text::countChars(request.searchText), ' ');
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

// The phrase change of one line: the changed line, or nothing when the line has no hit.
// `finder` holds the search text (upper-cased unless the request is case-sensitive);
// `inserted` is the text put in (the replacement, or the blanks of Clear). With `recorder`,
// each hit is recorded there, the line starting at `lineOffset` of the recorder's text.
std::optional<std::string> changePhraseInLine(std::string_view line,
                                              const search::LiteralFinder& finder,
                                              const ModifyRequest& request,
                                              std::string_view inserted, ChangeRecorder* recorder,
                                              std::size_t lineOffset) {
  std::size_t length = 0;
  std::optional<std::string> out;
  std::size_t copied = 0;
  std::size_t pos = 0;
  while ((pos = search::nextTermHit(line, finder, pos, request.wholeWords, length)) !=
         std::string_view::npos) {
    if (!out) out.emplace().reserve(line.size() + inserted.size());
    out->append(line.substr(copied, pos - copied));
    copied = applyHit(*out, line, pos, length, request.modificationType, inserted);
    if (recorder) recorder->recordHit(request.modificationType, lineOffset + pos, length, inserted);
    pos += length;
  }
  if (out) out->append(line.substr(copied));
  return out;
}

// The lines of the interval, numbered from 1; throws FileFailure when it reaches past the
// last of `count` lines.
LineSpan phraseSpan(const std::optional<Interval>& interval, std::int64_t count) {
  if (!interval) return {1, count};
  if (!interval->isNil() && (interval->from > count || interval->to > count)) {
    throw FileFailure(kIntervalPastEnd);
  }
  return resolveInterval(*interval, count);
}

// Under Keep Original every untouched byte stays: the finder runs over the whole text and
// only the lines holding a hit go through changePhraseInLine, the bytes between them copied
// as they are (the result of the line-by-line walk, without its cost per line). `finder`
// holds a term without line breaks.
std::optional<std::string> rewriteLinesWithHits(std::string_view bytes,
                                                const search::LiteralFinder& finder,
                                                const ModifyRequest& request,
                                                std::string_view inserted, StopPoll& poll,
                                                ChangeRecorder* recorder) {
  constexpr std::size_t npos = std::string_view::npos;
  std::optional<std::string> out;
  std::size_t copied = 0;
  for (std::size_t at = finder.find(bytes); at != npos && at < bytes.size();) {
    poll.check();
    const std::size_t before = bytes.find_last_of("\r\n", at);
    const std::size_t start = before == npos ? 0 : before + 1;
    const std::size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
    std::optional<std::string> changed = changePhraseInLine(
        bytes.substr(start, end - start), finder, request, inserted, recorder, start);
    if (changed) {
      if (holdsLineBreak(*changed)) {
        *changed = withInsertedBreaks(*changed, lineBreakAt(bytes, start));
      }
      if (!out) out.emplace().reserve(bytes.size() + bytes.size() / 16 + 64);
      out->append(bytes.substr(copied, start - copied));
      out->append(*changed);
      copied = end;
    }
    at = end < bytes.size() ? finder.find(bytes, end) : npos;
  }
  if (out) out->append(bytes.substr(copied));
  return out;
}

search::LiteralFinder phraseFinder(const ModifyRequest& request) {
  std::string term = request.searchText;
  if (!request.caseSensitive) text::activeCodePage().toUpperInPlace(term);
  return search::LiteralFinder(std::move(term), request.caseSensitive);
}

}  // namespace

std::optional<std::string> rewritePhrase(std::string_view bytes, const ModifyRequest& request,
                                         const std::optional<Interval>& interval, StopPoll& poll,
                                         ChangeRecorder* recorder) {
  if (recorder) recorder->begin(bytes, false, request.lineSeparator == LineSeparator::Keep);
  const LineSpan span =
      interval ? phraseSpan(interval, static_cast<std::int64_t>(text::countLines(bytes)))
               : LineSpan{1, std::numeric_limits<std::int64_t>::max()};
  std::optional<search::LiteralFinder> finder;
  if (!request.searchText.empty()) finder.emplace(phraseFinder(request));
  const std::string inserted = insertedText(request);
  if (finder && !interval && request.lineSeparator == LineSeparator::Keep &&
      !holdsLineBreak(request.searchText)) {
    return rewriteLinesWithHits(bytes, *finder, request, inserted, poll, recorder);
  }
  return rewriteLines(
      bytes, request.lineSeparator,
      [&](std::string_view line, std::int64_t number) -> std::optional<std::string> {
        if (!finder || number < span.first || number > span.last) return std::nullopt;
        return changePhraseInLine(line, *finder, request, inserted, recorder,
                                  static_cast<std::size_t>(line.data() - bytes.data()));
      },
      poll);
}

}  // namespace kestrix::modify
