// Internal: the three matchers of a run (terms, blocks, expression) behind one call that
// tests one file and says whether it is listed and with which hits.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ReadOnlyFile.h"
#include "regex/RegExpr.h"
#include "search/LegacyText.h"
#include "search/LineSplit.h"
#include "search/Matchers.h"
#include "search/Poller.h"
#include "search/SearchRequest.h"
#include "search/SplitScan.h"
#include "search/TermScan.h"

namespace kestrix::search {

// One matcher per thread: it keeps its buffers and its expression engine between files.
class FileMatcher {
 public:
  // `request` carries its term table; request and poller must outlive the matcher. The
  // matcher calls nothing but `poller`, so it may run on a worker thread.
  FileMatcher(const SearchRequest& request, Poller& poller);
  ~FileMatcher();

  // Tests the opened file `file` (named `fullName` in messages): the hits when it is
  // listed, nothing when it is not or when the run was stopped. Not called for runs without
  // a content test (nameOnly). Throws SearchError for failures that end the run (query
  // limits, expression errors) and platform::PlatformError when the file cannot be read
  // (the caller skips it). A file too large for memory, for the read cap or for the engine
  // is not listed and leaves a warning (takeWarning).
  std::optional<std::vector<std::int64_t>> match(platform::ReadOnlyFile& file,
                                                 const std::string& fullName);
  // The same over `bytes`, a file's content already in memory as it is on disk (nothing is
  // read): the same verdict and hits as for the file holding those bytes.
  std::optional<std::vector<std::int64_t>> match(std::string_view bytes,
                                                 const std::string& fullName);

  // True when the run lists files without a content test (empty query).
  bool nameOnly() const { return nameOnly_; }
  // Lets the term scan or the line-by-line expression search of a big file be split
  // across the run's other workers; `helpers` must outlive the matcher's use of it.
  void setHelpers(ScanHelpers* helpers) { helpers_ = helpers; }
  // Runs ranges of another worker's big file until none is left (called on this matcher's
  // thread, between files).
  void help(SplitScan& job);
  void help(LineSplit& job);

  // Files of at least this many bytes are split into ranges of kSplitRange.
  static constexpr std::uint64_t kSplitRange = std::uint64_t{4} << 20;
  static constexpr std::uint64_t kSplitThreshold = 2 * kSplitRange;
  // The warning of the last file matched ("Search Error: File ... is too large ...": the
  // file did not fit in memory), taken out of the matcher; nothing when there was none.
  std::optional<SearchError> takeWarning() { return std::exchange(warning_, std::nullopt); }

 private:
  // What a matcher reads: a file by offset, or a text in memory.
  struct Source {
    ReadAt read;
    std::uint64_t size = 0;                // 0 when not known
    std::optional<std::string_view> text;  // the whole text, when it is in memory
    bool checksUtf8 = false;               // the reader finds out a legacy file
  };
  template <class Match>
  std::optional<std::vector<std::int64_t>> guarded(const std::string& fullName, Match&& match);
  std::optional<std::vector<std::int64_t>> matchFile(platform::ReadOnlyFile& file,
                                                     const std::string& fullName);
  std::optional<std::vector<std::int64_t>> matchBytes(std::string_view bytes,
                                                      const std::string& fullName);
  std::optional<std::vector<std::int64_t>> matchWhole(platform::ReadOnlyFile& file,
                                                      const std::string& fullName, bool hasBom);
  std::optional<std::vector<std::int64_t>> matchLegacy(platform::ReadOnlyFile& file,
                                                       const std::string& fullName);
  std::string_view readUtf16(const platform::ReadOnlyFile& file, const std::string& fullName,
                             bool bigEndian);
  std::optional<std::vector<std::int64_t>> matchSource(const Source& source,
                                                       const std::string& fullName);
  std::optional<std::vector<std::int64_t>> matchTerms(const Source& source);
  void readToTextEnd(const Source& source);
  bool splits(const Source& source) const;
  void share(const std::shared_ptr<SplitJob>& job);
  std::optional<RangeScan> scanSplit(const ReadAt& read, std::uint64_t size);
  std::optional<std::int64_t> countSplit(const Source& source);
  bool countWindow(std::string_view lines, std::int64_t& count);
  std::optional<RangeScan> scanTerms(const Source& source);
  std::optional<std::vector<std::int64_t>> matchBlocks(const Source& source);
  std::optional<std::vector<std::int64_t>> matchExpression(const Source& source,
                                                           const std::string& fullName);
  bool countLines(std::string_view text, std::int64_t& count);
  void warnTooLarge(const char* caption, const std::string& fullName);
  const SearchRequest& request_;
  Poller& poller_;
  bool nameOnly_ = false;
  bool checked_ = false;  // the query limits were checked (at the first file)
  std::optional<SearchError> warning_;
  std::string buffer_;
  platform::ReadBuffer wholeFile_;  // files read whole
  std::string decoded_;             // the UTF-8 text of a file that is not UTF-8
  bool decodeLegacy_ = false;       // the query is not ASCII: legacy files are decoded
  bool legacyTableMade_ = false;
  std::optional<LegacyTable> legacyTable_;      // the legacy code page, when it decodes by bytes
  std::unique_ptr<LegacyStream> legacyStream_;  // reused from file to file
  std::uint64_t legacyTextEnd_ = 0;             // the legacy file's first NUL, once read
  SearchRequest prefilterRequest_;              // Multiline: the longest query line as a phrase
  std::optional<TermScan> termScan_;            // the terms, or the Multiline prefilter
  ScanHelpers* helpers_ = nullptr;
  std::vector<std::string> blockLines_;
  std::unique_ptr<RegExpr> engine_;
  bool wholeText_ = false;
  bool linePrefilter_ = false;  // a whole-text search may reject a file first
};

}  // namespace kestrix::search
