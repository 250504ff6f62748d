// Query parsing: Phrase, Words: or / and and Search Engine texts become the term table.
#pragma once

#include <optional>
#include <string_view>

#include "search/SearchRequest.h"

namespace kestrix::search {

inline constexpr std::size_t kMaxTerms = 499;

// One term: the text exactly as typed, folded unless caseSensitive, with the empty sign.
TermTable parsePhrase(std::string_view text, bool caseSensitive);

// Words separated by blanks (code 32 only); every word gets `sign` (0 for Words: or, '+'
// for Words: and). An empty text gives no terms. Throws SearchError "Please specify the
// word or words" (caption "Find") for a text of blanks/control characters only, and
// "Too many words" (program caption) beyond 499 words.
TermTable parseWords(std::string_view text, bool caseSensitive, char sign);

// Search-engine syntax: "+"/"-" signs, quoted phrases. Throws SearchError with the text
// "Missing   \"" (caption "Find") for a lone or unclosed quote, an empty phrase or an empty
// term, and "Too many words and phrases" (program caption) beyond 499 terms.
TermTable parseSearchEngine(std::string_view text, bool caseSensitive);

// Fills request.termTable for the request's query type (empty for Multiline, Reg Expr and
// an empty query). Throws SearchError as the parsers above.
void buildTermTable(SearchRequest& request);

// `request` when its term table is filled; otherwise a copy put into `parsed`, with its
// table built. Throws SearchError as buildTermTable.
const SearchRequest& withTermTable(const SearchRequest& request,
                                   std::optional<SearchRequest>& parsed);

}  // namespace kestrix::search
