// Recording, splicing and showing the changes of one file.
#include "modify/ChangeSet.h"

#include <algorithm>

#include "modify/InsertedBreaks.h"

namespace kestrix::modify {

std::string spliceChanges(std::string_view text, const std::vector<Change>& changes,
                          const Accepted& accepted) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 64);
  std::size_t copied = 0;
  for (std::size_t i = 0; i < changes.size(); ++i) {
    if (i >= accepted.size() || !accepted[i]) continue;
    const Change& c = changes[i];
    out.append(text.substr(copied, c.offset - copied));
    out += c.replacement;
    copied = c.offset + c.length;
  }
  out.append(text.substr(std::min(copied, text.size())));
  return out;
}

namespace {

bool isBreak(char c) {
  return c == '\r' || c == '\n';
}

// The start of the line holding `pos`, and the end (before its break) of the line holding
// the last byte of [pos, end).
std::size_t lineStart(std::string_view text, std::size_t pos) {
  while (pos > 0 && !isBreak(text[pos - 1])) --pos;
  return pos;
}

std::size_t lineEnd(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !isBreak(text[pos])) ++pos;
  return pos;
}

// `pos` (at most the text's size) moved onto the line it belongs to where no line begins
// there: the LF of a CR LF belongs to the line its CR ends, and the end of a text that ends
// with a break to its last line.
std::size_t onItsLine(std::string_view text, std::size_t pos) {
  pos = std::min(pos, text.size());
  if (pos == text.size() && pos > 0 && isBreak(text[pos - 1])) --pos;
  if (pos > 0 && pos < text.size() && text[pos] == '\n' && text[pos - 1] == '\r') --pos;
  return pos;
}

// The whole lines [from, to) a change at `offset` replacing `length` bytes lies on.
struct LineSpan {
  std::size_t from = 0;
  std::size_t to = 0;
};

LineSpan linesAround(std::string_view text, std::size_t offset, std::size_t length) {
  std::size_t rangeEnd = offset + length;
  // A range that takes its last line's break (a block of lines) shows up to that line's end.
  while (rangeEnd > offset && isBreak(text[rangeEnd - 1])) --rangeEnd;
  return {lineStart(text, onItsLine(text, offset)), std::max(lineEnd(text, rangeEnd), offset + length)};
}

ChangeLines changeLines(std::string_view text, std::size_t offset, const Change& change) {
  const LineSpan span = linesAround(text, offset, change.length);
  ChangeLines lines;
  lines.markFrom = offset - span.from;
  lines.beforeLength = change.length;
  lines.afterLength = change.replacement.size();
  lines.before = std::string(text.substr(span.from, span.to - span.from));
  lines.after = std::string(text.substr(span.from, offset - span.from)) + change.replacement +
                std::string(text.substr(offset + change.length, span.to - offset - change.length));
  return lines;
}

// Cuts `file.text` to the lines its changes lie on when that holds fewer bytes: a review
// keeps every file's changes at once, and shows only those lines. Lines next to each other
// stay in one excerpt.
void keepChangedLines(FileChanges& file) {
  const std::string_view text = file.text;
  std::string kept;
  std::vector<Excerpt> excerpts;
  std::size_t keptTo = 0;  // where the last excerpt ends in `text`
  for (const Change& change : file.changes) {
    const LineSpan span = linesAround(text, change.offset, change.length);
    std::size_t from = span.from;
    // On a line already kept, or on the next one (only breaks between): the excerpt grows.
    const bool joins =
        !excerpts.empty() &&
        (from <= keptTo ||
         (from <= keptTo + 2 &&
          text.substr(keptTo, from - keptTo).find_first_not_of("\r\n") == std::string_view::npos));
    if (joins) {
      from = keptTo;
    } else {
      excerpts.push_back({from, kept.size()});
    }
    if (span.to > from) kept.append(text.substr(from, span.to - from));
    keptTo = std::max(keptTo, span.to);
  }
  if (kept.size() + excerpts.size() * sizeof(Excerpt) >= text.size()) return;
  kept.shrink_to_fit();
  file.text = std::move(kept);
  file.excerpts = std::move(excerpts);
}

}  // namespace

ChangeLines linesOfChange(std::string_view text, const Change& change) {
  return changeLines(text, change.offset, change);
}

ChangeLines linesOfChange(const FileChanges& file, const Change& change) {
  if (file.excerpts.empty()) return linesOfChange(file.text, change);
  const auto next =
      std::upper_bound(file.excerpts.begin(), file.excerpts.end(), change.offset,
                       [](std::size_t offset, const Excerpt& e) { return offset < e.from; });
  const Excerpt& excerpt = *std::prev(next);
  const std::size_t end = next == file.excerpts.end() ? file.text.size() : next->at;
  const std::string_view piece = std::string_view(file.text).substr(excerpt.at, end - excerpt.at);
  return changeLines(piece, change.offset - excerpt.from, change);
}

void ChangeRecorder::begin(std::string_view text, bool crLfText, bool ownBreaks) {
  file_ = FileChanges{};
  ownBreaks_ = ownBreaks;
  file_.text = std::string(text);
  file_.crLfText = crLfText;
  countedTo_ = 0;
  breaksBefore_ = 0;
}

void ChangeRecorder::recordHit(ModificationType type, std::size_t pos, std::size_t length,
                               std::string_view inserted) {
  std::string put(inserted);
  if (ownBreaks_ && holdsLineBreak(put))
    put = withInsertedBreaks(put, lineBreakAt(file_.text, pos));
  switch (type) {
    case ModificationType::InsertBefore:
      record(pos, 0, std::move(put));
      break;
    case ModificationType::InsertAfter:
      record(pos + length, 0, std::move(put));
      break;
    default:
      record(pos, length, std::move(put));
      break;
  }
}

void ChangeRecorder::record(std::size_t offset, std::size_t length, std::string replacement) {
  Change change{offset, length, std::move(replacement), lineAt(offset), 0};
  std::size_t last = offset + length;
  while (last > offset && isBreak(file_.text[last - 1])) --last;  // its own break aside
  change.lastLine = last > offset ? lineAt(last - 1) : change.firstLine;
  file_.changes.push_back(std::move(change));
}

// The line of `offset` (see onItsLine), counting the breaks from where the last call
// stopped (offsets only grow).
std::int64_t ChangeRecorder::lineAt(std::size_t offset) {
  const std::string_view text = file_.text;
  offset = onItsLine(text, offset);
  for (; countedTo_ < offset; ++countedTo_) {
    const char c = text[countedTo_];
    if (c == '\r' || (c == '\n' && (countedTo_ == 0 || text[countedTo_ - 1] != '\r'))) {
      ++breaksBefore_;
    }
  }
  return breaksBefore_ + 1;
}

FileChanges ChangeRecorder::take() {
  // A review keeps the records of every file: not the spare half a growing vector leaves.
  file_.changes.shrink_to_fit();
  keepChangedLines(file_);
  FileChanges out = std::move(file_);
  file_ = FileChanges{};
  countedTo_ = 0;
  breaksBefore_ = 0;
  return out;
}

}  // namespace kestrix::modify
