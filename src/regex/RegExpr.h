// The program's regular-expression engine: a Perl-like dialect over 8-bit text, compiled
// lazily into a program for a backtracking matcher, with substitution templates.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrix {

// A compile or run-time error of the dialect. what() is the full user-facing message:
// the text of errorMessage(code), plus " (pos N)" for compile errors (codes below 1000).
class RegExprError : public std::runtime_error {
 public:
  RegExprError(int code, int position, const std::string& message)
      : std::runtime_error(message), code_(code), position_(position) {}
  int code() const { return code_; }
  // Where compilation stopped in the expression (1-based); 0 for run-time errors.
  int position() const { return position_; }

 private:
  int code_;
  int position_;
};

// Thrown when the poll callback asked to stop a match. Not a dialect error.
class RegExprAborted : public std::runtime_error {
 public:
  RegExprAborted() : std::runtime_error("Regular-expression match stopped") {}
};

class RegExpr {
 public:
  RegExpr();
  ~RegExpr();
  RegExpr(const RegExpr&) = delete;
  RegExpr& operator=(const RegExpr&) = delete;

  // 1=i 2=r 3=s 4=g 5=m 6=x; any other index throws RegExprError 1013.
  void setModifier(int index, bool on);
  bool modifier(int index) const;

  // Matches characters of UTF-8 text instead of bytes (off by default, the 8-bit dialect):
  // caseless matching folds by Unicode simple case folding (ASCII letters by ASCII alone),
  // "." and classes take one character (a byte that begins no valid sequence is a character
  // of its own that only "." takes), ranges run by code point, "\w", "\d", "\s" are
  // Unicode's, "\x{...}" reaches U+10FFFF, and r widens а-я and А-Я by ё and Ё.
  void setUtf8Mode(bool on);
  // Lets "\n" outside classes match a CR LF pair as well as a lone LF (off by default).
  void setNewlineMatchesCrLf(bool on);
  bool utf8Mode() const;
  bool newlineMatchesCrLf() const;

  // Stores the expression; it is compiled at the first exec. Throws nothing.
  void setExpression(std::string_view expression);
  const std::string& expression() const;

  // Searches `input` from its start. `input` must stay alive while this match is used.
  // Every position is tried, the end of the input too (where only an empty match fits).
  // Throws RegExprError (compile errors; 1014 when counted group loops nest deeper than 10
  // or the backtrack memory bound of 128 MB is reached; 1016 for an input of 2 GB or more)
  // or RegExprAborted.
  bool exec(std::string_view input);
  // Searches `input` from the 1-based position `offset` (exec is offset 1): the leftmost
  // match that starts there or later, with the bytes before the offset seen as context (by
  // "^", "$" and the test for a start inside a character). An offset beyond the input's
  // length + 1 finds nothing. Throws what exec throws, and RegExprError 1006 for an offset
  // below 1.
  bool execPos(std::string_view input, int offset);
  // Searches again from the end of the last match (one further after an empty match).
  // Throws RegExprError 1007 without a previous exec.
  bool execNext();

  // Counts the matches inside the lines of `text` (lines break at CR, LF and CR LF) as exec
  // and execNext over each line in turn would, but in one pass over the whole text, adds
  // them to `count` and returns true. Returns false without counting when one pass could
  // count differently: a match may be empty, hold a line break or see where the subject
  // begins or ends. Leaves no match behind. Throws what exec throws.
  bool countLineMatches(std::string_view text, std::int64_t& count);

  // 1-based start and length of group 0..14 in the last match; -1 when the group did not
  // take part (or there is no match). An expression without back-references is searched
  // by an automaton that finds group 0 alone; the first question about groups 1..14 runs
  // the backtracker over the match, and so may throw what exec throws.
  int matchPos(int group) const;
  int matchLen(int group) const;

  // Expands a template ("$1", "${1}", "$&", "\" escapes) for the last match.
  // Throws RegExprError 1005 before any exec, or what matchPos throws.
  std::string substitute(std::string_view templ) const;

  static std::string errorMessage(int code);

  // Called by the matcher when more than 25 ms have passed since the last call; when it
  // returns true the match is abandoned with RegExprAborted.
  void setPollCallback(std::function<bool()> poll);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrix
