// The six query types and, in one table, what each of them means to the rest of the
// program: the tabs that offer it, whether it reads one line or lines, the engine that
// searches it, the engine that modifies it, whether Whole Words applies and its names.
// Code that depends on the query type asks this table or switches over QueryType (or one of
// the engine enums below) without a default branch, so a new type cannot be missed.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace kestrix::search {

enum class QueryType { Phrase, WordsOr, WordsAnd, SearchEngine, Multiline, RegExpr };

// How a search tests and counts a file.
enum class MatchEngine {
  Terms,       // the term table, line by line (Phrase, the word lists, Search Engine)
  Blocks,      // blocks of consecutive lines (Multiline)
  Expression,  // the regular-expression engine
};

// How a modification rewrites a file.
enum class ModifyEngine { Phrase, Multiline, RegExpr };

struct QueryTypeInfo {
  QueryType type;
  std::string_view caption;  // as in reports: "Words: or"
  std::string_view cliName;  // `ksr --type` value: "or"
  bool onFindTab;
  bool onReplaceTab;
  // The query is given as lines (queryLines), not as one line (queryText).
  bool takesLines;
  // The lines viewer shows block entries ("line 3 - line 5") rather than line entries.
  bool blockEntries;
  bool wholeWordsApply;
  MatchEngine matchEngine;
  std::optional<ModifyEngine> modifyEngine;  // none for types the modification cannot take
};

inline constexpr std::array<QueryTypeInfo, 6> kQueryTypes{{
    {QueryType::Phrase, "Phrase", "phrase", true, true, false, false, true, MatchEngine::Terms,
     ModifyEngine::Phrase},
    {QueryType::WordsOr, "Words: or", "or", true, false, false, false, true, MatchEngine::Terms,
     std::nullopt},
    {QueryType::WordsAnd, "Words: and", "and", true, false, false, false, true, MatchEngine::Terms,
     std::nullopt},
    {QueryType::SearchEngine, "Search Engine", "engine", true, false, false, false, true,
     MatchEngine::Terms, std::nullopt},
    {QueryType::Multiline, "Multiline", "multiline", true, true, true, true, false,
     MatchEngine::Blocks, ModifyEngine::Multiline},
    {QueryType::RegExpr, "Reg Expr", "regex", true, true, true, false, false,
     MatchEngine::Expression, ModifyEngine::RegExpr},
}};

// The table row of `type`.
constexpr const QueryTypeInfo& queryTypeInfo(QueryType type) {
  return kQueryTypes[static_cast<std::size_t>(type)];
}

// The table is indexed by the enum's value.
static_assert([] {
  for (std::size_t i = 0; i < kQueryTypes.size(); ++i)
    if (static_cast<std::size_t>(kQueryTypes[i].type) != i) return false;
  return true;
}());

}  // namespace kestrix::search
