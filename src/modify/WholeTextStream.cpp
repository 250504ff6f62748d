// The streamed whole-text Reg Expr rewrite: a window over the subject that slides on with
// each piece, matches settled only where no later byte can change them.
#include "modify/WholeTextStream.h"

#include <algorithm>

#include "modify/InsertedBreaks.h"
#include "modify/LineBreaks.h"
#include "modify/RegexEngine.h"
#include "regex/SpanBound.h"
#include "search/Matchers.h"

namespace kestrix::modify {
namespace {

// Bytes kept before the search's start: "^" and "$" look at one byte before their position,
// the test for a match starting inside a character at three.
constexpr std::int64_t kContextBytes = 4;

void configure(RegExpr& re, const ModifyRequest& request) {
  search::configureRegExpr(re, toSearchRequest(request));
}

// The length of the break that ends `text` (0 when it ends otherwise).
std::size_t finalBreakLength(std::string_view text) {
  if (text.ends_with("\r\n")) return 2;
  return endsWithLineBreak(text) ? 1 : 0;
}

}  // namespace

std::optional<std::int64_t> streamedMatchSpan(const ModifyRequest& request) {
  RegExpr re;
  configure(re, request);
  try {
    const std::optional<std::int64_t> span = matchSpanBound(re);
    if (span && *span <= kLongestStreamedMatch) return span;
  } catch (const RegExprError&) {
  }
  return std::nullopt;
}

WholeTextStream::WholeTextStream(const ModifyRequest& request, const std::string& fullName,
                                 std::int64_t span, StopPoll& poll)
    : request_(request),
      fullName_(fullName),
      span_(span),
      poll_(poll),
      template_(regexTemplate(request)),
      keep_(request.lineSeparator == LineSeparator::Keep) {
  configure(re_, request);
  if (poll.function()) re_.setPollCallback(poll.function());
}

void WholeTextStream::rewrite(std::string_view piece, bool last, std::string& out) {
  // Pieces end after a whole break, so their breaks are made CR LF one by one as the whole
  // text's would be.
  if (keep_) {
    window_.append(piece);
  } else {
    window_ += withBreaks(piece, "\r\n", endsWithLineBreak(piece));
  }
  if (!piece.empty()) finalBreak_ = endsWithLineBreak(piece);
  // Under Keep the new bytes go straight out; otherwise their breaks are made over first.
  std::string converted;
  std::string& produced = keep_ ? out : converted;
  try {
    search(last, produced);
  } catch (const RegExprAborted&) {
    throw StopRequested{};
  } catch (const RegExprError& e) {
    throw RegexFileFailure(regexFailureMessage(e, fullName_));
  }
  // Nothing before from_ can change any more.
  const std::int64_t settled =
      last ? windowStart_ + static_cast<std::int64_t>(window_.size()) : from_;
  produced.append(held(copied_, settled));
  copied_ = settled;
  const std::int64_t keepFrom = std::max(windowStart_, from_ - kContextBytes);
  window_.erase(0, static_cast<std::size_t>(keepFrom - windowStart_));
  windowStart_ = keepFrom;
  if (!keep_) emitConverted(converted, last, out);
}

// Takes the matches from from_ on that start early enough, as exec and execNext over the
// whole subject would find them, and moves from_ to where the next piece's search starts.
void WholeTextStream::search(bool last, std::string& produced) {
  const std::int64_t end = windowStart_ + static_cast<std::int64_t>(window_.size());
  // A match starting before this has all of its possible extent in the window.
  const std::int64_t settle = last ? end + 1 : end - span_;
  if (from_ >= settle) return;
  for (bool found = re_.execPos(window_, static_cast<int>(from_ - windowStart_) + 1); found;
       found = re_.execNext()) {
    poll_.check();
    const std::int64_t pos = windowStart_ + re_.matchPos(0) - 1;
    const std::int64_t len = re_.matchLen(0);
    if (pos >= settle) break;
    from_ = pos + (len == 0 ? 1 : len);
    if (len > 0) takeMatch(pos, len, produced);  // an empty match changes nothing
  }
  // No match starts between from_ and settle: the next search may begin at settle.
  from_ = std::max(from_, settle);
}

// Appends the subject up to the match (or through it for Insert After) and the expanded
// template, as the whole-text rewrite does.
void WholeTextStream::takeMatch(std::int64_t pos, std::int64_t len, std::string& produced) {
  const ModificationType type = request_.modificationType;
  produced.append(held(copied_, type == ModificationType::InsertAfter ? pos + len : pos));
  if (!template_.empty()) {
    std::string expanded = re_.substitute(template_);
    if (keep_ && holdsLineBreak(expanded)) {
      expanded = withInsertedBreaks(
          expanded, lineBreakAt(window_, static_cast<std::size_t>(pos - windowStart_)));
    }
    produced.append(expanded);
  }
  copied_ = type == ModificationType::InsertBefore ? pos : pos + len;
}

// Sends out what was produced with its breaks made the request's separator, the last break
// kept back until it is known what follows it.
void WholeTextStream::emitConverted(std::string& produced, bool last, std::string& out) {
  std::string text = std::move(heldBreak_);
  text.append(produced);
  heldBreak_.clear();
  const std::string_view sep = separatorBytes(request_.lineSeparator);
  if (!last) {
    const std::size_t tail = finalBreakLength(text);
    heldBreak_ = text.substr(text.size() - tail);
    text.resize(text.size() - tail);
    convertBreaks(text, sep, endsWithLineBreak(text));
  } else if (text.empty()) {
    // What went out ends without a break: the file's final break comes after it.
    if (anyOut_ && finalBreak_) text = sep;
  } else {
    convertBreaks(text, sep, finalBreak_);
  }
  anyOut_ = anyOut_ || !text.empty();
  out.append(text);
}

std::string_view WholeTextStream::held(std::int64_t from, std::int64_t to) const {
  return std::string_view(window_).substr(static_cast<std::size_t>(from - windowStart_),
                                          static_cast<std::size_t>(to - from));
}

}  // namespace kestrix::modify
