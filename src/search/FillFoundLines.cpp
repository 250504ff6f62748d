// FillFoundLines: the found lines of one file with their hit records, for every query type.
// Term queries go line by line in collecting mode (excluded terms do not end the scan);
// blocks give range entries; expressions give hit records with lengths, across lines when
// the expression runs over the whole text.
#include <algorithm>
#include <cerrno>

#include "platform/Platform.h"
#include "platform/ReadOnlyFile.h"
#include "search/Cells.h"
#include "search/Find.h"
#include "search/Matchers.h"
#include "search/Poller.h"
#include "search/QueryParser.h"
#include "text/Encoding.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

constexpr std::uint64_t kFillPollMs = 20;

// Adds a hit to line `lineIndex` (0-based), giving the line its entry with its first hit.
void addHit(FillOutcome& out, std::int64_t lineNumber, std::string_view lineText, Hit hit) {
  FoundLines& lines = out.lines;
  if (lines.hitLines.empty() || lines.hitLines.back().lineNumber != lineNumber) {
    if (lines.full()) return;
    lines.hitLines.push_back({lineNumber, {}});
    lines.appendLine(lineNumber, lineText, static_cast<int>(lines.hitLines.size() - 1));
  }
  lines.hitLines.back().hits.push_back(hit);
}

bool fillTerms(const SearchRequest& request, std::string_view text, Poller& poller,
               FillOutcome& out) {
  const auto& terms = request.termTable.terms;
  out.hits.assign(terms.size(), 0);
  std::vector<LiteralFinder> finders;
  std::vector<std::size_t> present;  // terms that occur in the text at all
  for (std::size_t i = 0; i < terms.size(); ++i) {
    finders.emplace_back(terms[i].text, request.caseSensitive);
    if (finders.back().find(text) != std::string_view::npos) present.push_back(i);
  }
  if (present.empty()) return true;
  std::int64_t lineNumber = 0;
  std::vector<Hit> hits;
  bool go = true;
  text::forEachLine(text, [&](const text::Line& line) {
    ++lineNumber;
    if (poller.stopped()) return go = false;
    hits.clear();
    const std::size_t prefix = FoundLines::prefixLength(lineNumber);
    for (std::size_t i : present) {
      std::size_t len = 0;
      for (std::size_t pos = 0;; pos += std::max<std::size_t>(len, 1)) {
        pos = nextTermHit(line.text, finders[i], pos, request.wholeWords, len);
        if (pos == std::string_view::npos || pos >= line.text.size()) break;
        hits.push_back({prefix + pos, len, static_cast<int>(i)});
        ++out.hits[i];
      }
    }
    std::sort(hits.begin(), hits.end(),
              [](const Hit& a, const Hit& b) { return a.start < b.start; });
    for (const Hit& hit : hits) addHit(out, lineNumber, line.text, hit);
    return true;
  });
  return go;
}

bool fillBlocks(const SearchRequest& request, std::string_view text, Poller& poller,
                FillOutcome& out) {
  const BlockOptions options = blockOptionsOf(request);
  std::vector<std::string> query;
  for (const std::string& line : request.queryLines)
    query.push_back(prepareBlockLine(line, options));
  std::vector<std::string_view> lines;
  text::forEachLine(text, [&](const text::Line& line) { lines.push_back(line.text); });
  const std::size_t n = query.size();
  std::int64_t count = 0;
  for (std::size_t s = 0; s + n <= lines.size();) {
    if (poller.stopped()) return false;
    std::size_t j = 0;
    while (j < n && blockLineEquals(lines[s + j], query[j], options)) ++j;
    if (j < n) {
      ++s;
      continue;
    }
    if (static_cast<std::size_t>(count) < FoundLines::kMaxBlocks) {
      out.lines.appendBlock(static_cast<std::int64_t>(s + 1), static_cast<std::int64_t>(s + n),
                            n == 1);
    }
    ++count;
    s += n;
  }
  out.hits = {count};
  return true;
}

