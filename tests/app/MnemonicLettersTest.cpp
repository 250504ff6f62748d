// Reading and choosing the Alt+letters of captions.
#include <gtest/gtest.h>

#include "app/MnemonicLetters.h"

namespace kestrix::app {
namespace {

std::string narrow(std::u16string_view s) {
  return {s.begin(), s.end()};  // the cases are ASCII
}

// The captions with their chosen letters marked.
std::vector<std::string> marked(const std::vector<std::u16string>& captions,
                                std::u16string_view taken, std::u16string_view contested = {}) {
  const std::vector<std::ptrdiff_t> chosen = chooseLetters(captions, taken, contested);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < captions.size(); ++i)
    out.push_back(narrow(markedAt(captions[i], chosen[i])));
  return out;
}

TEST(MnemonicLetters, TheLetterAfterASingleAmpersandInLowerCase) {
  const struct {
    std::u16string caption;
    char16_t letter;
  } cases[] = {{u"&Find", u'f'},
               {u"Hide &List", u'l'},
               {u"Search && &Replace", u'r'},
               {u"A && B", 0},
               {u"Plain", 0},
               {u"Trailing&", 0},
               {u"&&&Q", u'q'},
               {u"", 0}};
  for (const auto& c : cases) EXPECT_EQ(mnemonicOf(c.caption), c.letter) << narrow(c.caption);
}

TEST(MnemonicLetters, ChoicesTakeFreeLettersWordStartsFirst) {
  const struct {
    std::vector<std::u16string> captions;
    std::u16string taken, contested;
    std::vector<std::string> expected;
  } cases[] = {
      // Word starts before inner letters; taken letters are skipped in either case.
      {{u"Find", u"Hide List"}, u"", u"", {"&Find", "&Hide List"}},
      {{u"Find", u"Hide List"}, u"fh", u"", {"F&ind", "Hide &List"}},
      // An earlier caption gives way when a later one has no other letter.
      {{u"Ab", u"A"}, u"", u"", {"A&b", "&A"}},
      // Letters in demand elsewhere are chosen last.
      {{u"Stop"}, u"", u"sssst", {"St&op"}},
      // More captions than letters: the earlier ones win, the rest stay unmarked.
      {{u"ab", u"ba", u"ab"}, u"", u"", {"&ab", "&ba", "ab"}},
      // Digits count; signs and blanks never do.
      {{u"- 2 -", u"..."}, u"", u"", {"- &2 -", "..."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(narrow(c.captions.front()) + " taken " + narrow(c.taken));
    EXPECT_EQ(marked(c.captions, c.taken, c.contested), c.expected);
  }
}

TEST(MnemonicLetters, WantedLettersWeighShortCaptionsMore) {
  std::string twoLetters;
  for (int i = 0; i < 9; ++i) twoLetters += "ab";
  EXPECT_EQ(narrow(wantedLetters({u"Ab a", u"", u"--"})), twoLetters);
  EXPECT_EQ(narrow(wantedLetters({u"Abcdefghijklmnopq"})), "abcdefghijklmnopq");
}

TEST(MnemonicLetters, PickLetterTriesWordStartsFirst) {
  const auto only = [](char16_t wanted) { return [wanted](char16_t c) { return c == wanted; }; };
  EXPECT_EQ(pickLetter(u"Hide List", only(u'l')), 5);
  EXPECT_EQ(pickLetter(u"Hide List", only(u'i')), 1);
  EXPECT_EQ(pickLetter(u"Hide List", only(u'h')), 0);
  EXPECT_EQ(pickLetter(u"Hide List", only(u'x')), -1);
}

}  // namespace
}  // namespace kestrix::app
