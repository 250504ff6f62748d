// The matchers of a run. Term queries stream the file through a small window that stays in
// the cache, scanning each window once per term (breaks are never part of a term or a word,
// so this equals scanning line by line, without splitting lines). Block and expression
// queries read the whole file, cut the text at its first NUL and go line by line.
#include "search/FileMatcher.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "platform/Platform.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

constexpr std::size_t kScanChunk = std::size_t{128} << 10;  // a window that stays in cache

bool hasBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

FileMatcher::FileMatcher(const SearchRequest& request, Poller& poller)
    : request_(request), poller_(poller) {
  nameOnly_ = hasEmptyQuery(request);
  if (nameOnly_) return;
  const auto& terms = request.termTable.terms;
  for (const Term& term : terms) {
    finders_.emplace_back(term.text, request.caseSensitive);
    maxTermLength_ = std::max(maxTermLength_, term.text.size());
  }
  chunk_ = std::max(kScanChunk, 4 * maxTermLength_);
  for (char sign : {'-', '+', '\0'}) {
    for (std::size_t i = 0; i < terms.size(); ++i) {
      if (terms[i].sign == sign) termOrder_.push_back(i);
    }
  }
  if (request.queryType == QueryType::Multiline) {
    const BlockOptions options = blockOptionsOf(request);
    for (const std::string& line : request.queryLines) {
      blockLines_.push_back(prepareBlockLine(line, options));
    }
    auto longest = std::max_element(blockLines_.begin(), blockLines_.end(),
                                    [](auto& a, auto& b) { return a.size() < b.size(); });
    if (!longest->empty()) blockPrefilter_.emplace(*longest, request.caseSensitive);
  }
  if (request.queryType == QueryType::RegExpr) {
    engine_ = std::make_unique<RegExpr>();
    configureRegExpr(*engine_, request);
    engine_->setPollCallback([this] { return poller_.stopped(); });
    wholeText_ = regexUsesWholeText(request);
    linePrefilter_ = !wholeText_ && regexSafeOnWholeText(regexExpression(request.queryLines));
  }
}

FileMatcher::~FileMatcher() = default;

std::optional<std::vector<std::int64_t>> FileMatcher::match(platform::ReadOnlyFile& file,
                                                            const std::string& fullName) {
  warning_.reset();
  if (!checked_) {
    checked_ = true;
    checkQueryLimits(request_);
  }
  switch (request_.queryType) {
    case QueryType::Multiline:
      try {
        return matchBlocks(text::textUntilNul(file.readAll(buffer_)));
      } catch (const std::bad_alloc&) {
        warnTooLarge(kProgramCaption, fullName);
        return std::nullopt;
      }
    case QueryType::RegExpr:
      return matchExpression(file, fullName);
    default:
      return matchTerms(file);
  }
}

// A file too large for the memory left is skipped with a warning (unless the run stops).
void FileMatcher::warnTooLarge(const char* caption, const std::string& fullName) {
  buffer_ = std::string();  // give the memory back before the next file
  if (!poller_.stopped()) {
    warning_.emplace(
        caption, "Search Error: File " + fullName + " is too large for these search conditions");
  }
}

// Scans the window [0, viewEnd) of the buffer for one term from `from` (absolute), counting
// qualifying hits. Returns false when an excluded term hit ends the file.
bool FileMatcher::scanWindow(std::size_t term, std::size_t viewEnd, std::size_t size,
                             std::int64_t& hits) {
  const LiteralFinder& finder = finders_[term];
  const std::size_t len = finder.term().size();
  const std::string_view view(buffer_.data(), viewEnd);
  const std::string_view text(buffer_.data(), size);  // with the look-ahead byte
  std::size_t rel = from_[term] - base_;
  for (std::size_t pos = finder.find(view, rel); pos != std::string_view::npos;
       pos = finder.find(view, rel)) {
    if (!request_.wholeWords || isWholeWordAt(text, pos, len)) {
      ++hits;
      if (request_.termTable.terms[term].sign == '-') return false;
      rel = pos + len;
    } else {
      rel = pos + 1;
    }
  }
  // Every start before viewEnd - len + 1 has been tried.
  from_[term] = base_ + std::max(rel, viewEnd + 1 >= len ? viewEnd + 1 - len : 0);
  return true;
}

// Drops the bytes no term needs any more (one byte is kept before the earliest next start
// for the whole-word test) and returns the bytes kept.
std::size_t FileMatcher::compactWindow(std::size_t size) {
  std::size_t keep = base_ + size;
  for (std::size_t i : termOrder_) {
    if (!hasBreak(finders_[i].term())) keep = std::min(keep, from_[i]);
  }
  if (keep > base_) --keep;
  const std::size_t drop = keep - base_;
  std::memmove(buffer_.data(), buffer_.data() + drop, size - drop);
  base_ = keep;
  return size - drop;
}

