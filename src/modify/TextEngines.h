// The two plain-text engines of the modify pass. Each makes the new bytes of a file for one
// ModifyRequest; matching uses the active code page for case folding and word characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "modify/Interval.h"
#include "modify/LineBreaks.h"
#include "modify/ModifyRequest.h"
#include "modify/StopPoll.h"

namespace kestrix::modify {

class ChangeRecorder;

// Phrase: finds request.searchText inside single lines, left to right, hits never
// overlapping, and applies request.modificationType to each hit (Clear puts as many blanks
// as the phrase has characters). With `interval` only its lines are scanned. Returns the
// new bytes of the file as rewriteLines returns them (nothing under LineSeparator::Keep
// when no line changed), without building a list of lines. Throws FileFailure when the
// interval reaches past the last line, StopRequested when `poll` reports a stop. With
// `recorder`, each hit's change is recorded there.
std::optional<std::string> rewritePhrase(std::string_view bytes, const ModifyRequest& request,
                                         const std::optional<Interval>& interval, StopPoll& poll,
                                         ChangeRecorder* recorder = nullptr);

// Multiline: finds the blocks of whole lines equal to request.searchLines (after folding and
// the two trims), keeps a non-overlapping selection from the top, and replaces, surrounds,
// deletes or blanks each block. Returns the new bytes of the file, without a list of
// lines: joined by the request's separator (the last line ending with one only when
// `bytes` ended with CR or LF), or under LineSeparator::Keep each line with its own break
// (lines put in take the break of the block line beside them), and nothing when no block
// was found. Throws StopRequested. With `recorder`, each block's change is recorded there
// as the block's lines with their breaks replaced by the lines it becomes with theirs.
std::optional<std::string> rewriteMultiline(std::string_view bytes, const ModifyRequest& request,
                                            StopPoll& poll, ChangeRecorder* recorder = nullptr);

// The Multiline rewrite of a file given piece by piece (pieces of whole lines, in order), as
// rewriteMultiline would rewrite the whole: only a block's worth of lines is held at a time.
class MultilineStream {
 public:
  // `request` and `poll` must outlive the stream. With `recorder`, each block's change is
  // recorded there; the file must then come as one piece, the recorder's text.
  MultilineStream(const ModifyRequest& request, StopPoll& poll, ChangeRecorder* recorder = nullptr);

  // Appends the new bytes of `piece` to `out`, but for its last lines that may still begin a
  // block with lines of the next piece: returns how many bytes at the end of `piece` were
  // held back (they must come again at the front of the next piece). `last`: the piece ends
  // the file (nothing is held back). Throws StopRequested.
  std::size_t rewrite(std::string_view piece, bool last, std::string& out);
  // How many blocks were changed so far.
  std::size_t blocks() const { return blocks_; }

 private:
  const ModifyRequest& request_;
  StopPoll& poll_;
  ChangeRecorder* recorder_;
  std::optional<LineBreak> usual_;  // the file's first break, from the first piece
  bool first_ = true;               // no line went out yet
  std::size_t blocks_ = 0;
};

}  // namespace kestrix::modify
