// The matchers of a run. Term queries stream the file through a small window that stays in
// the cache (TermScan), a big file split across the run's workers; block and expression
// queries stream the file too (a prefilter term scan, then the lines); expression queries
// searched line by line stream it through windows of whole lines, those over the whole
// text read the whole file and cut the text at its first NUL.
#include "search/FileMatcher.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

#include "platform/Platform.h"
#include "search/BlockScan.h"
#include "search/LegacyText.h"
#include "search/LineWindows.h"
#include "search/Utf8Pieces.h"
#include "text/Encoding.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

// What a file's reader found out about the file's text while it streamed.
enum class Found : int {
  Nothing,
  Bom,      // it starts with a byte-order mark: its text must be decoded first
  NotUtf8,  // (when checked) its text is not UTF-8: it is in the legacy code page
};

// What reading one file by offset needs; lives while the file is matched, so that its
// reader holds only a pointer (and std::function keeps it without allocating).
struct FileReading {
  FileReading(const platform::ReadOnlyFile& f, const std::string& name, bool check)
      : file(f),
        fullName(name),
        known(static_cast<std::uint64_t>(std::max<std::int64_t>(f.info().sizeBytes, 0))),
        checkUtf8(check) {}
  const platform::ReadOnlyFile& file;
  const std::string& fullName;
  std::uint64_t known;  // the size fstat gave, 0 when not known
  bool checkUtf8;
  // Set by the reader, which may run on several workers at once (a split file). Once set,
  // the reader reads nothing more, so the matching ends soon and starts over as it says.
  std::atomic<Found> found{Found::Nothing};
};

// Reads the file of `reading` by offset. Reading stops at the size fstat gave when the file
// was opened, without one more call to see the end (a file that grows meanwhile is read as
// it was, like readAll does); a file that reports no size (kernel files, which may never
// end) is read until the end, or up to the read cap, past which it fails as too large. A
// first read that shows a byte-order mark sets Found::Bom; with `checkUtf8`, a read that
// shows the text is not UTF-8 sets Found::NotUtf8. Either ends the reading (0 bytes from
// then on): the file is matched again, decoded. Flags instead of exceptions, since a tree
// may hold thousands of such files.
ReadAt readerOf(FileReading& reading) {
  return [&reading](std::uint64_t offset, char* out, std::size_t size) -> std::size_t {
    if (reading.found.load(std::memory_order_relaxed) != Found::Nothing) return 0;
    const std::uint64_t known = reading.known;
    const auto cap = static_cast<std::uint64_t>(platform::readCap());
    if (known > 0 && offset >= known) return 0;
    if (known == 0 && offset >= cap) platform::failTooLarge(reading.fullName, platform::readCap());
    const std::size_t got = reading.file.readAt(offset, out, size);
    if (offset == 0 && got >= 2 && text::encodingOfBom({out, got}) != text::Encoding::Utf8) {
      reading.found = Found::Bom;
      return 0;
    }
    if (reading.checkUtf8) {
      const bool atEnd = got < size || (known > 0 && offset + got >= known);
      const ReadAt raw = [&reading](std::uint64_t at, char* to, std::size_t n) {
        return reading.file.readAt(at, to, n);
      };
      if (!pieceMayBeUtf8({out, got}, offset, atEnd, raw)) {
        reading.found = Found::NotUtf8;
        return 0;
      }
    }
    return got;
  };
}

// Reads the raw bytes of a legacy file through `raw` (sequentially, on one thread) up to its
// first NUL byte, where its text ends, as decoding the whole file does: nothing past it is
// read or decoded.
ReadAt legacyReaderOf(ReadAt raw, std::uint64_t& textEnd) {
  textEnd = std::numeric_limits<std::uint64_t>::max();
  return [raw = std::move(raw), &textEnd](std::uint64_t offset, char* out,
                                          std::size_t size) -> std::size_t {
    if (offset >= textEnd) return 0;
    std::size_t got = raw(offset, out, size);
    if (const void* nul = std::memchr(out, 0, got)) {
      got = static_cast<std::size_t>(static_cast<const char*>(nul) - out);
      textEnd = offset + got;
    }
    return got;
  };
}

bool tooLarge(const platform::PlatformError& e) {
  return e.errorCode() == EFBIG;
}

// Reads the text `text` in memory by offset (thread-safe: the text does not change).
ReadAt readerOf(std::string_view text) {
  return [text](std::uint64_t offset, char* out, std::size_t size) -> std::size_t {
    if (offset >= text.size()) return 0;
    const std::size_t n = std::min<std::size_t>(size, text.size() - offset);
    std::memcpy(out, text.data() + offset, n);
    return n;
  };
}

