// File masks: the wildcard dialect ("*", "?", "[a-z]", "[!...]", ASCII-only case folding),
// the masks list of the masks field and the ignore lists built from the settings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrix::search {

inline constexpr std::size_t kMaxMasks = 99;

// True when `name` matches the wildcard `pattern` as written ("*" any run, "?" one
// character, "[set]" with ranges "a-z" and "!" negation; ASCII letters compare without
// case). A pattern with an unclosed "[" matches nothing. Throws nothing.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// True when `pattern` can be parsed: every "[" opens a set that a "]" closes (a "]" right
// after "[" or "[!" belongs to the set).
bool maskIsParsable(std::string_view pattern);

// The name masks are applied to: `name`, with "." appended when it has none.
std::string candidateName(std::string_view name);

// One mask of the masks field.
struct Mask {
  std::string shown;        // trimmed, as typed
  std::string pattern;      // as matched: "." appended when dotless, trailing "?" made a set
  bool matchesAll = false;  // "*.*": every name matches (its candidate form has a ".")
};

// Turns a typed mask into its matched form.
Mask makeMask(std::string_view typed);

class MaskList {
 public:
  // Splits `masksText` at ";", trims blanks; empty masks are kept (they match nothing).
  // Throws SearchError "Too many masks" (program caption) beyond 99 masks.
  static MaskList parse(std::string_view masksText);
  // From lines (ignored-files list): trimmed, blank lines skipped; no limit.
  static MaskList fromLines(const std::vector<std::string>& lines);

  // True when the candidate form of `name` matches one of the masks.
  bool matches(std::string_view name) const;
  // The masks as shown: trimmed masks joined by "; ".
  std::string shownText() const;
  const std::vector<Mask>& masks() const { return masks_; }
  bool empty() const { return masks_.empty(); }

 private:
  std::vector<Mask> masks_;
};

// Ignored-folder patterns: each line trimmed, blank lines skipped, "/" appended when
// missing, and "*" after it when `subfoldersToo`.
std::vector<std::string> ignoredFolderPatterns(const std::vector<std::string>& lines,
                                               bool subfoldersToo);
// True when folder + "/" matches one of the patterns.
bool folderIgnored(const std::vector<std::string>& patterns, std::string_view folder);

}  // namespace kestrix::search
