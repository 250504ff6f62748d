// HTML escaping of the four special characters.
#include "text/Html.h"

namespace kestrix::text {
namespace {

std::string_view entityFor(char c) {
  switch (c) {
    case '"': return "&quot;";
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    default: return {};
  }
}

}  // namespace

std::string htmlEscape(std::string_view plain) { return htmlEscapeWithOffsets(plain).text; }

EscapedText htmlEscapeWithOffsets(std::string_view plain) {
  EscapedText result;
  result.text.reserve(plain.size() + plain.size() / 8);
  result.offsets.reserve(plain.size() + 1);
  for (char c : plain) {
    result.offsets.push_back(result.text.size());
    std::string_view entity = entityFor(c);
    if (entity.empty()) {
      result.text += c;
    } else {
      result.text += entity;
    }
  }
  result.offsets.push_back(result.text.size());
  return result;
}

}  // namespace kestrix::text