// True when `file` starts with a byte-order mark.
bool startsWithBom(const platform::ReadOnlyFile& file) {
  char head[3];
  const std::size_t got = file.readAt(0, head, sizeof head);
  return text::encodingOfBom({head, got}) != text::Encoding::Utf8;
}

// True when the query holds a byte that is not ASCII: a legacy file must then be decoded,
// since its bytes differ from the query's UTF-8.
bool queryBeyondAscii(const SearchRequest& request) {
  return !text::isAscii(request.queryText) ||
         !std::all_of(request.queryLines.begin(), request.queryLines.end(),
                      [](const std::string& line) { return text::isAscii(line); });
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
      // Terms of a caseless search are upper-cased like the query's (the finder folds a
      // term outside ASCII itself).
      prefilterRequest_.termTable.terms.push_back(
          Term{request.caseSensitive ? *longest : text::activeCodePage().toUpper(*longest), 0});
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
  decodeLegacy_ = queryBeyondAscii(request);
}

FileMatcher::~FileMatcher() = default;

std::optional<std::vector<std::int64_t>> FileMatcher::match(platform::ReadOnlyFile& file,
                                                            const std::string& fullName) {
  return guarded(fullName, [&] { return matchFile(file, fullName); });
}

std::optional<std::vector<std::int64_t>> FileMatcher::match(std::string_view bytes,
                                                            const std::string& fullName) {
  return guarded(fullName, [&] { return matchBytes(bytes, fullName); });
}

// Runs `match` after the query limits were checked (at the first file); a file too large
// for memory or for the read cap gives nothing and a warning.
template <class Match>
std::optional<std::vector<std::int64_t>> FileMatcher::guarded(const std::string& fullName,
                                                              Match&& match) {
  warning_.reset();
  if (!checked_) {
    checked_ = true;
    checkQueryLimits(request_);
  }
  const char* caption = request_.queryType == QueryType::RegExpr ? kRegexCaption : kProgramCaption;
  try {
    return match();
  } catch (const std::bad_alloc&) {
    warnTooLarge(caption, fullName);
  } catch (const platform::PlatformError& e) {
    if (!tooLarge(e)) throw;
    warnTooLarge(caption, fullName);
  }
  return std::nullopt;
}

// The whole file is read when the expression needs the whole text, when a byte-order mark
// says so, or when a query beyond ASCII meets a file that is not UTF-8 (its legacy text is
// decoded); every other file streams.
std::optional<std::vector<std::int64_t>> FileMatcher::matchFile(platform::ReadOnlyFile& file,
                                                                const std::string& fullName) {
  const auto size = static_cast<std::uint64_t>(std::max<std::int64_t>(file.info().sizeBytes, 0));
  if (wholeText_) return matchWhole(file, fullName, false);
  if (size >= kSplitThreshold && startsWithBom(file)) return matchWhole(file, fullName, true);
  FileReading reading(file, fullName, decodeLegacy_);
  auto hits = matchSource({readerOf(reading), size, std::nullopt, decodeLegacy_}, fullName);
  switch (reading.found.load()) {
    case Found::Bom:
      return matchWhole(file, fullName, true);
    case Found::NotUtf8:
      return matchLegacy(file, fullName);
    case Found::Nothing:
      break;
  }
  return hits;
}

// The file read whole and decoded to UTF-8 where it is not, then matched in memory. When
// `hasBom` (it starts with a byte-order mark) a UTF-16 file is decoded as it is read, so
// that only its text is held whole. Throws std::bad_alloc, and PlatformError (EFBIG past
// the read cap).
std::optional<std::vector<std::int64_t>> FileMatcher::matchWhole(platform::ReadOnlyFile& file,
                                                                 const std::string& fullName,
                                                                 bool hasBom) {
  char head[3];
  const text::Encoding bom = hasBom ? text::encodingOfBom({head, file.readAt(0, head, sizeof head)})
                                    : text::Encoding::Utf8;
  if (bom == text::Encoding::Utf16Le || bom == text::Encoding::Utf16Be) {
    const std::string_view text = readUtf16(file, fullName, bom == text::Encoding::Utf16Be);
    return matchSource({readerOf(text), text.size(), text}, fullName);
  }
  return matchBytes(file.readAll(wholeFile_), fullName);
}

// A file's bytes in memory, decoded to UTF-8 where they are not, then matched.
std::optional<std::vector<std::int64_t>> FileMatcher::matchBytes(std::string_view bytes,
                                                                 const std::string& fullName) {
  std::string_view text;
  try {
    text = text::decodeFile(bytes, request_.legacyCodePage, decodeLegacy_, decoded_).text;
  } catch (const text::EncodingError&) {
    text = bytes;  // a code page that cannot be used: the bytes as they are
  }
  return matchSource({readerOf(text), text.size(), text}, fullName);
}