// Whole text: every line followed by CR LF; a match adds a hit to each line it touches.
void fillWholeText(RegExpr& engine, std::string_view text, FillOutcome& out) {
  std::vector<text::Line> lines;
  text::forEachLine(text, [&](const text::Line& line) { lines.push_back(line); });
  std::vector<std::size_t> starts;  // where each line starts in the subject
  std::string subject;
  for (const text::Line& line : lines) {
    starts.push_back(subject.size());
    subject += line.text;
    subject += "\r\n";
  }
  std::int64_t count = 0;
  for (bool found = engine.exec(subject); found; found = engine.execNext()) {
    ++count;
    const std::size_t s = static_cast<std::size_t>(engine.matchPos(0) - 1);
    const std::size_t e = s + static_cast<std::size_t>(engine.matchLen(0));
    if (e == s) continue;
    std::size_t l = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), s) -
                                             starts.begin()) -
                    1;
    for (; l < lines.size() && starts[l] < e; ++l) {
      const std::size_t lineEnd = starts[l] + lines[l].text.size();
      const std::size_t hs = std::max(s, starts[l]), he = std::min(e, lineEnd);
      if (he <= hs) continue;
      const auto n = static_cast<std::int64_t>(l + 1);
      addHit(out, n, lines[l].text, {FoundLines::prefixLength(n) + (hs - starts[l]), he - hs, -1});
    }
  }
  out.hits = {count};
}

void fillEachLine(RegExpr& engine, std::string_view text, FillOutcome& out) {
  std::int64_t count = 0, lineNumber = 0;
  text::forEachLine(text, [&](const text::Line& line) {
    ++lineNumber;
    for (bool found = engine.exec(line.text); found; found = engine.execNext()) {
      ++count;
      const auto len = static_cast<std::size_t>(engine.matchLen(0));
      if (len == 0) continue;
      const auto pos = static_cast<std::size_t>(engine.matchPos(0) - 1);
      addHit(out, lineNumber, line.text, {FoundLines::prefixLength(lineNumber) + pos, len, -1});
    }
  });
  out.hits = {count};
}

bool fillExpression(const SearchRequest& request, std::string_view text, Poller& poller,
                    FillOutcome& out) {
  RegExpr engine;
  configureRegExpr(engine, request);
  engine.setPollCallback([&poller] { return poller.stopped(); });
  try {
    if (regexUsesWholeText(request)) {
      fillWholeText(engine, text, out);
    } else {
      fillEachLine(engine, text, out);
    }
  } catch (const RegExprAborted&) {
    return false;
  } catch (const RegExprError& error) {
    throw regexSearchError(error);
  }
  return !poller.stopped();
}

// The file's text in UTF-8, decoded into `storage` when the file is in another encoding
// (the lines are shown as characters whatever the query).
std::string_view textOf(std::string_view bytes, const std::string& codePage, std::string& storage) {
  try {
    return text::decodeFile(bytes, codePage, true, storage).text;
  } catch (const text::EncodingError&) {
    return bytes;  // a code page that cannot be used: the bytes as they are
  }
}

// The fill with the term table already built.
FillOutcome fillParsed(const SearchRequest& request, std::string_view folder, std::string_view name,
                       std::string_view bytes, const std::function<bool()>& poll) {
  FillOutcome out;
  out.lines.begin(name, folder);
  if (hasEmptyQuery(request)) return out;
  checkQueryLimits(request);
  std::string decoded;
  const std::string_view text = text::textUntilNul(textOf(bytes, request.legacyCodePage, decoded));
  Poller poller(poll, kFillPollMs);
  switch (queryTypeInfo(request.queryType).matchEngine) {
    case MatchEngine::Blocks:
      out.completed = fillBlocks(request, text, poller, out);
      break;
    case MatchEngine::Expression:
      out.completed = fillExpression(request, text, poller, out);
      break;
    case MatchEngine::Terms:
      out.completed = fillTerms(request, text, poller, out);
      break;
  }
  return out;
}

}  // namespace

FillOutcome fillFoundLines(const SearchRequest& request, std::string_view folder,
                           std::string_view name, const std::function<bool()>& poll) {
  const std::string full = platform::joinPath(folder, name);
  std::string bytes;
  try {
    platform::ReadOnlyFile file(full);
    bytes.resize(file.readAll(bytes).size());
  } catch (const platform::PlatformError& e) {
    if (e.errorCode() == EFBIG) {  // larger than a whole file may be
      throw SearchError(kProgramCaption,
                        "Search Error: File " + full + " is too large for these search conditions");
    }
    throw SearchError(kProgramCaption, "File " + full + " not found");
  }
  std::optional<SearchRequest> parsed;
  return fillParsed(withTermTable(request, parsed), folder, name, bytes, poll);
}

}  // namespace kestrix::search
