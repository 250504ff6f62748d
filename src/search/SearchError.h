// The typed error of searches: validation, query parsing and regular-expression failures,
// carrying the exact caption and text the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace kestrix::search {

// Captions of the messages.
inline constexpr const char* kProgramCaption = "Kestrix Search & Replace";
inline constexpr const char* kRegexCaption = "Regular Expression";

// A failure shown as a warning box: caption() + text(). what() == text().
// position() is the 1-based character of the query memo to select (regular-expression
// compile errors), 0 when there is none.
class SearchError : public std::runtime_error {
 public:
  SearchError(std::string caption, const std::string& text, int position = 0)
      : std::runtime_error(text), caption_(std::move(caption)), position_(position) {}
  const std::string& caption() const { return caption_; }
  std::string text() const { return what(); }
  int position() const { return position_; }

 private:
  std::string caption_;
  int position_;
};

// The message texts, kept in one place so the window and the console say the same words.
namespace messages {
inline constexpr const char* kSpecifyPath = "Please specify the Path";
inline constexpr const char* kSpecifyMask = "Please specify the Mask";
inline constexpr const char* kTooManyMasks = "Too many masks";
inline constexpr const char* kSpecifyWords = "Please specify the word or words";
inline constexpr const char* kTooManyWords = "Too many words";
inline constexpr const char* kMissingQuote = "Missing   \"";
inline constexpr const char* kTooManyTerms = "Too many words and phrases";
inline constexpr const char* kQueryTooLongFind = "The query is too long";
inline constexpr const char* kQueryTooLongReplace =
    "The string is too long for the To Search field";
inline constexpr const char* kLinesTooLongFind = "The lines are too long for the Query field";
inline constexpr const char* kLinesTooLongReplace =
    "The lines are too long for the To Search field";
inline constexpr const char* kNotFound = "Not Found";
}  // namespace messages

}  // namespace kestrix::search
