// The Reg Expr engine: one RegExpr per file, modifiers from the request, every non-empty
// match expanded with the template, in whole-text or per-line mode.
#include "modify/RegexEngine.h"

#include <limits>

#include "modify/ChangeSet.h"
#include "modify/InsertedBreaks.h"
#include "modify/LineBreaks.h"
#include "modify/LineRewrite.h"
#include "regex/RegExpr.h"
#include "search/Matchers.h"
#include "text/Lines.h"

namespace kestrix::modify {
namespace {

// Expands every non-empty match of `re` in `subject` into `out` (see the copy rules of
// Insert Before and Insert After).
class Expander {
 public:
  // `ownBreaks`: breaks in an expanded template take the break of the line they land in
  // (whole text under Keep Original; otherwise the caller converts every break).
  // With `recorder`, each match's change is recorded there.
  Expander(RegExpr& re, const std::string& templ, ModificationType type, StopPoll& poll,
           bool ownBreaks = false, ChangeRecorder* recorder = nullptr)
      : re_(re),
        templ_(templ),
        type_(type),
        poll_(poll),
        ownBreaks_(ownBreaks),
        recorder_(recorder) {}

  // The subject with its matches changed, or nothing when it has no non-empty match.
  // `base`: where the subject starts in the recorder's text.
  std::optional<std::string> expand(std::string_view subject, std::size_t base = 0) {
    std::optional<std::string> out;
    std::size_t copied = 0;
    for (bool found = re_.exec(subject); found; found = re_.execNext()) {
      poll_.check();
      const auto pos = static_cast<std::size_t>(re_.matchPos(0) - 1);
      const auto len = static_cast<std::size_t>(re_.matchLen(0));
      if (len == 0) continue;
      if (!out) {
        // Room for a little growth, so that a large text is not copied while it grows.
        out.emplace().reserve(subject.size() + subject.size() / 16 + 64);
      }
      const std::size_t pieceEnd = type_ == ModificationType::InsertAfter ? pos + len : pos;
      out->append(subject.substr(copied, pieceEnd - copied));
      std::string expanded;
      if (!templ_.empty()) {
        expanded = re_.substitute(templ_);
        if (ownBreaks_ && holdsLineBreak(expanded)) {
          expanded = withInsertedBreaks(expanded, lineBreakAt(subject, pos));
        }
        out->append(expanded);
      }
      if (recorder_) recorder_->recordHit(type_, base + pos, len, expanded);
      copied = type_ == ModificationType::InsertBefore ? pos : pos + len;
    }
    if (out) out->append(subject.substr(copied));
    return out;
  }

 private:
  RegExpr& re_;
  const std::string& templ_;
  ModificationType type_;
  StopPoll& poll_;
  bool ownBreaks_;
  ChangeRecorder* recorder_;
};

// True when every break of `bytes` is CR LF.
bool onlyCrLf(std::string_view bytes) {
  for (std::size_t at = bytes.find_first_of("\r\n"); at != std::string_view::npos;
       at = bytes.find_first_of("\r\n", at + 2)) {
    if (bytes[at] != '\r' || at + 1 >= bytes.size() || bytes[at + 1] != '\n') return false;
  }
  return true;
}

// Whole text with a chosen separator: the subject is the text with CR LF breaks (the
// file itself when it has no other), and the result has every break made `separator`.
// Memory: the file and the result, or, when its breaks are not all CR LF, the CR LF copy
// and the result: the file's own bytes are released as soon as the copy is made.
std::string wholeTextWithSeparator(FileBytes& file, LineSeparator separator, Expander& expander,
                                   ChangeRecorder* recorder) {
  const std::string_view bytes = file.view();
  const bool finalBreak = endsWithLineBreak(bytes);
  const std::string_view sep = separatorBytes(separator);
  if (onlyCrLf(bytes)) {
    if (recorder) recorder->begin(bytes, true, false);
    std::optional<std::string> changed = expander.expand(bytes);
    if (!changed) return withBreaks(bytes, sep, finalBreak);
    convertBreaks(*changed, sep, finalBreak);
    return std::move(*changed);
  }
  std::string subject = withBreaks(bytes, "\r\n", finalBreak);
  file.release();
  if (recorder) recorder->begin(subject, true, false);
  std::optional<std::string> changed = expander.expand(subject);
  // The copy has the file's lines, only with other breaks: made `separator`, they give the
  // same text as the file's own.
  if (!changed) changed = std::move(subject);
  std::string().swap(subject);  // the copy, when the result is another text
  convertBreaks(*changed, sep, finalBreak);
  return std::move(*changed);
}

// The lines a per-line run changes: all, or the row's interval clipped at the last line.
LineSpan regexSpan(const ModifyRequest& request, const std::optional<Interval>& interval,
                   std::int64_t count) {
  if (interval && request.searchEachLine && request.useIntervalsRegex) {
    return resolveInterval(*interval, count);
  }
  return {1, count};
}

}  // namespace

UserMessage regexFailureMessage(const RegExprError& e, const std::string& fullName) {
  if (e.code() < 1000 || e.code() == search::kTooComplexCode) {
    return {kRegexCaption, search::regexErrorText(e)};
  }
  return {kRegexCaption,
          "Modification Error: " + fullName + " is too large for these search conditions"};
}

RegexMode chooseRegexMode(const ModifyRequest& request) {
  return search::regexUsesWholeText(request.searchLines, request.dotMatchesLineSeparators,
                                    request.searchEachLine)
             ? RegexMode::WholeText
             : RegexMode::PerLine;
}

std::optional<std::string> rewriteRegex(FileBytes& file, const ModifyRequest& request,
                                        const std::string& fullName,
                                        const std::optional<Interval>& interval, StopPoll& poll,
                                        ChangeRecorder* recorder) {
  const bool keep = request.lineSeparator == LineSeparator::Keep;
  const bool whole = chooseRegexMode(request) == RegexMode::WholeText;
  RegExpr re;
  search::configureRegExpr(re, toSearchRequest(request));
  if (poll.function()) re.setPollCallback(poll.function());
  const std::string templ = regexTemplate(request);
  Expander expander(re, templ, request.modificationType, poll, keep && whole, recorder);
  try {
    if (whole && !keep) {
      return wholeTextWithSeparator(file, request.lineSeparator, expander, recorder);
    }
    const std::string_view bytes = file.view();
    if (recorder) recorder->begin(bytes, false, keep);
    if (whole) return expander.expand(bytes);  // the file's own breaks are the subject's
    LineSpan span{1, std::numeric_limits<std::int64_t>::max()};
    if (interval && request.searchEachLine && request.useIntervalsRegex) {
      span = regexSpan(request, interval, static_cast<std::int64_t>(text::countLines(bytes)));
    }
    return rewriteLines(
        bytes, request.lineSeparator,
        [&](std::string_view line, std::int64_t number) -> std::optional<std::string> {
          if (number < span.first || number > span.last) return std::nullopt;
          return expander.expand(line, static_cast<std::size_t>(line.data() - bytes.data()));
        },
        poll);
  } catch (const RegExprAborted&) {
    throw StopRequested{};
  } catch (const RegExprError& e) {
    throw RegexFileFailure(regexFailureMessage(e, fullName));
  }
}

}  // namespace kestrix::modify
