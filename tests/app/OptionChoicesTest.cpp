// The one choice each exclusive group of stored option switches stands for.
#include <gtest/gtest.h>

#include "app/OptionChoices.h"

namespace kestrix::app {
namespace {

using search::QueryType;
using S = OptionSwitches;

// Switches with every switch of the groups cleared and then `set` set.
OptionSwitches only(std::initializer_list<bool S::*> set) {
  OptionSwitches s;
  for (bool S::*field : {&S::phrase, &S::wordsOr, &S::wordsAnd, &S::searchEngine, &S::multiline,
                         &S::regExpFind, &S::regExpSearch, &S::phraseReplace, &S::multilineReplace,
                         &S::none, &S::replace, &S::clear, &S::insertBefore, &S::insertAfter,
                         &S::remove, &S::minimum, &S::maximum, &S::between, &S::newerThan})
    s.*field = false;
  for (bool S::*field : set) s.*field = true;
  return s;
}

TEST(OptionChoices, TheLastSwitchSetWinsElseTheDefault) {
  const struct {
    const char* what;
    OptionSwitches stored;
    QueryType find, replace;
  } cases[] = {
      {"defaults", OptionSwitches{}, QueryType::Phrase, QueryType::Phrase},
      {"none set", only({}), QueryType::Phrase, QueryType::Phrase},
      {"one each", only({&S::searchEngine, &S::multilineReplace}), QueryType::SearchEngine,
       QueryType::Multiline},
      {"several set", only({&S::wordsOr, &S::regExpFind, &S::regExpSearch, &S::phraseReplace}),
       QueryType::RegExpr, QueryType::Phrase},
      {"reg expr search", only({&S::regExpSearch}), QueryType::Phrase, QueryType::RegExpr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(findQueryType(c.stored), c.find) << c.what;
    EXPECT_EQ(replaceSearchType(c.stored), c.replace) << c.what;
  }
}

TEST(OptionChoices, EachGroupKeepsExactlyOneSwitch) {
  // Nothing set: Phrase, Phrase, Replace, Maximum, Between.
  OptionSwitches expected =
      only({&S::phrase, &S::phraseReplace, &S::replace, &S::maximum, &S::between});
  OptionSwitches none = only({});
  none.trimLeft = false;  // switches outside the groups stay as they are
  expected.trimLeft = false;
  EXPECT_EQ(withOneChoicePerGroup(none), expected);

  // Stored order: None, Replace, Clear, Insert Before, Insert After, Delete.
  const OptionSwitches several = only(
      {&S::none, &S::insertAfter, &S::clear, &S::minimum, &S::maximum, &S::between, &S::newerThan});
  EXPECT_EQ(withOneChoicePerGroup(several),
            only({&S::phrase, &S::phraseReplace, &S::insertAfter, &S::maximum, &S::newerThan}));
  EXPECT_EQ(withOneChoicePerGroup(OptionSwitches{}), OptionSwitches{});
}

}  // namespace
}  // namespace kestrix::app
