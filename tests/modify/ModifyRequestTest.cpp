// The modification request built from a search request: the window's and ksr's requests
// carry the same search half for every query type, and it survives the way back.
#include <gtest/gtest.h>

#include "cli/FindOptions.h"
#include "cli/ModifyOptions.h"
#include "modify/ModifyRequest.h"

namespace kestrix::modify {
namespace {

using search::QueryType;

// The fields of the search half, comparable in one go.
auto searchHalf(const ModifyRequest& m) {
  return std::tuple(m.searchType, m.searchText, m.searchLines, m.caseSensitive, m.wholeWords,
                    m.ignoreLeadingSpaces, m.ignoreTrailingSpaces, m.dotMatchesLineSeparators,
                    m.ignoreRegexWhitespace, m.searchEachLine, m.createBackups, m.legacyCodePage);
}

TEST(ModifyRequestFromSearch, EqualsWhatTheConsoleBuildsForEveryQueryType) {
  const std::vector<std::string> switches = {"--case",      "--whole-words", "--no-trim-leading",
                                             "--dot-all",   "--extended",    "--each-line",
                                             "--no-backup", "--encoding",    "Windows-1251"};
  for (const search::QueryTypeInfo& info : search::kQueryTypes) {
    SCOPED_TRACE(std::string(info.cliName));
    std::vector<std::string> args = switches;
    args.insert(args.end(), {"--type", std::string(info.cliName)});
    cli::FindOptions find;
    cli::ModifyArgs modifyArgs;
    cli::parseModifyArguments(args, find, modifyArgs);
    cli::setQuery(find, "a\nb");
    if (!info.onReplaceTab) {
      EXPECT_THROW(cli::buildModifyRequest(find, modifyArgs), cli::UsageError);
      EXPECT_EQ(fromSearchRequest(find.request).searchType, info.type);
      continue;
    }
    const ModifyRequest console = cli::buildModifyRequest(find, modifyArgs);
    const ModifyRequest shared = fromSearchRequest(find.request);
    EXPECT_EQ(searchHalf(shared), searchHalf(console));
    EXPECT_FALSE(shared.createBackups);
    EXPECT_EQ(shared.legacyCodePage, "Windows-1251");
    EXPECT_EQ(info.takesLines ? shared.searchLines.size() : shared.searchText.size(),
              info.takesLines ? 2U : 3U);

    // The way back gives the search settings the modification was made from.
    const search::SearchRequest back = toSearchRequest(shared);
    EXPECT_EQ(searchHalf(fromSearchRequest(back)), searchHalf(shared));
    EXPECT_EQ(back.origin, search::Origin::SearchAndReplace);
  }
}

}  // namespace
}  // namespace kestrix::modify
