// The one-line summary of a modification that the undo history lists for each run.
#include "modify/History.h"
#include "modify/ModifyRequest.h"

namespace kestrix::modify {
namespace {

std::string joined(const std::string& text, const std::vector<std::string>& lines) {
  if (lines.empty()) return text;
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "|" : "") + lines[i];
  return out;
}

std::string quoted(const std::string& text) {
  return "\"" + (text.size() > 200 ? text.substr(0, 200) + "..." : text) + "\"";
}

}  // namespace

std::string describeModification(const ModifyRequest& request) {
  const bool phrase = request.searchType == QueryType::Phrase;
  const std::string what = quoted(phrase ? request.searchText : joined({}, request.searchLines));
  const std::string with =
      quoted(phrase ? request.replacementText : joined({}, request.replacementLines));
  switch (request.modificationType) {
    case ModificationType::Replace:
      return "Replace " + what + " with " + with;
    case ModificationType::InsertBefore:
      return "Insert " + with + " before " + what;
    case ModificationType::InsertAfter:
      return "Insert " + with + " after " + what;
    case ModificationType::Delete:
      return "Delete " + what;
    case ModificationType::Clear:
      return "Clear " + what;
    case ModificationType::None:
      break;
  }
  return what;
}

}  // namespace kestrix::modify
