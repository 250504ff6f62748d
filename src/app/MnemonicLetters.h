// Choosing mnemonic letters (Alt+letter) for control captions: the underlined letter a
// caption carries after an "&", and the choice of letters for captions without one so that
// no two captions shown together share a letter. Captions are UTF-16, positions count its
// code units; letters are compared in lower case.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrix::app {

// The mnemonic letter of `caption` in lower case (the character after a single "&"; "&&" is
// a plain ampersand), or 0 when it has none.
char16_t mnemonicOf(std::u16string_view caption);

// `caption` with an "&" inserted before position `at`; unchanged when `at` is negative.
std::u16string markedAt(std::u16string caption, std::ptrdiff_t at);

// Letters for as many of `captions` as the free letters allow, earlier captions first: a
// caption that could have a letter is never left without one for a later caption. Letters in
// `taken` are not used; letters occurring often in `contested` are chosen last; the start of
// a word is preferred. Returns per caption the position of its letter, or -1 when none.
std::vector<std::ptrdiff_t> chooseLetters(const std::vector<std::u16string>& captions,
                                          std::u16string_view taken, std::u16string_view contested);

// The letters `captions` could take, each once per caption and more often for captions with
// fewer letters (their choice is narrower): the `contested` of chooseLetters.
std::u16string wantedLetters(const std::vector<std::u16string>& captions);

// The position of the first letter of `caption` that `accept` takes (given in lower case),
// word starts first; -1 when there is none.
std::ptrdiff_t pickLetter(std::u16string_view caption, const std::function<bool(char16_t)>& accept);

}  // namespace kestrix::app
