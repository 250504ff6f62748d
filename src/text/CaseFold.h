// Unicode simple case folding (CaseFolding.txt, statuses C and S) for caseless matching of
// UTF-8 text. Folding maps each character to one character, so a folded text is compared
// character by character; invalid bytes fold to themselves.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix::text {

// The simple case folding of `c` (itself when it has none).
char32_t simpleFold(char32_t c);

// Every character whose folding is simpleFold(c), c's own folding first; sorted after it.
const std::vector<char32_t>& caseVariants(char32_t c);

// `s` with every character folded.
std::string foldCase(std::string_view s);

// True when caseless matching of `s` needs Unicode folding: it holds a byte of 0x80 or
// more, or an ASCII letter that a character outside ASCII folds to (such as "k", which the
// Kelvin sign folds to). Otherwise folding ASCII letters alone finds every match.
bool needsUnicodeFold(std::string_view s);

// When the characters at the start of `raw` fold to exactly `folded` (a foldCase result),
// returns how many bytes of `raw` they take; otherwise npos.
std::size_t matchFolded(std::string_view raw, std::string_view folded);

}  // namespace kestrix::text
