// The matchers of a run. Term queries scan the raw bytes of the whole file once per term
// (breaks are never part of a term or a word, so this equals scanning line by line); the
// first NUL is looked for only as far as hits reach. Block and expression queries cut the
// text at its first NUL and go line by line.
#include "search/FileMatcher.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "platform/Platform.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

constexpr std::size_t kScanChunk = std::size_t{4} << 20;  // bytes between two polls

bool hasBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

FileMatcher::FileMatcher(const SearchRequest& request, Poller& poller, SearchObserver& observer)
    : request_(request), poller_(poller), observer_(observer) {
  nameOnly_ = hasEmptyQuery(request);
  if (nameOnly_) return;
  const auto& terms = request.termTable.terms;
  for (const Term& term : terms) finders_.emplace_back(term.text, request.caseSensitive);
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
  }
}

FileMatcher::~FileMatcher() = default;

std::optional<std::vector<std::int64_t>> FileMatcher::match(const std::string& fullName) {
  if (!testedAny_) {
    testedAny_ = true;
    if (!nameOnly_) checkQueryLimits(request_);
  }
  if (nameOnly_) return std::vector<std::int64_t>{};
  switch (request_.queryType) {
    case QueryType::Multiline:
      return matchBlocks(text::textUntilNul(platform::readFileInto(fullName, buffer_)));
    case QueryType::RegExpr:
      return matchExpression(fullName);
    default:
      return matchTerms(platform::readFileInto(fullName, buffer_));
  }
}

std::optional<std::int64_t> FileMatcher::countTerm(std::string_view bytes, std::size_t term) {
  const LiteralFinder& finder = finders_[term];
  const std::size_t len = finder.term().size();
  if (hasBreak(finder.term())) return 0;  // a line never holds a break
  std::int64_t count = 0;
  std::size_t from = 0;
  while (from < textEnd_) {
    if (poller_.stopped()) return std::nullopt;
    // Candidates starting in this chunk; the whole-word test sees the bytes after it.
    const std::size_t chunkEnd = std::min(textEnd_, from + kScanChunk);
    const std::string_view window = bytes.substr(0, std::min(textEnd_, chunkEnd + len - 1));
    std::size_t pos = finder.find(window, from);
    while (pos != std::string_view::npos && pos < chunkEnd) {
      // The text ends at its first NUL: look for it as far as this hit reaches.
      if (nulScanned_ < pos + len) {
        const void* nul = std::memchr(bytes.data() + nulScanned_, 0, pos + len - nulScanned_);
        nulScanned_ = pos + len;
        if (nul) {
          textEnd_ = static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data());
          return count;
        }
      }
      if (!request_.wholeWords || isWholeWordAt(bytes.substr(0, textEnd_), pos, len)) {
        ++count;
        from = pos + len;
      } else {
        from = pos + 1;
      }
      pos = finder.find(window, from);
    }
    from = std::max(from, chunkEnd);
  }
  return count;
}

std::optional<std::vector<std::int64_t>> FileMatcher::matchTerms(std::string_view bytes) {
  const auto& terms = request_.termTable.terms;
  std::vector<std::int64_t> hits(terms.size(), 0);
  nulScanned_ = 0;
  textEnd_ = bytes.size();
  bool any = false;
  for (std::size_t i : termOrder_) {
    const std::optional<std::int64_t> count = countTerm(bytes, i);
    if (!count) return std::nullopt;
    hits[i] = *count;
    if (terms[i].sign == '-' && hits[i] > 0) return std::nullopt;
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

std::optional<std::vector<std::int64_t>> FileMatcher::matchExpression(const std::string& fullName) {
  std::int64_t count = 0;
  try {
    const std::string_view text = text::textUntilNul(platform::readFileInto(fullName, buffer_));
    auto countIn = [&](std::string_view subject) {
      for (bool found = engine_->exec(subject); found; found = engine_->execNext()) {
        if (engine_->matchPos(0) > 0) ++count;
        if (poller_.stopped()) return false;
      }
      return true;
    };
    if (wholeText_) {
      if (!countIn(wholeTextSubject(text))) return std::nullopt;
    } else {
      bool go = true;
      text::forEachLine(text, [&](const text::Line& line) {
        go = countIn(line.text) && !poller_.stopped();
        return go;
      });
      if (!go) return std::nullopt;
    }
  } catch (const RegExprAborted&) {
    return std::nullopt;
  } catch (const RegExprError& e) {
    throw regexSearchError(e);
  } catch (const std::bad_alloc&) {
    if (!poller_.stopped()) {
      observer_.warning(kRegexCaption, "Search Error: File " + fullName +
                                           " is too large for these search conditions");
    }
    return std::nullopt;
  }
  if (count == 0) return std::nullopt;
  return std::vector<std::int64_t>{count};
}

}  // namespace kestrix::search