// A file in the legacy code page streams from start to end on this worker, decoded as it
// is read up to its first NUL; one in a page that cannot be decoded byte by byte is read
// whole.
std::optional<std::vector<std::int64_t>> FileMatcher::matchLegacy(platform::ReadOnlyFile& file,
                                                                  const std::string& fullName) {
  if (!legacyTableMade_) {
    legacyTableMade_ = true;
    legacyTable_ = LegacyTable::of(request_.legacyCodePage);
  }
  if (!legacyTable_) return matchWhole(file, fullName, false);
  // The stream keeps this file's reader until the next file's restart, never calling it
  // after this file.
  FileReading reading(file, fullName, false);
  ReadAt raw = legacyReaderOf(readerOf(reading), legacyTextEnd_);
  if (!legacyStream_) {
    legacyStream_ = std::make_unique<LegacyStream>(std::move(raw), *legacyTable_);
  } else {
    legacyStream_->restart(std::move(raw));
  }
  const ReadAt read = [this](std::uint64_t offset, char* out, std::size_t size) {
    return legacyStream_->read(offset, out, size);
  };
  return matchSource({read, 0, std::nullopt}, fullName);
}

// Reads a UTF-16 file after its byte-order mark piece by piece into decoded_, so that only
// its UTF-8 text is held whole; up to the read cap, past which it fails as too large.
std::string_view FileMatcher::readUtf16(const platform::ReadOnlyFile& file,
                                        const std::string& fullName, bool bigEndian) {
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  const auto size = static_cast<std::uint64_t>(std::max<std::int64_t>(file.info().sizeBytes, 0));
  const auto cap = static_cast<std::uint64_t>(platform::readCap());
  if (size > cap) platform::failTooLarge(fullName, platform::readCap());
  decoded_.clear();
  // About right for text that is mostly ASCII, with room for the last piece's worst case.
  decoded_.reserve(size / 2 + kPiece * 3 / 2 + 16);
  buffer_.resize(kPiece);
  std::uint64_t offset = 2;
  std::size_t kept = 0;  // bytes of the last piece left for the next
  for (std::size_t got; (got = file.readAt(offset, buffer_.data() + kept, kPiece - kept)) > 0;) {
    offset += got;
    if (offset > cap) platform::failTooLarge(fullName, platform::readCap());
    const std::size_t have = kept + got;
    const std::size_t used =
        text::appendUtf16AsUtf8({buffer_.data(), have}, bigEndian, false, decoded_);
    kept = have - used;
    std::memmove(buffer_.data(), buffer_.data() + used, kept);
  }
  text::appendUtf16AsUtf8({buffer_.data(), kept}, bigEndian, true, decoded_);
  return decoded_;
}

std::optional<std::vector<std::int64_t>> FileMatcher::matchSource(const Source& source,
                                                                  const std::string& fullName) {
  switch (queryTypeInfo(request_.queryType).matchEngine) {
    case MatchEngine::Blocks:
      return matchBlocks(source);
    case MatchEngine::Expression:
      return matchExpression(source, fullName);
    case MatchEngine::Terms:
      return matchTerms(source);
  }
  return std::nullopt;
}

// A file too large for the memory left is skipped with a warning (unless the run stops).
void FileMatcher::warnTooLarge(const char* caption, const std::string& fullName) {
  buffer_ = std::string();  // give the memory back before the next file
  std::string().swap(decoded_);
  wholeFile_.release();
  if (!poller_.stopped()) {
    warning_.emplace(
        caption, "Search Error: File " + fullName + " is too large for these search conditions");
  }
}

std::optional<std::vector<std::int64_t>> FileMatcher::matchTerms(const Source& source) {
  const std::optional<RangeScan> scan = scanTerms(source);
  if (!scan) return std::nullopt;
  // An excluded term ends the scan early; what it had not read must still be UTF-8 for the
  // verdict to hold (a legacy file's decoded text may not hold that term).
  if (scan->rejectedAt && source.checksUtf8) readToTextEnd(source);
  return termScan_->evaluate(*scan);
}

// Reads the file through its checking reader up to its first NUL, so that a text that is
// not UTF-8 is found out (Found::NotUtf8).
void FileMatcher::readToTextEnd(const Source& source) {
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  buffer_.resize(kPiece);
  for (std::uint64_t offset = 0;;) {
    const std::size_t got = source.read(offset, buffer_.data(), kPiece);
    if (got == 0 || std::memchr(buffer_.data(), 0, got) != nullptr) return;
    offset += got;
    if (poller_.stopped()) return;
  }
}

