// The streamed rewrite: pieces of whole lines through the engine of the search type, each
// with its own line numbers for the row's interval, and a Multiline block's worth of lines
// carried from one piece to the next.
#include "modify/StreamedRewrite.h"

#include <algorithm>
#include <limits>

#include "modify/LinePieces.h"
#include "modify/ModifyMessages.h"
#include "modify/RegexEngine.h"
#include "modify/TextEngines.h"
#include "modify/WholeTextStream.h"
#include "search/QueryType.h"
#include "text/Encoding.h"
#include "text/Lines.h"

namespace kestrix::modify {
namespace {

// The row's interval for a piece that starts after line `before` of the file and holds
// `count` lines, in the piece's own line numbers; Nil when none of its lines is in it.
Interval pieceInterval(Interval whole, std::int64_t before, std::int64_t count) {
  if (whole.isNil()) return whole;
  const std::int64_t first = whole.from == 0 ? 1 : whole.from;
  const std::int64_t last = whole.to == 0 ? std::numeric_limits<std::int64_t>::max() : whole.to;
  const std::int64_t from = std::max<std::int64_t>(first - before, 1);
  const std::int64_t to = std::min(last - before, count);
  if (from > to) return {-1, -1};
  return {from, to};
}

// The engine of the search type over the pieces of one file.
class PieceEngine {
 public:
  PieceEngine(const ModifyRequest& request, const std::string& fullName,
              const std::optional<Interval>& interval, StopPoll& poll)
      : request_(request),
        fullName_(fullName),
        interval_(interval),
        poll_(poll),
        engine_(*search::queryTypeInfo(request.searchType).modifyEngine) {
    if (engine_ == search::ModifyEngine::Multiline) multiline_.emplace(request, poll);
    if (engine_ == search::ModifyEngine::RegExpr &&
        chooseRegexMode(request) == RegexMode::WholeText) {
      const std::optional<std::int64_t> span = streamedMatchSpan(request);
      if (!span) throw NotStreamable{};
      wholeText_.emplace(request, fullName, *span, poll);
    }
  }

  // The new bytes of `piece` (nothing when they are its own), but for the `held` bytes at
  // its end that the next piece must bring again.
  std::optional<std::string> rewrite(std::string_view piece, bool last, std::size_t& held) {
    held = 0;
    std::optional<Interval> interval;
    if (interval_) {
      const auto count = static_cast<std::int64_t>(text::countLines(piece));
      interval = pieceInterval(*interval_, linesBefore_, count);
      linesBefore_ += count;
    }
    switch (engine_) {
      case search::ModifyEngine::Phrase:
        return rewritePhrase(piece, request_, interval, poll_);
      case search::ModifyEngine::RegExpr: {
        if (wholeText_) {
          std::string out;
          wholeText_->rewrite(piece, last, out);
          return out;
        }
        FileBytes bytes(piece);
        return rewriteRegex(bytes, request_, fullName_, interval, poll_);
      }
      case search::ModifyEngine::Multiline:
        break;
    }
    std::string out;
    held = multiline_->rewrite(piece, last, out);
    return out;
  }

  // After the last piece: a Phrase interval must not name lines past the file's last.
  void finish() const {
    if (engine_ != search::ModifyEngine::Phrase || !interval_ || interval_->isNil()) return;
    if (interval_->from > linesBefore_ || interval_->to > linesBefore_) {
      throw FileFailure(kIntervalPastEnd);
    }
  }

 private:
  const ModifyRequest& request_;
  const std::string& fullName_;
  const std::optional<Interval>& interval_;
  StopPoll& poll_;
  search::ModifyEngine engine_;
  std::optional<MultilineStream> multiline_;
  std::optional<WholeTextStream> wholeText_;  // Reg Expr over the whole text
  std::int64_t linesBefore_ = 0;  // lines of the pieces before (counted with an interval)
};

}  // namespace

bool streamable(const ModifyRequest& request, std::string_view head) {
  const std::optional<search::ModifyEngine> engine =
      search::queryTypeInfo(request.searchType).modifyEngine;
  if (!engine) return false;
  if (*engine == search::ModifyEngine::RegExpr &&
      chooseRegexMode(request) == RegexMode::WholeText && !streamedMatchSpan(request)) {
    return false;
  }
  const text::Encoding bom = text::encodingOfBom(head);
  return bom == text::Encoding::Utf8 || bom == text::Encoding::Utf8Bom;
}

StreamedRewrite streamRewrite(const ModifyRequest& request, int fd, const std::string& fullName,
                              const std::optional<Interval>& interval, StopPoll& poll,
                              const ByteSink& out, std::size_t pieceBytes) {
  ContentHasher read;
  ContentHasher written;
  auto emit = [&](std::string_view bytes) {
    written.add(bytes);
    out(bytes);
  };
  LinePieces pieces(fd, pieceBytes, fullName, read);
  PieceEngine engine(request, fullName, interval, poll);
  bool checkUtf8 = false;
  bool first = true;
  do {
    std::string_view piece = pieces.next();
    if (first) {
      first = false;
      const text::Encoding bom = text::encodingOfBom(piece);
      if (bom != text::Encoding::Utf8 && bom != text::Encoding::Utf8Bom) throw NotStreamable{};
      // The whole-file rewrite takes a file without a mark as UTF-8 only when all of it is.
      checkUtf8 = bom == text::Encoding::Utf8 && !textsAreAscii(request);
      emit(piece.substr(0, text::bomLength(bom)));
      piece.remove_prefix(text::bomLength(bom));
    }
    poll.check();
    // The line model ends the text at a NUL byte: rewriting would cut the file.
    if (text::hasNul(piece)) throw FileFailure(kNulByte);
    // Line breaks are ASCII: a piece of whole lines holds whole UTF-8 sequences.
    if (checkUtf8 && !text::isWellFormedUtf8(piece)) throw NotStreamable{};
    std::size_t held = 0;
    const std::optional<std::string> changed = engine.rewrite(piece, pieces.last(), held);
    emit(changed ? std::string_view(*changed) : piece.substr(0, piece.size() - held));
    pieces.giveBack(held);
  } while (!pieces.last());
  engine.finish();
  return {read.stamp(), written.stamp()};
}

}  // namespace kestrix::modify