std::optional<std::vector<std::int64_t>> FileMatcher::matchTerms(platform::ReadOnlyFile& reader) {
  const auto& terms = request_.termTable.terms;
  std::vector<std::int64_t> hits(terms.size(), 0);
  from_.assign(terms.size(), 0);
  base_ = 0;
  if (buffer_.size() < chunk_ + maxTermLength_ + 8) buffer_.resize(chunk_ + maxTermLength_ + 8);
  std::size_t size = 0;
  for (bool eof = false; !eof;) {
    if (poller_.stopped()) return std::nullopt;
    std::size_t got = reader.read(buffer_.data() + size, chunk_);
    eof = got == 0;
    // The text ends at its first NUL.
    if (const void* nul = std::memchr(buffer_.data() + size, 0, got)) {
      got = 0, eof = true;
      size = static_cast<std::size_t>(static_cast<const char*>(nul) - buffer_.data());
    }
    size += got;
    const std::size_t viewEnd = eof ? size : size - 1;  // one byte of look-ahead
    for (std::size_t i : termOrder_) {
      if (hasBreak(finders_[i].term())) continue;  // a line never holds a break
      if (!scanWindow(i, viewEnd, size, hits[i])) return std::nullopt;
    }
    if (!eof) size = compactWindow(size);
  }
  return evaluateTerms(hits);
}

std::optional<std::vector<std::int64_t>> FileMatcher::evaluateTerms(
    std::vector<std::int64_t> hits) const {
  const auto& terms = request_.termTable.terms;
  bool any = false;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    if (terms[i].sign == '+' && hits[i] == 0) return std::nullopt;
    any = any || hits[i] > 0;
  }
  const bool allNegative =
      request_.queryType == QueryType::SearchEngine && request_.termTable.allNegative;
  if (!any && !allNegative) return std::nullopt;
  return hits;
}

std::optional<std::vector<std::int64_t>> FileMatcher::matchBlocks(std::string_view text) {
  if (blockPrefilter_ && blockPrefilter_->find(text) == std::string_view::npos) {
    return std::nullopt;
  }
  std::vector<std::string_view> lines;
  text::forEachLine(text, [&](const text::Line& line) { lines.push_back(line.text); });
  const BlockOptions options = blockOptionsOf(request_);
  const std::size_t n = blockLines_.size();
  std::int64_t count = 0;
  std::size_t s = 0;
  while (s + n <= lines.size()) {
    if ((s & 4095) == 0 && poller_.stopped()) return std::nullopt;
    std::size_t j = 0;
    while (j < n && blockLineEquals(lines[s + j], blockLines_[j], options)) ++j;
    if (j == n) {
      ++count;
      s += n;
    } else {
      ++s;
    }
  }
  if (count == 0) return std::nullopt;
  return std::vector<std::int64_t>{count};
}

// Line by line, in one pass over the whole text when the engine can count that way;
// otherwise one whole-text search first rejects a file without any match (when the
// expression cannot behave differently across line breaks), then each line is searched
// and every match counted.
bool FileMatcher::countLines(std::string_view text, std::int64_t& count) {
  if (engine_->countLineMatches(text, count)) return true;
  if (linePrefilter_) {
    try {
      if (!engine_->exec(text)) return true;
    } catch (const RegExprError&) {
      // A limit of the engine on the long subject: the line pass decides.
    }
  }
  bool go = true;
  std::size_t lines = 0;
  text::forEachLine(text, [&](const text::Line& line) {
    for (bool found = engine_->exec(line.text); found; found = engine_->execNext()) ++count;
    go = (++lines & 1023) != 0 || !poller_.stopped();
    return go;
  });
  return go;
}

std::optional<std::vector<std::int64_t>> FileMatcher::matchExpression(platform::ReadOnlyFile& file,
                                                                      const std::string& fullName) {
  std::int64_t count = 0;
  try {
    const std::string_view text = text::textUntilNul(file.readAll(buffer_));
    if (wholeText_) {
      const std::string subject = wholeTextSubject(text);
      for (bool found = engine_->exec(subject); found; found = engine_->execNext()) {
        if (engine_->matchPos(0) > 0) ++count;
        if ((count & 1023) == 0 && poller_.stopped()) return std::nullopt;
      }
    } else if (!countLines(text, count)) {
      return std::nullopt;
    }
  } catch (const RegExprAborted&) {
    return std::nullopt;
  } catch (const RegExprError& e) {
    throw regexSearchError(e);
  } catch (const std::bad_alloc&) {
    warnTooLarge(kRegexCaption, fullName);
    return std::nullopt;
  }
  if (count == 0 || poller_.stopped()) return std::nullopt;
  return std::vector<std::int64_t>{count};
}

}  // namespace kestrix::search
