// The matchers of a run. Term queries stream the file through a small window that stays in
// the cache (TermScan), a big file split across the run's workers; block and expression
// queries stream the file too (a prefilter term scan, then the lines); expression queries
// searched line by line stream it through windows of whole lines, those over the whole
// text read the whole file and cut the text at its first NUL.
#include "search/FileMatcher.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "platform/Platform.h"
#include "search/BlockScan.h"
#include "search/LineWindows.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

// Reads `file` by offset. Reading stops at the size fstat gave when the file was opened,
// without one more call to see the end (a file that grows meanwhile is read as it was,
// like readAll does); a file that reports no size (kernel files, which may never end) is
// read until the end, or up to the read cap, past which it fails as too large.
ReadAt readerOf(const platform::ReadOnlyFile& file, const std::string& fullName) {
  const auto known = static_cast<std::uint64_t>(std::max<std::int64_t>(file.info().sizeBytes, 0));
  const auto cap = static_cast<std::uint64_t>(platform::readCap());
  return [&file, &fullName, known, cap](std::uint64_t offset, char* out,
                                        std::size_t size) -> std::size_t {
    if (known > 0 && offset >= known) return 0;
    if (known == 0 && offset >= cap) platform::failTooLarge(fullName, platform::readCap());
    return file.readAt(offset, out, size);
  };
}

bool tooLarge(const platform::PlatformError& e) {
  return e.errorCode() == EFBIG;
}

}  // namespace

FileMatcher::FileMatcher(const SearchRequest& request, Poller& poller)
    : request_(request), poller_(poller) {
  nameOnly_ = hasEmptyQuery(request);
  if (nameOnly_) return;
  if (!usesQueryLines(request.queryType)) termScan_.emplace(request);
  if (request.queryType == QueryType::Multiline) {
    const BlockOptions options = blockOptionsOf(request);
    for (const std::string& line : request.queryLines) {
      blockLines_.push_back(prepareBlockLine(line, options));
    }
    auto longest = std::max_element(blockLines_.begin(), blockLines_.end(),
                                    [](auto& a, auto& b) { return a.size() < b.size(); });
    if (!longest->empty()) {
      // A block holds its longest line, so a file without that text has none.
      prefilterRequest_.queryType = QueryType::Phrase;
      prefilterRequest_.caseSensitive = request.caseSensitive;
      prefilterRequest_.termTable.terms.push_back(Term{*longest, 0});
      termScan_.emplace(prefilterRequest_);
    }
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
  const char* caption = request_.queryType == QueryType::RegExpr ? kRegexCaption : kProgramCaption;
  try {
    switch (request_.queryType) {
      case QueryType::Multiline:
        return matchBlocks(file, fullName);
      case QueryType::RegExpr:
        return matchExpression(file, fullName);
      default:
        return matchTerms(file, fullName);
    }
  } catch (const std::bad_alloc&) {
    warnTooLarge(caption, fullName);
  } catch (const platform::PlatformError& e) {
    if (!tooLarge(e)) throw;
    warnTooLarge(caption, fullName);
  }
  return std::nullopt;
}

// A file too large for the memory left is skipped with a warning (unless the run stops).
void FileMatcher::warnTooLarge(const char* caption, const std::string& fullName) {
  buffer_ = std::string();  // give the memory back before the next file
  wholeFile_.release();
  if (!poller_.stopped()) {
    warning_.emplace(
        caption, "Search Error: File " + fullName + " is too large for these search conditions");
  }
}

std::optional<std::vector<std::int64_t>> FileMatcher::matchTerms(platform::ReadOnlyFile& file,
                                                                 const std::string& fullName) {
  const ReadAt read = readerOf(file, fullName);
  const std::optional<RangeScan> scan = scanTerms(file, read);
  if (!scan) return std::nullopt;
  return termScan_->evaluate(*scan);
}

// The term scan of a file, split across the workers when it is big; nothing when stopped.
std::optional<RangeScan> FileMatcher::scanTerms(const platform::ReadOnlyFile& file,
                                                const ReadAt& read) {
  const auto size = static_cast<std::uint64_t>(std::max<std::int64_t>(file.info().sizeBytes, 0));
  std::optional<RangeScan> scan;
  if (helpers_ && helpers_->helperCount() > 0 && size >= kSplitThreshold) {
    scan = scanSplit(read, size);
  } else {
    scan = termScan_->scan(read, 0, TermScan::kToEnd, {}, buffer_,
                           [this] { return poller_.stopped(); });
    if (scan->abandoned) scan.reset();
  }
  return scan;
}

// A big file: its ranges are offered to the other workers and run here too; once every
// range is done they are combined in order.
std::optional<RangeScan> FileMatcher::scanSplit(const ReadAt& read, std::uint64_t size) {
  auto job = std::make_shared<SplitScan>(*termScan_, read, size, kSplitRange);
  const auto others =
      static_cast<unsigned>(std::min<std::size_t>(helpers_->helperCount(), job->rangeCount() - 1));
  helpers_->offer(job, others);
  while (job->runOne(buffer_, poller_)) {
  }
  job->wait();
  return job->combine(buffer_, poller_);
}

void FileMatcher::help(SplitScan& job) {
  while (job.runOne(buffer_, poller_)) {
  }
}

std::optional<std::vector<std::int64_t>> FileMatcher::matchBlocks(platform::ReadOnlyFile& file,
                                                                  const std::string& fullName) {
  const ReadAt read = readerOf(file, fullName);
  if (termScan_) {
    const std::optional<RangeScan> scan = scanTerms(file, read);
    if (!scan || scan->hits[0] == 0) return std::nullopt;
  }
  const std::optional<std::int64_t> count = countBlocks(
      read, blockLines_, blockOptionsOf(request_), buffer_, [this] { return poller_.stopped(); });
  if (!count || *count == 0) return std::nullopt;
  return std::vector<std::int64_t>{*count};
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
    if (wholeText_) {
      const std::string_view text = text::textUntilNul(file.readAll(wholeFile_));
      const std::string subject = wholeTextSubject(text);
      for (bool found = engine_->exec(subject); found; found = engine_->execNext()) {
        if (engine_->matchPos(0) > 0) ++count;
        if ((count & 1023) == 0 && poller_.stopped()) return std::nullopt;
      }
    } else {
      // Line by line: the file streams through windows of whole lines.
      const ReadAt read = readerOf(file, fullName);
      const std::int64_t size = file.info().sizeBytes;
      const bool finished = forEachLineWindow(
          read, buffer_, kLineWindowBytes,
          [&](std::string_view lines) { return countLines(lines, count) && !poller_.stopped(); },
          size > 0 ? static_cast<std::uint64_t>(size) : TermScan::kToEnd);
      if (!finished) return std::nullopt;
    }
  } catch (const RegExprAborted&) {
    return std::nullopt;
  } catch (const RegExprError& e) {
    // A subject longer than the engine takes is a limit of this file, not of the expression.
    if (e.code() != kInputTooLongCode) throw regexSearchError(e);
    warnTooLarge(kRegexCaption, fullName);
    return std::nullopt;
  }
  if (count == 0 || poller_.stopped()) return std::nullopt;
  return std::vector<std::int64_t>{count};
}

}  // namespace kestrix::search