// The term scan of a file, split across the workers when it is big; nothing when stopped.
std::optional<RangeScan> FileMatcher::scanTerms(const Source& source) {
  std::optional<RangeScan> scan;
  if (splits(source)) {
    scan = scanSplit(source.read, source.size);
  } else {
    scan = termScan_->scan(source.read, 0, TermScan::kToEnd, {}, buffer_,
                           [this] { return poller_.stopped(); });
    if (scan->abandoned) scan.reset();
  }
  return scan;
}

// True when the file is big enough to be split and other workers could help.
bool FileMatcher::splits(const Source& source) const {
  return helpers_ && helpers_->helperCount() > 0 && source.size >= kSplitThreshold;
}

// Offers the ranges of `job` to as many other workers as could take one.
void FileMatcher::share(const std::shared_ptr<SplitJob>& job) {
  const auto others =
      static_cast<unsigned>(std::min<std::size_t>(helpers_->helperCount(), job->rangeCount() - 1));
  helpers_->offer(job, others);
}

// A big file: its ranges are offered to the other workers and run here too; once every
// range is done they are combined in order.
std::optional<RangeScan> FileMatcher::scanSplit(const ReadAt& read, std::uint64_t size) {
  auto job = std::make_shared<SplitScan>(*termScan_, read, size, kSplitRange);
  share(job);
  while (job->runOne(buffer_, poller_)) {
  }
  job->wait();
  return job->combine(buffer_, poller_);
}

void FileMatcher::help(SplitScan& job) {
  while (job.runOne(buffer_, poller_)) {
  }
}

// The line-by-line expression search of a big file, split like the term scan.
std::optional<std::int64_t> FileMatcher::countSplit(const Source& source) {
  auto job = std::make_shared<LineSplit>(source.read, source.size, kSplitRange);
  share(job);
  help(*job);
  job->wait();
  return job->combine();
}

void FileMatcher::help(LineSplit& job) {
  const LineSplit::CountLines count = [this](std::string_view lines, std::int64_t& n) {
    return countWindow(lines, n);
  };
  while (job.runOne(buffer_, count)) {
  }
}

// Counts the matches of a window of whole lines; false when the run stopped.
bool FileMatcher::countWindow(std::string_view lines, std::int64_t& count) {
  return countLines(lines, count) && !poller_.stopped();
}

std::optional<std::vector<std::int64_t>> FileMatcher::matchBlocks(const Source& source) {
  if (termScan_) {
    const std::optional<RangeScan> scan = scanTerms(source);
    if (!scan || scan->hits[0] == 0) return std::nullopt;
  }
  const std::optional<std::int64_t> count =
      countBlocks(source.read, blockLines_, blockOptionsOf(request_), buffer_,
                  [this] { return poller_.stopped(); });
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

std::optional<std::vector<std::int64_t>> FileMatcher::matchExpression(const Source& source,
                                                                      const std::string& fullName) {
  std::int64_t count = 0;
  try {
    if (wholeText_) {
      const std::string_view text = text::textUntilNul(*source.text);
      const std::string subject = wholeTextSubject(text);
      for (bool found = engine_->exec(subject); found; found = engine_->execNext()) {
        if (engine_->matchPos(0) > 0) ++count;
        if ((count & 1023) == 0 && poller_.stopped()) return std::nullopt;
      }
    } else if (splits(source)) {
      const std::optional<std::int64_t> total = countSplit(source);
      if (!total) return std::nullopt;
      count = *total;
    } else {
      // Line by line: the file streams through windows of whole lines.
      const bool finished = forEachLineWindow(
          source.read, buffer_, kLineWindowBytes,
          [&](std::string_view lines) { return countWindow(lines, count); },
          source.size > 0 ? source.size : TermScan::kToEnd);
      if (!finished) return std::nullopt;
    }
  } catch (const RegExprAborted&) {
    return std::nullopt;
  } catch (const RegExprError& e) {
    // A subject longer than the engine takes is a limit of this file, not of the expression.
    if (e.code() != kInputTooLongCode) throw regexSearchError(e);
    warnTooLarge(kRegexCaption, fullName);
    return std::nullopt;
  } catch (const std::bad_alloc&) {
    warnTooLarge(kRegexCaption, fullName);
    return std::nullopt;
  }
  if (count == 0 || poller_.stopped()) return std::nullopt;
  return std::vector<std::int64_t>{count};
}

}  // namespace kestrix::search
