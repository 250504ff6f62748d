// The matching pieces shared by the search and the modification core: the literal term
// scan with its whole-word test, the block comparison with folding and trims, and the
// regular-expression rules (expression text, modifiers, scope, error texts).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "regex/RegExpr.h"
#include "search/SearchError.h"
#include "search/SearchRequest.h"
#include "text/CodePage.h"

namespace kestrix::search {

// Finds a term in raw text. When the search ignores case the term must already be
// upper-cased with `codePage`, and the text is folded on the fly (never copied). A
// caseless term holding characters outside ASCII (in the UTF-8 code page) is matched by
// Unicode simple case folding: an occurrence may then differ in length from the term
// (use matchLength), and is found through anchors in its leading characters of fixed length.
// The finder keeps a reference to `codePage`, which must outlive it.
class LiteralFinder {
 public:
  LiteralFinder(std::string term, bool caseSensitive,
                const text::CodePage& codePage = text::activeCodePage());
  // Start of the first occurrence at or after `from`, or npos. An empty term is found at
  // `from` (when from <= text.size()).
  std::size_t find(std::string_view text, std::size_t from = 0) const;
  const std::string& term() const { return term_; }
  bool caseSensitive() const { return caseSensitive_; }
  // True when the term equals the (folded) bytes at `p`; term().size() bytes are read.
  // Only for finders that are not unicode().
  bool matchesAt(const char* p) const;
  // Length in `text` of the occurrence that starts at `pos`, or npos when none starts there.
  std::size_t matchLength(std::string_view text, std::size_t pos) const;
  // Whether occurrences are matched by Unicode folding (their length may vary).
  bool unicode() const { return unicode_; }
  // The shortest and longest length an occurrence can have.
  std::size_t minLength() const { return minLength_; }
  std::size_t maxLength() const { return maxLength_; }

  // The two anchors a vector scan compares: the offsets in the term and the one or two raw
  // bytes that fold to each. Meaningful only when anchored() and not neverMatches().
  bool anchored() const { return anchored_; }
  bool neverMatches() const { return neverMatches_; }
  std::size_t anchor1() const { return anchor1_; }
  std::size_t anchor2() const { return anchor2_; }
  const unsigned char* forms1() const { return a1_; }
  const unsigned char* forms2() const { return a2_; }

 private:
  std::size_t scanAnchored(std::string_view text, std::size_t from) const;
  bool verifyAt(std::string_view text, std::size_t pos) const;
  void chooseUnicodeAnchors();

  std::string term_;
  bool caseSensitive_;
  bool unicode_ = false;
  std::size_t minLength_ = 0, maxLength_ = 0;
  std::array<bool, 256> firstBytes_{};  // Unicode: the bytes an occurrence may begin with
  const text::CodePage* codePage_;
  // Two anchor offsets in the term with the raw bytes that fold to each (one or two).
  std::size_t anchor1_ = 0, anchor2_ = 0;
  unsigned char a1_[2] = {0, 0}, a2_[2] = {0, 0};
  bool anchored_ = false;
  bool neverMatches_ = false;
};

// True when the occurrence [pos, pos+len) of `line` has no word character right before it
// (or starts the line) and none right after it (or ends the line). Word characters: letters
// and digits of `codePage`, and "_".
bool isWholeWordAt(std::string_view line, std::size_t pos, std::size_t len,
                   const text::CodePage& codePage = text::activeCodePage());

// The next qualifying occurrence of the finder's term at or after `from` in `text`, or
// npos; `length` receives its length. Non-qualifying occurrences (whole words) are passed over by
// one character; the caller resumes after a qualifying one (occurrences never overlap). `text` may
// be a line or a whole text: breaks are never word characters, so a term without CR/LF gives the
// same hits either way.
std::size_t nextTermHit(std::string_view text, const LiteralFinder& finder, std::size_t from,
                        bool wholeWords, std::size_t& length,
                        const text::CodePage& codePage = text::activeCodePage());

// Block comparison (Multiline): folding by the code page unless case-sensitive, and the
// trims of characters 0..32 at the start / end of each line.
struct BlockOptions {
  bool caseSensitive = false;
  bool trimLeading = true;
  bool trimTrailing = true;
};
BlockOptions blockOptionsOf(const SearchRequest& request);
std::string_view trimBlockLine(std::string_view line, bool leading, bool trailing);
// A query line folded and trimmed, ready for blockLineEquals.
std::string prepareBlockLine(std::string_view line, const BlockOptions& options,
                             const text::CodePage& codePage = text::activeCodePage());
// True when the raw file line, folded and trimmed on the fly, equals `prepared`.
bool blockLineEquals(std::string_view fileLine, std::string_view prepared,
                     const BlockOptions& options,
                     const text::CodePage& codePage = text::activeCodePage());

// Regular expressions.
// The expression of the memo lines: joined by CR LF; "^" put in front when it begins
// with ".*".
std::string regexExpression(const std::vector<std::string>& queryLines);
// True when the expression runs over the whole text rather than line by line.
bool regexUsesWholeText(const std::vector<std::string>& queryLines, bool dotMatchesLineSeparators,
                        bool searchEachLine);
bool regexUsesWholeText(const SearchRequest& request);
// True when an expression searched line by line finds nothing in any line whenever it finds
// nothing in the whole text (no constructs that see line breaks differently: negated sets
// and classes, word boundaries, look-arounds). Such files can be rejected in one pass.
bool regexSafeOnWholeText(std::string_view expression);
// Sets the modifiers: i unless case-sensitive, s when "." matches separators, x when
// whitespace is ignored, m always; the UTF-8 character mode (with the UTF-8 code page),
// "\n" matching CR LF too; and the expression text.
void configureRegExpr(RegExpr& engine, const SearchRequest& request);
// The whole-text subject: every line followed by CR LF.
std::string wholeTextSubject(std::string_view text);
// Run-time error codes of the engine that runs tell apart: a subject longer than the engine
// takes (a limit of the file, which is skipped) and a search too complex for its subject.
inline constexpr int kInputTooLongCode = 1016;
inline constexpr int kTooComplexCode = 1017;
// "Error: " + the engine's message without its 16-character prefix.
std::string regexErrorText(const RegExprError& error);
// The error that ends a run: caption "Regular Expression", the text above, the position.
SearchError regexSearchError(const RegExprError& error);

// Limits of the query texts, checked when the first file is examined.
inline constexpr std::size_t kMaxQueryText = 4000;
inline constexpr std::size_t kMaxQueryLine = 1000;
// Throws SearchError (program caption) "The query is too long" / "The string is too long
// for the To Search field" or "The lines are too long for ..." by origin and type.
void checkQueryLimits(const SearchRequest& request);

}  // namespace kestrix::search
