// The changes a modification makes to one file, recorded by the engines as they work: each
// is a byte range of the text the engine matched and the bytes put in its place, so that any
// subset of them can be applied exactly and shown in its lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "modify/ContentHash.h"
#include "modify/ModificationType.h"

namespace kestrix::modify {

struct Change {
  std::size_t offset = 0;  // where the range starts in FileChanges::text
  std::size_t length = 0;  // the bytes replaced (0: an insertion)
  std::string replacement;
  // The lines of the text the range lies on, from 1. A line's break belongs to it (the LF
  // of a CR LF too), and the end of a text that ends with a break to its last line.
  std::int64_t firstLine = 0;
  std::int64_t lastLine = 0;
};

// A piece of FileChanges::text: from `at` in it up to the next piece's `at` (or the end)
// are the bytes from `from` on in the text the engine matched.
struct Excerpt {
  std::size_t from = 0;
  std::size_t at = 0;
};

struct FileChanges {
  std::string fullName;
  ContentStamp stamp;  // of the file's bytes when the changes were recorded
  // The text the engine matched: the file's text in UTF-8 (decoded from its own encoding),
  // with every break made CR LF when `crLfText` (whole-text Reg Expr with a chosen
  // separator). When `excerpts` is not empty, only the whole lines the changes lie on are
  // kept, one after another, and `excerpts` tells where each run of them came from (the
  // changes' offsets stay those of the whole text).
  std::string text;
  std::vector<Excerpt> excerpts;
  bool crLfText = false;
  std::vector<Change> changes;  // ascending and never overlapping
};

// Whether each change of a file is to be written (one entry per change).
using Accepted = std::vector<bool>;

// `text` with the accepted changes made; the text of every other change stays as it is.
std::string spliceChanges(std::string_view text, const std::vector<Change>& changes,
                          const Accepted& accepted);

// The whole lines a change lies on, before and after it, and where the changed bytes are
// inside them: [markFrom, markFrom + beforeLength) of `before` became [markFrom, markFrom +
// afterLength) of `after`. Breaks inside them are kept.
struct ChangeLines {
  std::string before;
  std::string after;
  std::size_t markFrom = 0;
  std::size_t beforeLength = 0;
  std::size_t afterLength = 0;
};
ChangeLines linesOfChange(std::string_view text, const Change& change);
// The same from a file's changes, whose text may be cut to its excerpts.
ChangeLines linesOfChange(const FileChanges& file, const Change& change);

// What the engines record into, in the order of the text, while they make a file's new text.
class ChangeRecorder {
 public:
  // Starts on the text the engine matches (a copy is kept for showing the changes).
  // `ownBreaks`: breaks inside inserted text take the break of their line, as the engines
  // write them under LineSeparator::Keep (with another separator every break of the new
  // text becomes the separator anyway).
  void begin(std::string_view text, bool crLfText, bool ownBreaks);
  // A hit at [pos, pos + length) changed by `type` with `inserted`: Insert Before and Insert
  // After put it in at the start or the end of the hit, every other type in place of it.
  // Breaks inside `inserted` take the break of the hit's line when `ownBreaks`.
  void recordHit(ModificationType type, std::size_t pos, std::size_t length,
                 std::string_view inserted);
  // The range [offset, offset + length) replaced by exactly `replacement`.
  void record(std::size_t offset, std::size_t length, std::string replacement);
  // The recorded changes and the lines they lie on (the text cut to its excerpts when
  // that is smaller); the recorder starts empty again.
  FileChanges take();

 private:
  std::int64_t lineAt(std::size_t offset);

  FileChanges file_;
  bool ownBreaks_ = false;
  std::size_t countedTo_ = 0;
  std::int64_t breaksBefore_ = 0;  // breaks in [0, countedTo_)
};

}  // namespace kestrix::modify
