// The rules around the regular-expression engine: the expression text, its modifiers, the
// choice between whole text and line by line, the limits of the query and the error texts.
#include <algorithm>

#include "search/Matchers.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

bool contains(std::string_view s, std::string_view part) {
  return s.find(part) != std::string_view::npos;
}

}  // namespace

std::string regexExpression(const std::vector<std::string>& queryLines) {
  std::string expression;
  for (std::size_t i = 0; i < queryLines.size(); ++i) {
    if (i) expression += "\r\n";
    expression += queryLines[i];
  }
  if (expression.rfind(".*", 0) == 0) expression.insert(0, 1, '^');
  return expression;
}

bool regexUsesWholeText(const std::vector<std::string>& queryLines, bool dotMatchesLineSeparators,
                        bool searchEachLine) {
  if (searchEachLine) return false;
  if (queryLines.size() > 1) return true;
  const std::string e = regexExpression(queryLines);
  for (const char* part : {"\\x0A", "\\n", "\\r", "\\x0D", "\\s", "\n", "\r", "\\Z", "\\A"}) {
    if (contains(e, part)) return true;
  }
  if (contains(e, ".") && (contains(e, "(?s)") || dotMatchesLineSeparators)) return true;
  const bool noMultiline = contains(e, "(?-m)");
  return noMultiline && (contains(e, "^") || contains(e, "$"));
}

bool regexUsesWholeText(const SearchRequest& request) {
  return regexUsesWholeText(request.queryLines, request.dotMatchesLineSeparators,
                            request.searchEachLine);
}

bool regexSafeOnWholeText(std::string_view expression) {
  for (const char* part : {"[^", "\\W", "\\D", "\\S", "\\b", "\\B", "(?"}) {
    if (contains(expression, part)) return false;
  }
  return true;
}

void configureRegExpr(RegExpr& engine, const SearchRequest& request) {
  engine.setModifier(1, !request.caseSensitive);
  engine.setModifier(3, request.dotMatchesLineSeparators);
  engine.setModifier(5, true);
  engine.setModifier(6, request.ignoreRegexWhitespace);
  // Texts are matched as UTF-8 characters; in the whole-text subject every line ends with
  // CR LF, which "\n" matches like a lone LF.
  engine.setUtf8Mode(text::activeCodePage().id() == text::CodePageId::Utf8);
  engine.setNewlineMatchesCrLf(true);
  engine.setExpression(regexExpression(request.queryLines));
}

std::string wholeTextSubject(std::string_view text) {
  std::string subject;
  subject.reserve(text.size() + text.size() / 16 + 2);
  text::forEachLine(text, [&](const text::Line& line) {
    subject += line.text;
    subject += "\r\n";
  });
  return subject;
}

std::string regexErrorText(const RegExprError& error) {
  const std::string message = error.what();
  return "Error: " + (message.size() > 16 ? message.substr(16) : std::string());
}

SearchError regexSearchError(const RegExprError& error) {
  return SearchError(kRegexCaption, regexErrorText(error), error.position());
}

void checkQueryLimits(const SearchRequest& request) {
  const bool find = request.origin == Origin::Find;
  if (!usesQueryLines(request.queryType)) {
    if (request.queryText.size() > kMaxQueryText) {
      throw SearchError(kProgramCaption,
                        find ? messages::kQueryTooLongFind : messages::kQueryTooLongReplace);
    }
    return;
  }
  const bool tooLong = std::any_of(request.queryLines.begin(), request.queryLines.end(),
                                   [](const std::string& l) { return l.size() > kMaxQueryLine; });
  if (tooLong) {
    throw SearchError(kProgramCaption,
                      find ? messages::kLinesTooLongFind : messages::kLinesTooLongReplace);
  }
}

}  // namespace kestrix::search
