// Parses the single-line query of Phrase, Words: or / and and Search Engine into terms.
#include "search/QueryParser.h"

#include "search/SearchError.h"
#include "text/CodePage.h"

namespace kestrix::search {
namespace {

bool isBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

std::string fold(std::string_view s, bool caseSensitive) {
  return caseSensitive ? std::string(s) : text::activeCodePage().toUpper(s);
}

// The text without leading (and, with `trailing`, trailing) characters 0..32.
std::string_view trimControls(std::string_view s, bool trailing) {
  std::size_t b = 0, e = s.size();
  while (b < e && isBlankOrControl(s[b])) ++b;
  while (trailing && e > b && isBlankOrControl(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool allTermsNegative(const TermTable& table) {
  for (const Term& t : table.terms) {
    if (t.sign != '-') return false;
  }
  return true;
}

// Reads a quoted phrase starting at text[p] == '"'; returns its content and moves p past
// the closing quote. Throws the missing-quote error when no quote closes it.
std::string readPhrase(std::string_view text, std::size_t& p) {
  ++p;
  if (p >= text.size()) throw SearchError("Find", messages::kMissingQuote);
  std::string phrase;
  for (; p < text.size(); ++p) {
    const bool closes = text[p] == '"' && (p + 1 == text.size() || text[p + 1] == ' ');
    if (closes) {
      ++p;
      return phrase;
    }
    phrase += text[p];
  }
  throw SearchError("Find", messages::kMissingQuote);
}

}  // namespace

TermTable parsePhrase(std::string_view text, bool caseSensitive) {
  TermTable table;
  table.terms.push_back({fold(text, caseSensitive), 0});
  return table;
}

TermTable parseWords(std::string_view text, bool caseSensitive, char sign) {
  TermTable table;
  if (text.empty()) return table;
  const std::string_view body = trimControls(text, true);
  if (body.empty()) throw SearchError("Find", messages::kSpecifyWords);
  std::size_t p = 0;
  while (p < body.size()) {
    if (body[p] == ' ') {
      ++p;
      continue;
    }
    if (table.terms.size() == kMaxTerms)
      throw SearchError(kProgramCaption, messages::kTooManyWords);
    const std::size_t end = std::min(body.find(' ', p), body.size());
    table.terms.push_back({fold(body.substr(p, end - p), caseSensitive), sign});
    p = end;
  }
  return table;
}

TermTable parseSearchEngine(std::string_view text, bool caseSensitive) {
  TermTable table;
  std::string_view body = trimControls(text, false);
  if (body.empty()) body = text;  // blanks only: kept, and fails below
  std::size_t p = 0;
  while (p < body.size()) {
    if (table.terms.size() == kMaxTerms)
      throw SearchError(kProgramCaption, messages::kTooManyTerms);
    Term term;
    const auto signAt = [&](char c) {
      return body[p] == c && p + 1 < body.size() && body[p + 1] != ' ';
    };
    if (signAt('+')) term.sign = '+', ++p;
    if (p < body.size() && signAt('-')) term.sign = '-', ++p;
    if (p < body.size() && body[p] == '"') {
      term.text = readPhrase(body, p);
    } else {
      const std::size_t end = std::min(body.find(' ', p), body.size());
      term.text.assign(body.substr(p, end - p));
      p = end;
    }
    if (term.text.empty()) throw SearchError("Find", messages::kMissingQuote);
    term.text = fold(term.text, caseSensitive);
    table.terms.push_back(std::move(term));
    while (p < body.size() && body[p] == ' ') ++p;
  }
  table.allNegative = allTermsNegative(table);
  return table;
}

void buildTermTable(SearchRequest& request) {
  request.termTable = {};
  if (usesQueryLines(request.queryType) || request.queryText.empty()) return;
  const bool cs = request.caseSensitive;
  switch (request.queryType) {
    case QueryType::Phrase:
      request.termTable = parsePhrase(request.queryText, cs);
      break;
    case QueryType::WordsOr:
      request.termTable = parseWords(request.queryText, cs, 0);
      break;
    case QueryType::WordsAnd:
      request.termTable = parseWords(request.queryText, cs, '+');
      break;
    case QueryType::SearchEngine:
      request.termTable = parseSearchEngine(request.queryText, cs);
      break;
    case QueryType::Multiline:
    case QueryType::RegExpr:
      break;
  }
}

const SearchRequest& withTermTable(const SearchRequest& request,
                                   std::optional<SearchRequest>& parsed) {
  if (!request.termTable.terms.empty()) return request;
  parsed = request;
  buildTermTable(*parsed);
  return *parsed;
}

}  // namespace kestrix::search
