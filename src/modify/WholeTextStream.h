// The Reg Expr rewrite over the whole text of a large file, piece by piece, for expressions
// whose matches cannot reach further than a known number of bytes: what is held is that
// reach and the piece in hand, whatever the file's size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "modify/ModifyRequest.h"
#include "modify/StopPoll.h"
#include "regex/RegExpr.h"

namespace kestrix::modify {

// Matches that may span more than this are searched over the file held whole.
inline constexpr std::int64_t kLongestStreamedMatch = std::int64_t{64} << 10;

// The most bytes a match of the request's expression can span when that is at most
// kLongestStreamedMatch; nothing when it can span more, when no bound is known, or when the
// expression does not compile (the whole-file rewrite reports that).
std::optional<std::int64_t> streamedMatchSpan(const ModifyRequest& request);

// The whole-text rewrite of a file given in pieces of whole lines, in order, with the bytes
// rewriteRegex makes of the whole. Each piece is searched together with the bytes held from
// before (from where the search goes on, and a few before it that the anchors look at); a
// match is taken only when it starts more than `span` bytes before the end of what is held,
// where nothing that follows can change it, or when the file ends there. Later matches are
// searched again with the next piece.
class WholeTextStream {
 public:
  // `span` comes from streamedMatchSpan(request). `request` and `poll` must outlive the stream.
  WholeTextStream(const ModifyRequest& request, const std::string& fullName, std::int64_t span,
                  StopPoll& poll);

  // Appends to `out` the new bytes that are settled once `piece` has come; `last`: the piece
  // ends the file, and everything left goes out. Throws RegexFileFailure for an engine error
  // and StopRequested when `poll` asks to stop.
  void rewrite(std::string_view piece, bool last, std::string& out);

 private:
  void search(bool last, std::string& produced);
  void takeMatch(std::int64_t pos, std::int64_t len, std::string& produced);
  void emitConverted(std::string& produced, bool last, std::string& out);
  std::string_view held(std::int64_t from, std::int64_t to) const;

  const ModifyRequest& request_;
  const std::string& fullName_;
  std::int64_t span_;
  StopPoll& poll_;
  RegExpr re_;
  std::string template_;
  bool keep_;           // every break stays as it is (else the subject has CR LF breaks)
  std::string window_;  // the subject from windowStart_ on, as far as it came
  std::int64_t windowStart_ = 0;
  std::int64_t from_ = 0;    // where the next search starts
  std::int64_t copied_ = 0;  // the subject before this went out
  // Other separators: the last break of what went out waits for what follows it (the two
  // halves of CR LF, the file's final break).
  std::string heldBreak_;
  bool anyOut_ = false;
  bool finalBreak_ = false;  // the pieces so far end with a break
};

}  // namespace kestrix::modify
